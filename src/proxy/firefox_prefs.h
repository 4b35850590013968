// Firefox's user.js in the default profile: the program's own file for apply
// and restore, a one-time copy of the user's file, and its removal.
#pragma once

#include <string>

inline constexpr const char* kUserJsName = "user.js";
inline constexpr const char* kUserJsBackupSuffix = ".first";
inline constexpr const char* kFirefoxTitleFragment = "Mozilla Firefox";

// Writes the apply (SOCKS5 on host:port) or the restore (direct) user.js. An
// apply whose proxy is not a valid host:port writes nothing.
void SetFirefoxPrefs(bool enable, const std::string& proxy, const std::string& bypass);

// Deletes the program's user.js from the default Firefox profile.
void ResetFirefoxPrefs();
