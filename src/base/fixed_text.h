// Copies into the fixed char arrays of Win32 structures (szTip, szInfo...):
// never more than fits, always terminated.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

inline void CopyBounded(char* dest, std::size_t capacity, std::string_view text) {
  if (capacity == 0) return;
  const std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

template <std::size_t N>
void CopyBounded(char (&dest)[N], std::string_view text) {
  CopyBounded(dest, N, text);
}
