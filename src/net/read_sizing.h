// How much the download asks WinINet for at a time. A synchronous read returns
// only once it is full or the body has ended, so a read larger than what
// arrives in one progress interval holds the bar back; yet every read has a
// fixed cost (about 0.3 ms under Wine), so small reads cap the speed. The size
// follows the rate at which the bytes come.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kFirstReadSize = 64 * 1024;
inline constexpr std::uint32_t kSmallestReadSize = 8 * 1024;
inline constexpr std::uint32_t kLargestReadSize = 1024 * 1024;

// The size of the next read after one of `size` bytes that took `tookMs`:
// twice as much after a quick read, as much as arrives in one progress
// interval after a slow one.
std::uint32_t NextReadSize(std::uint32_t size, double tookMs);
