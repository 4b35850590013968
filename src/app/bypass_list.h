// The bypass list: the lines of memBypass and their place in section "Bypass"
// of nimvara.ini ("Counter", then "1".."Counter").
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One line per site; a line break after the last line adds no empty line,
// empty lines between lines are lines.
std::vector<std::string> BypassLinesOfText(std::string_view editText);
// The lines as the edit control shows them, CR LF between them.
std::string BypassTextOfLines(const std::vector<std::string>& lines);

// The keys to read for a stored "Counter": "1" to Counter, none for 0 or less.
std::vector<std::string> BypassKeys(int counter);

// What a save writes, in order: ("Counter", n), then ("1", first line)... Keys
// above n are not among them, so stale ones stay in the file.
std::vector<std::pair<std::string, std::string>> BypassIniEntries(const std::vector<std::string>& lines);
