// The content of the program's user.js in the Firefox profile: manual SOCKS5
// on apply (13 lines), direct access on restore (12 lines), CR LF after each.
#pragma once

#include <string>
#include <string_view>

// Text placed between double quotes of a JavaScript string: quotes and
// backslashes escaped, control characters (line breaks included) dropped.
std::string JsStringContent(std::string_view text);

// Host and port must have passed the proxy checks; the bypass text may hold anything.
std::string UserJsText(bool enable, std::string_view host, std::string_view port, std::string_view bypass);
