// MD5 (RFC 1321) over a text's bytes, and its text form as the program writes it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

using Md5Digest = std::array<std::uint8_t, 16>;

Md5Digest Md5(std::string_view bytes);

// The 16 digest bytes in order, two upper-case hexadecimal digits each.
std::string MD5Hex(std::string_view text);
