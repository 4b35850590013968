#include "directory/reply_freshness.h"

std::optional<std::uint64_t> ParseDecimal(std::string_view text) {
  // 18 digits stay below 2^63: no overflow, and comparable with a signed clock.
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

FreshnessVerdict JudgeFreshness(const ReplyKeys& keys, std::int64_t now, std::uint64_t highestRead) {
  const std::optional<std::uint64_t> serial = ParseDecimal(keys.Value("Serial"));
  const std::optional<std::uint64_t> expires = ParseDecimal(keys.Value("Expires"));
  if (!serial || !expires) return {ReplyFreshness::Unmarked, 0};
  if (now < 0 || static_cast<std::uint64_t>(now) >= *expires) return {ReplyFreshness::Expired, *serial};
  if (*serial < highestRead) return {ReplyFreshness::Older, *serial};
  return {ReplyFreshness::Fresh, *serial};
}

const char* FreshnessRefusal(ReplyFreshness freshness) {
  switch (freshness) {
    case ReplyFreshness::Fresh: return "";
    case ReplyFreshness::Unmarked: return "Reply has no serial or expiry";
    case ReplyFreshness::Expired: return "Reply expired";
    case ReplyFreshness::Older: return "Reply older than one already read";
  }
  return "";
}
