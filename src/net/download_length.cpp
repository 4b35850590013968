#include "net/download_length.h"

namespace {

std::optional<std::int32_t> ParseLength(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxDownloadSize) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

LengthDecision DecideLength(std::optional<std::string_view> announced, bool binaryData) {
  if (!announced) return {!binaryData, 0};
  const std::optional<std::int32_t> length = ParseLength(*announced);
  if (!length) return {false, 0};
  return {true, *length};
}

bool ReadTooMuch(std::int64_t readed, std::int32_t fileSize) {
  // Without an announced length (fileSize 0) any byte already spoils the outcome.
  return readed > fileSize;
}
