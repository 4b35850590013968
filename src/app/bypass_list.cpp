#include "app/bypass_list.h"

#include "app/log_text.h"
#include "base/settings_keys.h"

std::vector<std::string> BypassLinesOfText(std::string_view editText) { return SplitLines(editText); }

std::string BypassTextOfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

std::vector<std::string> StoredBypassLines(
    int counter, const std::function<std::optional<std::string>(const std::string& key)>& read) {
  std::vector<std::string> lines;
  const int last = counter < kMaxBypassEntries ? counter : kMaxBypassEntries;
  for (int k = 1; k <= last; ++k) {
    std::optional<std::string> value = read(std::to_string(k));
    if (!value) break;
    lines.push_back(std::move(*value));
  }
  return lines;
}

std::vector<std::pair<std::string, std::string>> BypassIniEntries(const std::vector<std::string>& lines) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.emplace_back(kKeyCounter, std::to_string(lines.size()));
  for (std::size_t i = 0; i < lines.size(); ++i) entries.emplace_back(std::to_string(i + 1), lines[i]);
  return entries;
}
