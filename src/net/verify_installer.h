// Whether a downloaded installer may run: signed by the pinned publisher, and
// unchanged since.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "net/authenticode.h"

// `bytes` are the whole content of the file at `path`, read through `file`,
// which the caller keeps open (denying writes) until the installer has started.
SignatureFault VerifyInstaller(std::string_view bytes, HANDLE file, const std::string& path);
