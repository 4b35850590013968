// Starts a downloaded installer, but only the bytes that passed the signature
// check: the file stays open, denying writes, until the installer runs.
#pragma once

#include <string>

// Asks the installer to start the new version at its end.
inline constexpr const char* kRelaunchSwitch = "/Relaunch";

// True when the installer was checked and started. A file that fails the
// check is deleted; the log says why.
bool StartInstaller(const std::string& fileName);
