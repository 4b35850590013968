#include "directory/directory_reply.h"

#include <algorithm>

#include "base/ascii_lower.h"
#include "base/hex_digits.h"

ReplyKeys::ReplyKeys(std::string_view reply) {
  reply = reply.substr(0, reply.find('\0'));
  // A catalogue reply has a line per entry: sized once rather than by growing,
  // within a cap that a reply of empty lines cannot stretch.
  constexpr std::size_t kMostReserved = std::size_t{1} << 17;
  keys_.reserve(std::min(static_cast<std::size_t>(std::count(reply.begin(), reply.end(), '\n')) + 1, kMostReserved));
  std::size_t start = 0;
  while (start < reply.size()) {
    std::size_t end = reply.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = reply.size();
    const std::string_view line = reply.substr(start, end - start);
    start = end + ((end + 1 < reply.size() && reply[end] == '\r' && reply[end + 1] == '\n') ? 2 : 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, equals);
    if (index_.emplace(AsciiLower(name), keys_.size()).second)
      keys_.emplace_back(std::string(name), std::string(line.substr(equals + 1)));
  }
}

std::string ReplyKeys::Value(std::string_view name) const {
  const auto found = index_.find(AsciiLower(name));
  return found == index_.end() ? std::string() : keys_[found->second].second;
}

std::string Unscramble(std::string_view text, std::string_view key) {
  if (text.empty() || key.empty()) return {};
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    const unsigned c = static_cast<unsigned char>(result[i]);
    const unsigned k = static_cast<unsigned char>(key[i % key.size()]);
    unsigned mask = 0;
    if (c >= 128) mask = 127;
    else if (c >= 64) mask = 63;
    else if (c >= 32) mask = 31;
    result[i] = static_cast<char>(c ^ (k & mask));
  }
  return result;
}

std::string HalfReverse(std::string_view text) {
  std::string result(text);
  std::reverse(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(result.size() / 2));
  return result;
}

std::vector<std::string> ServiceNotices(const ReplyKeys& keys) {
  std::vector<std::string> notices;
  for (const char* n : {"1", "2"})
    if (keys.IsSet(std::string("ServiceNotAvailable-") + n))
      notices.push_back(std::string("Service #") + n + " NOT available! Please contact us at once!");
  return notices;
}

std::string NewVersionNotice(std::string_view programVersion) {
  return "New version of Nimvara is needed! Your current version is: " + std::string(programVersion);
}

std::optional<Sha256Digest> InstallerSha256(const ReplyKeys& keys) {
  Sha256Digest digest{};
  if (!ParseHexDigits(keys.Value("InstallerSha256"), digest.data(), digest.size())) return std::nullopt;
  return digest;
}
