// Case folding for texts compared as the program's own keys and markers.
#pragma once

#include <string>
#include <string_view>

// ASCII letters only: other bytes of the ANSI code page must not turn into
// one of them.
std::string AsciiLower(std::string_view text);
