#include "directory/catalogue_build.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "proxy/proxy_address.h"

namespace {

// Larger counts mean the same: more than any reply can hold.
constexpr long long kCountCap = std::numeric_limits<long long>::max() / 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal number (no sign, no blank), capped; none for anything else.
std::optional<long long> DecimalValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value >= kCountCap / 10 ? kCountCap : value * 10 + (c - '0');
  }
  return value;
}

struct EntryLine {
  long long number;
  const std::string* value;
};

// The entry keys "1" up to the count that the reply holds, in number order.
std::vector<EntryLine> EntryLines(const ReplyKeys& keys, long long count) {
  std::vector<EntryLine> lines;
  lines.reserve(keys.Keys().size());
  for (const auto& [name, value] : keys.Keys()) {
    if (name.empty() || name.front() == '0') continue;
    const std::optional<long long> number = DecimalValue(name);
    // Entry numbers are kept as int; larger keys count as missing.
    if (number && *number <= count && *number <= std::numeric_limits<int>::max())
      lines.push_back({*number, &value});
  }
  // Replies list their entries in order: sort only when one does not.
  const auto byNumber = [](const EntryLine& a, const EntryLine& b) { return a.number < b.number; };
  if (!std::is_sorted(lines.begin(), lines.end(), byNumber)) std::sort(lines.begin(), lines.end(), byNumber);
  return lines;
}

std::string Skipped(long long number, const char* why) {
  return "Catalogue entry #" + std::to_string(number) + " skipped: " + why;
}

}  // namespace

std::string EntryCaption(long long number) {
  // Appended step by step: GCC 12 warns falsely about "#" + std::string.
  std::string caption = "#";
  caption += std::to_string(number);
  caption += " IP Address Series";
  return caption;
}

CatalogueBuild BuildCatalogue(const ReplyKeys& keys, std::string_view scrambleKey) {
  CatalogueBuild build;
  const std::string countText = keys.Value("C");
  if (countText.empty()) return build;
  const std::optional<long long> count = DecimalValue(countText);
  if (!count) {
    build.Notes.push_back("Catalogue refused: the server count is not a number");
    return build;
  }
  if (*count == 0) return build;
  const std::string port = Unscramble(keys.Value("P"), scrambleKey);
  if (!IsValidProxyPort(port)) {
    build.Notes.push_back("Catalogue refused: the proxy port is not 1 to 65535");
    return build;
  }
  build.ProxyPort = port;
  build.ProxyUser = Unscramble(keys.Value("U"), scrambleKey);
  build.ProxyPassword = HalfReverse(keys.Value("K"));

  const std::vector<EntryLine> lines = EntryLines(keys, *count);
  build.Servers.reserve(std::min(lines.size(), kMostCatalogueEntries));
  long long skipped = 0;
  // A reply of nothing but bad entries must not become a log as long as itself.
  const auto skip = [&](long long number, const char* why) {
    if (++skipped <= kMostSkipNotes) build.Notes.push_back(Skipped(number, why));
  };
  for (const EntryLine& line : lines) {
    const std::string& value = *line.value;
    if (build.Servers.size() >= kMostCatalogueEntries) {
      skip(line.number, "the catalogue is full");
      continue;
    }
    if (value.empty()) {
      skip(line.number, "empty");
      continue;
    }
    if (!IsDigit(value.front())) {
      skip(line.number, "no country digit");
      continue;
    }
    TServer server;
    server.Address = Unscramble(std::string_view(value).substr(1), scrambleKey);
    if (!IsValidProxyHost(server.Address)) {
      skip(line.number, "not a host address");
      continue;
    }
    server.Caption = EntryCaption(line.number);
    server.Country = value.front() - '0';
    server.Number = static_cast<int>(line.number);
    build.Servers.push_back(std::move(server));
  }
  if (skipped > kMostSkipNotes)
    build.Notes.push_back("Catalogue entries skipped in all: " + std::to_string(skipped));
  const long long missing = *count - static_cast<long long>(lines.size());
  if (missing > 0) build.Notes.push_back("Catalogue entries missing: " + std::to_string(missing));
  return build;
}
