// The proxy server "host:port", checked once where it enters the switchboard,
// and the checks that keep text from outside (the directory reply, the options'
// bypass list) from changing the meaning of the files and settings it is
// written into.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A host name or IPv4 address (1 to 253 letters, digits, "-" and ".") and a
// port of 1 to 65535 in plain decimal (no sign, blank or leading zero). Only
// Parse makes one, so whoever is given one need not check it again.
class ProxyAddress {
 public:
  // Splits at the first ":"; nothing when either part fails its check.
  static std::optional<ProxyAddress> Parse(std::string_view text);

  const std::string& Host() const { return host_; }
  const std::string& Port() const { return port_; }
  std::string Text() const { return host_ + ":" + port_; }

 private:
  ProxyAddress(std::string host, std::string port) : host_(std::move(host)), port_(std::move(port)) {}
  std::string host_;
  std::string port_;
};

// The two halves' checks, for text that becomes a proxy address later (the
// directory's catalogue is checked when it arrives).
bool IsValidProxyHost(std::string_view host);
bool IsValidProxyPort(std::string_view port);

// The text with every control character (line breaks included) taken out.
std::string WithoutControlChars(std::string_view text);
// Untrusted text for a log line: one line, control characters shown as "?",
// at most 80 characters.
std::string LoggableText(std::string_view text);
