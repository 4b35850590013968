// Firefox's user.js in the default profile: the user's own lines, then the
// program's block for apply or restore; the block taken away again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "proxy/pref_lines.h"
#include "proxy/proxy_address.h"

inline constexpr const char* kUserJsName = "user.js";
// Where versions before the block set a user's own user.js aside.
inline constexpr const char* kUserJsBackupSuffix = ".first";
inline constexpr const char* kFirefoxTitleFragment = "Mozilla Firefox";

// Writes the user's own lines and the apply block (SOCKS5 on the proxy) or,
// without a proxy, the restore block: direct access, or `putBack` (the user's
// own values recorded before the session) when given. A user.js that cannot
// be read stays untouched.
void SetFirefoxPrefs(const std::optional<ProxyAddress>& proxy, const std::string& bypass,
                     const std::optional<std::vector<PrefLine>>& putBack = std::nullopt);

// Takes the program's block out of the default Firefox profile's user.js
// without leaving Firefox on a proxy: Firefox has copied an applied block's
// proxy into its prefs.js, so an apply block gives way to the restore block,
// and only a restore block is taken out (the file with it when nothing of the
// user's is left). A user.js of the user's own alone is left as it is.
void ResetFirefoxPrefs();
