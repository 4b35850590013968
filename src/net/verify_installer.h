// Whether a downloaded installer may run: signed by the pinned publisher, and
// unchanged since.
#pragma once

#include <windows.h>

#include <string_view>

#include "net/authenticode.h"

// `bytes` are the file's whole content as read through `file`, which the
// caller keeps open (denying writes) until the installer has started.
SignatureFault VerifyInstaller(std::string_view bytes, HANDLE file);
