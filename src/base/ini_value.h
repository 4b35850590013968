// How values of nimvara.ini are read and written as text.
#pragma once

#include <string>
#include <string_view>

// Decimal, or hexadecimal after "0x" or "$" (an optional sign first). Anything
// else, or a number beyond 32 bits, yields `fallback`.
int ParseIniInteger(std::string_view text, int fallback);

inline std::string IniBoolText(bool value) { return value ? "1" : "0"; }
