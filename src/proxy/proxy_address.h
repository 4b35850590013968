// The proxy argument "host:port", and the checks that keep text from outside
// (the directory reply, the options' bypass list) from changing the meaning of
// the files and settings it is written into.
#pragma once

#include <string>
#include <string_view>

struct ProxyAddress {
  std::string Host;
  std::string Port;
};

// Host is the text before the first ":", Port the text after it; both empty for "".
ProxyAddress SplitProxy(std::string_view proxy);

// A host name or IPv4 address: 1 to 253 letters, digits, "-" and ".".
bool IsValidProxyHost(std::string_view host);
// 1 to 65535 in plain decimal: no sign, blank or leading zero.
bool IsValidProxyPort(std::string_view port);
// The two checks above on the split proxy text.
bool IsValidProxy(std::string_view proxy);

// The text with every control character (line breaks included) taken out.
std::string WithoutControlChars(std::string_view text);
// Untrusted text for a log line: one line, control characters shown as "?",
// at most 80 characters.
std::string LoggableText(std::string_view text);
