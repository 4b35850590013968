// The directory reply's text: its keys and the two routines that hide the
// catalogue's values.
#pragma once

#include <string>
#include <string_view>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "net/sha256.h"

// The "name=value" lines of a reply. Lines end at CR LF, lone CR or lone LF, a
// NUL ends the text; names match without regard to case and the first line of
// a name counts.
class ReplyKeys {
 public:
  explicit ReplyKeys(std::string_view reply);

  // Empty when no line defines the name.
  std::string Value(std::string_view name) const;
  // A flag is set only by the exact value "1".
  bool IsSet(std::string_view name) const { return Value(name) == "1"; }
  // Every defined name (as first written) with its value, in reply order.
  const std::vector<std::pair<std::string, std::string>>& Keys() const { return keys_; }

 private:
  std::vector<std::pair<std::string, std::string>> keys_;
  // Lower-case name -> keys_. Ordered, not hashed: a reply's names are the
  // server's choice, and colliding hashes would make the lookups quadratic.
  std::map<std::string, std::size_t, std::less<>> index_;
};

// Each character keeps its band (0-31, 32-63, 64-127, 128-255) and is XORed with
// the key character's low bits of that band; applied twice it gives the text back.
std::string Unscramble(std::string_view text, std::string_view key);
// The first half reversed, the rest as it stands: "abcdef" -> "cbadef".
std::string HalfReverse(std::string_view text);

inline constexpr const char* kNothingUseful = "SilentUpdate Failed! Nothing Useful!";
// The service notices that a reply raises, in the order they are shown.
std::vector<std::string> ServiceNotices(const ReplyKeys& keys);
// The log line of the new-version flag.
std::string NewVersionNotice(std::string_view programVersion);

// The SHA-256 of the one installer a "NewVersion" reply lets run: the
// "InstallerSha256" value, exactly 64 hexadecimal digits; nothing otherwise.
std::optional<Sha256Digest> InstallerSha256(const ReplyKeys& keys);
inline constexpr const char* kNoInstallerHash =
    "New version announced without the installer's SHA-256: nothing downloaded";
