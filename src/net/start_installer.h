// Starts a downloaded installer, but only the bytes that passed the signature
// check: the file stays open, denying writes, until the installer runs.
#pragma once

#include <string>

#include "net/sha256.h"

// Asks the installer to start the new version at its end.
inline constexpr const char* kRelaunchSwitch = "/Relaunch";

// True when the installer was checked and started: its SHA-256 is `named`,
// the one the signed directory reply named, and it is signed by the publisher
// and newer than this program. A file that fails the check is deleted; the log
// says why.
bool StartInstaller(const std::string& fileName, const Sha256Digest& named);
