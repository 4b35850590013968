// The content of the program's user.js in the Firefox profile: manual SOCKS5
// on apply (13 lines), direct access on restore (12 lines), CR LF after each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "proxy/proxy_address.h"

// Text placed between double quotes of a JavaScript string: quotes and
// backslashes escaped, control characters (line breaks included) dropped.
std::string JsStringContent(std::string_view text);

// The apply file for a proxy, the restore file without one; the bypass text
// may hold anything.
std::string UserJsText(const std::optional<ProxyAddress>& proxy, std::string_view bypass);

// Whether a user.js is one of the program's two files (whatever its host, port
// and bypass list) or the user's own, which is never to be lost.
enum class UserJsForm { UsersOwn, Apply, Restore };
UserJsForm UserJsFormOf(std::string_view text);
