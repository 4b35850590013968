// Keys and pins as the build settings write them: hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Fills out[0..size) from exactly 2 * size digits of either case; false (and
// `out` unspecified) for any other text.
bool ParseHexDigits(std::string_view text, std::uint8_t* out, std::size_t size);
