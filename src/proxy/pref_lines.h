// The preference statements of a Firefox prefs file (user.js, prefs.js):
// which prefs it sets, and to what.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PrefLine {
  std::string name;
  std::string value;  // as written: 1, true, "text" (quotes and escapes kept)
  bool operator==(const PrefLine&) const = default;
};

// Every statement Firefox would read, in file order: user_pref, pref and
// sticky_pref with a number, a Boolean or a one-line string. Comments are
// skipped; a statement Firefox would not accept is left out.
std::vector<PrefLine> ParsePrefLines(std::string_view text);

// The value the last statement for `name` gives, which is the one in force.
std::optional<std::string> LastPrefValue(const std::vector<PrefLine>& lines, std::string_view name);
