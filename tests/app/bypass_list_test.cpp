#include "app/bypass_list.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using Lines = std::vector<std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(BypassLines, OneLinePerSiteWithoutAnExtraLastLine) {
  EXPECT_EQ(BypassLinesOfText(""), Lines{});
  EXPECT_EQ(BypassLinesOfText("a.example"), Lines{"a.example"});
  EXPECT_EQ(BypassLinesOfText("a.example\r\nb.example\r\n"), (Lines{"a.example", "b.example"}));
  EXPECT_EQ(BypassLinesOfText("a.example\r\n\r\nb.example"), (Lines{"a.example", "", "b.example"}));
  EXPECT_EQ(BypassLinesOfText("\r\n"), Lines{""});
}

TEST(BypassLines, ALongSiteStaysOneLine) {
  const std::string longSite = "a-site-name-much-wider-than-the-three-hundred-sixteen-pixels-of-the-list."
                               "subdomain.subdomain.subdomain.example";
  EXPECT_EQ(BypassLinesOfText(longSite + "\r\nb.example"), (Lines{longSite, "b.example"}));
}

TEST(BypassLines, RoundTripThroughTheEditText) {
  const Lines lines{"a.example", "", "b.example"};
  EXPECT_EQ(BypassTextOfLines(lines), "a.example\r\n\r\nb.example");
  EXPECT_EQ(BypassLinesOfText(BypassTextOfLines(lines)), lines);
  EXPECT_EQ(BypassTextOfLines({}), "");
}

TEST(BypassIni, ReadsKeysOneToCounterAsFarAsTheFileHoldsThem) {
  std::vector<std::string> asked;
  const auto readFrom = [&](std::map<std::string, std::string> stored) {
    return [&asked, stored](const std::string& key) -> std::optional<std::string> {
      asked.push_back(key);
      const auto found = stored.find(key);
      if (found == stored.end()) return std::nullopt;
      return found->second;
    };
  };
  const std::map<std::string, std::string> eleven = {
      {"1", "a"}, {"2", ""}, {"3", "c"}, {"4", "d"}, {"5", "e"}, {"6", "f"},
      {"7", "g"}, {"8", "h"}, {"9", "i"}, {"10", "j"}, {"11", "k"}, {"12", "above the counter"}};
  struct Case {
    int counter;
    std::size_t lines;
    std::size_t reads;
  };
  const Case cases[] = {
      {0, 0, 0}, {-4, 0, 0}, {2, 2, 2}, {11, 11, 11},
      {2147483647, 12, 13},  // a damaged counter: up to the first missing key
  };
  for (const Case& c : cases) {
    asked.clear();
    const Lines lines = StoredBypassLines(c.counter, readFrom(eleven));
    EXPECT_EQ(lines.size(), c.lines) << c.counter;
    EXPECT_EQ(asked.size(), c.reads) << c.counter;
    if (lines.size() >= 11) {
      EXPECT_EQ(asked[9], "10");  // decimal, no leading zeros
      EXPECT_EQ(lines[1], "");
      EXPECT_EQ(lines[10], "k");
    }
  }
  // A gap ends the list; a file that has every key ends it at the maximum.
  EXPECT_EQ(StoredBypassLines(5, readFrom({{"1", "a"}, {"2", "b"}, {"4", "d"}, {"5", "e"}})), (Lines{"a", "b"}));
  const Lines full = StoredBypassLines(2147483647, [](const std::string& key) { return std::optional(key); });
  ASSERT_EQ(full.size(), static_cast<std::size_t>(kMaxBypassEntries));
  EXPECT_EQ(full.back(), std::to_string(kMaxBypassEntries));
}

TEST(BypassIni, WritesTheCounterFirstThenEveryLine) {
  EXPECT_EQ(BypassIniEntries({}), (Entries{{"Counter", "0"}}));
  EXPECT_EQ(BypassIniEntries({"a.example", "", "c.example"}),
            (Entries{{"Counter", "3"}, {"1", "a.example"}, {"2", ""}, {"3", "c.example"}}));
}

TEST(BypassIni, AShorterListLeavesNoKeyAboveItsCounter) {
  const Entries entries = BypassIniEntries({"x", "y", "z"});
  for (const auto& [key, value] : entries) EXPECT_NE(key, "4");
  EXPECT_EQ(entries.size(), 4u);
}
