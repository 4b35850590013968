#include "base/ini_value.h"

#include <cstdint>

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

constexpr const char* kHex = "0123456789ABCDEF";

}  // namespace

std::string IniSafeText(std::string_view text) {
  std::string safe;
  for (unsigned char c : text) {
    if (c <= ' ' || c > '~' || c == '%' || c == '"') {
      safe += '%';
      safe += kHex[c >> 4];
      safe += kHex[c & 15];
    } else {
      safe += static_cast<char>(c);
    }
  }
  return safe;
}

std::string FromIniSafeText(std::string_view safe) {
  std::string text;
  for (std::size_t i = 0; i < safe.size(); ++i) {
    const int high = i + 1 < safe.size() ? DigitValue(safe[i + 1]) : 99;
    const int low = i + 2 < safe.size() ? DigitValue(safe[i + 2]) : 99;
    if (safe[i] == '%' && high < 16 && low < 16) {
      text += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      text += safe[i];
    }
  }
  return text;
}

int ParseIniInteger(std::string_view text, int fallback) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return fallback;

  std::uint64_t value = 0;
  for (char c : text) {
    const int digit = DigitValue(c);
    if (digit >= base) return fallback;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return fallback;
  }
  if (base == 16) {
    // Hex spells the 32-bit pattern: $FFFFFFFF is -1.
    const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return negative ? -bits : bits;
  }
  const std::int64_t signedValue = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
  if (signedValue < INT32_MIN || signedValue > INT32_MAX) return fallback;
  return static_cast<int>(signedValue);
}
