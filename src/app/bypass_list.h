// The bypass list: the lines of memBypass and their place in section "Bypass"
// of nimvara.ini ("Counter", then "1".."Counter").
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One line per site; a line break after the last line adds no empty line,
// empty lines between lines are lines.
std::vector<std::string> BypassLinesOfText(std::string_view editText);
// The lines as the edit control shows them, CR LF between them.
std::string BypassTextOfLines(const std::vector<std::string>& lines);

// A stored list holds no more sites than this; more would not fit the edit control.
inline constexpr int kMaxBypassEntries = 10000;

// The stored sites: the values of keys "1" to "Counter" (none for 0 or less),
// read through `read`, which gives nothing for a missing key. A damaged
// "Counter" costs no more than the file holds: reading stops at the first
// missing key and after kMaxBypassEntries.
std::vector<std::string> StoredBypassLines(
    int counter, const std::function<std::optional<std::string>(const std::string& key)>& read);

// What a save writes, in order: ("Counter", n), then ("1", first line)... Keys
// above n are not among them, so stale ones stay in the file.
std::vector<std::pair<std::string, std::string>> BypassIniEntries(const std::vector<std::string>& lines);
