#include "app/bypass_list.h"

#include <gtest/gtest.h>

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

TEST(BypassIni, ReadsKeysOneToCounter) {
  EXPECT_EQ(BypassKeys(0), Lines{});
  EXPECT_EQ(BypassKeys(-4), Lines{});
  EXPECT_EQ(BypassKeys(2), (Lines{"1", "2"}));
  const Lines eleven = BypassKeys(11);
  ASSERT_EQ(eleven.size(), 11u);
  EXPECT_EQ(eleven[9], "10");  // decimal, no leading zeros
  EXPECT_EQ(eleven[10], "11");
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
