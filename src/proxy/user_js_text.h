// The user.js in the Firefox profile: the user's own lines, unchanged and
// first, then the program's block between two comment lines, so that the
// program's lines win while everything else the user set stays in force.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "proxy/pref_lines.h"
#include "proxy/proxy_address.h"

// Firefox reads them as comments; the program finds its block by them.
inline constexpr const char* kUserJsBlockBegin =
    "// Nimvara: the lines from here to the end line are rewritten by the program. Your own lines go above.";
inline constexpr const char* kUserJsBlockEnd = "// Nimvara: end";

// Text placed between double quotes of a JavaScript string: quotes and
// backslashes escaped, control characters (line breaks included) dropped.
std::string JsStringContent(std::string_view text);

// The whole user.js the program wrote up to version 1.05 before this block
// existed: the apply file for a proxy, the restore file without one.
std::string EarlierUserJsText(const std::optional<ProxyAddress>& proxy, std::string_view bypass);

// The program's block while hiding: manual SOCKS5 on the proxy, remote DNS,
// WebRTC only through the proxy.
std::string ApplyBlock(const ProxyAddress& proxy, std::string_view bypass);
// The block when hiding stops: every pref the apply block set goes back, to
// direct access, or to `putBack` (the user's own values recorded before the
// session; a proxy type it does not name is Firefox's default, 5) when given.
// A pref the user's own lines set is left to their line.
std::string RestoreBlock(std::string_view ownLines, const std::optional<std::vector<PrefLine>>& putBack);

// Which block a user.js holds; UsersOwn when it holds none.
enum class UserJsForm { UsersOwn, Apply, Restore };

struct UserJsParts {
  std::string own;  // everything outside the program's block, in order
  UserJsForm form = UserJsForm::UsersOwn;
  bool earlier = false;  // the whole file is one of the program's earlier files
};
UserJsParts SplitUserJs(std::string_view text);
inline UserJsForm UserJsFormOf(std::string_view text) { return SplitUserJs(text).form; }

// The user's own lines of the file to write next. `current` is user.js as it
// is (none when absent); `setAside` is the user.js.first an earlier version
// put aside, whose lines become the user's own again where that version's
// file stands in place of the user's (or nothing does).
struct UserJsOwnLines {
  std::string lines;
  UserJsForm form = UserJsForm::UsersOwn;  // the block `current` holds
  bool setAsideTakenBack = false;
};
UserJsOwnLines OwnUserJsLines(const std::optional<std::string>& current, const std::optional<std::string>& setAside);

// The user's lines, then the block (none: the user's lines alone). A last own
// line without a line break gets one, so that the block starts on its own line.
std::string UserJsWith(std::string_view ownLines, std::string_view block);

// The values in force before a session for every pref the apply block sets:
// user.js as Firefox reads it next (the user's own lines, and a restore block
// after them, which prefs.js has not caught up with while Firefox runs on),
// then prefs.js; the proxy type is Firefox's default (5) when neither names it.
std::vector<PrefLine> FirefoxPrefsInForce(std::string_view userJs, std::string_view prefsJs);
