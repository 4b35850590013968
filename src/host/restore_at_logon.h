// The RunOnce value that undoes a session the program could not end itself
// (a kill, a power loss): at the next logon Windows starts the program with
// its one switch, which puts the browsers back on direct access.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const char* kRestoreValueName = "NimvaraRestore";
inline constexpr const char* kRestoreSwitch = "/restore";

// "\"" + exe path + "\" /restore".
std::string RestoreCommand(std::string_view exePath);
// The program's command line (without its own name) is exactly the switch.
bool IsRestoreSwitch(std::string_view commandLine);

// Windows side: written while a session is on, removed by every restore.
void SetRestoreAtLogon(const std::string& exePath);
void ClearRestoreAtLogon();
