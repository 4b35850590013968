// Finding an open window by a piece of its title.
#pragma once

#include <windows.h>

#include <string>

// The first top-level window whose title holds the fragment, letters compared
// without case; null when none of the first 1001 windows does.
HWND FindWindowByTitle(const std::string& fragment);
