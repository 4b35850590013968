// Starts a downloaded installer, but only the bytes that passed the signature
// check: the file stays open, denying writes, until the installer runs.
#pragma once

#include <string>

// True when the installer was checked and started. A file that fails the
// check is deleted; the log says why.
bool StartInstaller(const std::string& fileName);
