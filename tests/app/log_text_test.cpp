#include "app/log_text.h"

#include <gtest/gtest.h>

TEST(FormatLogTimeStamp, PadsEveryFieldWithTheUsualSeparators) {
  EXPECT_EQ(FormatLogTimeStamp({2026, 12, 6, 14, 3, 7, 42}, ":", "/"), "14:03:07:042 2026/12/06");
  EXPECT_EQ(FormatLogTimeStamp({987, 1, 2, 0, 0, 0, 0}, ":", "/"), "00:00:00:000 0987/01/02");
  EXPECT_EQ(FormatLogTimeStamp({2026, 10, 31, 23, 59, 59, 999}, ":", "/"), "23:59:59:999 2026/10/31");
}

TEST(FormatLogTimeStamp, UsesTheUsersSeparators) {
  EXPECT_EQ(FormatLogTimeStamp({2026, 12, 6, 14, 3, 7, 42}, ":", "."), "14:03:07:042 2026.12.06");
  EXPECT_EQ(FormatLogTimeStamp({2026, 12, 6, 14, 3, 7, 42}, ".", "-"), "14.03.07.042 2026-12-06");
  EXPECT_EQ(FormatLogTimeStamp({2026, 12, 6, 14, 3, 7, 42}, "h", ". "), "14h03h07h042 2026. 12. 06");
}

TEST(LogEventLine, FramesTheStamp) {
  EXPECT_EQ(LogEventLine("14:03:07:042 2026/12/06", "Umbrix ON"), "[ 14:03:07:042 2026/12/06 ] Umbrix ON");
  EXPECT_EQ(LogEventLine("S", ""), "[ S ] ");
}

TEST(LogFileImage, EndsEveryLineWithCrLf) {
  EXPECT_EQ(LogFileImage({}), "");
  EXPECT_EQ(LogFileImage({"[Config]", "Version=1.05", "", "================", "[ S ] Nimvara"}),
            "[Config]\r\nVersion=1.05\r\n\r\n================\r\n[ S ] Nimvara\r\n");
}

TEST(SplitLines, AcceptsEveryLineBreak) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitLines(""), V{});
  EXPECT_EQ(SplitLines("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\nb"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\rb\r"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\n"), V{""});
}

TEST(SplitLines, RoundTripsThroughTheFileImage) {
  const std::vector<std::string> lines{"[Config]", "Version=1.05", "", "[Bypass]", "Counter=0"};
  EXPECT_EQ(SplitLines(LogFileImage(lines)), lines);
}
