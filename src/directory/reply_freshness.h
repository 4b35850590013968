// Whether a signed reply is the vendor's current word. The vendor marks every
// reply it signs with a serial that grows and a time after which it is stale,
// so that a captured reply cannot be replayed for ever nor pin users to an
// older catalogue.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "directory/directory_reply.h"

enum class ReplyFreshness { Fresh, Unmarked, Expired, Older };

struct FreshnessVerdict {
  ReplyFreshness freshness = ReplyFreshness::Unmarked;
  std::uint64_t serial = 0;  // the reply's serial, when it has one
};

// `now` in seconds since 1970-01-01 UTC; `highestRead` the highest serial read
// before (0 when none). A reply expires at its Expires second; an equal serial
// is read, so that every server may serve the same current reply.
FreshnessVerdict JudgeFreshness(const ReplyKeys& keys, std::int64_t now, std::uint64_t highestRead);

// The log line of a refusal; empty for a fresh reply.
const char* FreshnessRefusal(ReplyFreshness freshness);

// A decimal number of 1 to 18 digits and nothing else: no sign, no blank.
std::optional<std::uint64_t> ParseDecimal(std::string_view text);
