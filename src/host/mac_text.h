// Adapter addresses as text, and the decimal digits the identifier is made of.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// MAC texts in the order the system reports the adapters; duplicates allowed.
using MacList = std::vector<std::string>;

// "00-1A-2B-3C-4D-5E": each byte as two upper-case hexadecimal digits, joined by "-".
// Empty for zero bytes.
std::string MacText(const unsigned char* bytes, std::size_t count);

// "0"-"9" become "00"-"09", "A"-"F" become "10"-"15"; everything else is dropped.
std::string MacToDigits(std::string_view mac);
