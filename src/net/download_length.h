// The downloader's length rule: what the announced body length allows, and
// when a transfer counts as complete.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// No installer comes near this; a larger announcement is refused unread.
inline constexpr std::int32_t kMaxDownloadSize = 256 << 20;

struct LengthDecision {
  bool proceed = false;       // false: the transfer fails before a file is written
  std::int32_t fileSize = 0;  // the announced length, 0 when none was announced
};

// `announced` is the Content-Length text, or nullopt when the server gave none.
// A length that is not a plain decimal number, or lies beyond kMaxDownloadSize,
// stops the transfer; so does a missing one when `binaryData` is set.
LengthDecision DecideLength(std::optional<std::string_view> announced, bool binaryData);

// True once more bytes arrived than the transfer can still succeed with.
bool ReadTooMuch(std::int64_t readed, std::int32_t fileSize);

// Complete exactly when the bytes read equal the announced length.
inline bool DownloadComplete(std::int64_t readed, std::int32_t fileSize) { return readed == fileSize; }
