// Firefox's user.js in the default profile: the program's own file for apply
// and restore, copies of the user's own file, and the program's file taken
// away again.
#pragma once

#include <optional>
#include <string>

#include "proxy/proxy_address.h"

inline constexpr const char* kUserJsName = "user.js";
inline constexpr const char* kUserJsBackupSuffix = ".first";
inline constexpr const char* kFirefoxTitleFragment = "Mozilla Firefox";
// Later copies of the user's own file go to user.js.2, user.js.3 ... (the first
// free name), so that no copy ever replaces another file.
inline constexpr int kMaxUserJsCopies = 999;

// Writes the apply user.js (SOCKS5 on the proxy) or, without a proxy, the
// restore user.js (direct). A user.js of the user's own is copied aside first
// and stays untouched when it cannot be.
void SetFirefoxPrefs(const std::optional<ProxyAddress>& proxy, const std::string& bypass);

// Takes the program's user.js out of the default Firefox profile without
// leaving Firefox on a proxy: Firefox has copied an applied file's proxy into
// its prefs.js, so an apply file gives way to the restore file, and only a
// restore file is deleted. The user's own user.js is left alone.
void ResetFirefoxPrefs();
