// How values of nimvara.ini are read and written as text.
#pragma once

#include <string>
#include <string_view>

// Decimal, or hexadecimal after "0x" or "$" (an optional sign first). Anything
// else, or a number beyond 32 bits, yields `fallback`.
int ParseIniInteger(std::string_view text, int fallback);

inline std::string IniBoolText(bool value) { return value ? "1" : "0"; }

// Any text as an INI value keeps it: a value loses enclosing quotes and outer
// blanks and ends at a line break, so those bytes, and "%", go as %XX.
std::string IniSafeText(std::string_view text);
// Back again; a "%" without two hex digits after it stays as it is.
std::string FromIniSafeText(std::string_view safe);
