#include "host/mac_text.h"

std::string MacText(const unsigned char* bytes, std::size_t count) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += '-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0f];
  }
  return text;
}

std::string MacToDigits(std::string_view mac) {
  std::string digits;
  for (char c : mac) {
    if (c >= '0' && c <= '9') {
      digits += '0';
      digits += c;
    } else if (c >= 'A' && c <= 'F') {
      digits += '1';
      digits += static_cast<char>('0' + (c - 'A'));
    }
  }
  return digits;
}
