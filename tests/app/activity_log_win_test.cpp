#include "app/activity_log.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/log_text.h"
#include "wine/test_support.h"

namespace {

struct Log : ::testing::Test {
  ScratchDir dir;
  std::string path = dir.Path() + "report.txt";
  std::vector<std::string> failures;
  ActivityLog log{path, [this](const std::string& text) { failures.push_back(text); }};
};

// "[ hh:nn:ss:zzz yyyy/mm/dd ] message" with any one-character separators.
bool IsEventLine(const std::string& line, const std::string& message) {
  if (line.size() != 2 + 23 + 3 + message.size()) return false;
  if (line.compare(0, 2, "[ ") != 0 || line.compare(25, 3, " ] ") != 0) return false;
  for (int i : {2, 3, 5, 6, 8, 9, 11, 12, 13, 15, 16, 17, 18, 20, 21, 23, 24})
    if (!isdigit(static_cast<unsigned char>(line[i]))) return false;
  return line.substr(28) == message;
}

}  // namespace

TEST_F(Log, StartsWithTheSettingsLinesAndWritesNothingUntilTheFirstLine) {
  ASSERT_TRUE(WriteFileBytes(dir.Path() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\n[Bypass]\r\nCounter=1\r\n1=a.com\r\n"));
  log.Start(dir.Path() + "nimvara.ini");
  EXPECT_FALSE(FileExists(path));
  log.Report("Nimvara");
  const std::vector<std::string> lines = SplitLines(ReadFileBytes(path));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "[Config]");
  EXPECT_EQ(lines[4], "1=a.com");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "================");
  EXPECT_TRUE(IsEventLine(lines[7], "Nimvara")) << lines[7];
}

TEST_F(Log, TheFileIsAlwaysTheImageOfTheLines) {
  ASSERT_TRUE(WriteFileBytes(path, "an older run that is much longer than this one\r\n"));
  log.Report("first");
  log.Report("");
  EXPECT_EQ(ReadFileBytes(path), LogFileImage(log.LogLines()));
  EXPECT_TRUE(IsEventLine(log.LogLines().at(1), ""));
  EXPECT_EQ(log.LogLines().at(1).substr(log.LogLines().at(1).size() - 2), "] ");
  EXPECT_TRUE(failures.empty());
}

TEST_F(Log, TimeStampUsesTheUsersDateSeparator) {
  char old[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, old, sizeof(old));
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, "."));
  const std::string stamp = CurrentLogTimeStamp();
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, old);
  ASSERT_EQ(stamp.size(), 23u) << stamp;
  EXPECT_EQ(stamp[17], '.');
  EXPECT_EQ(stamp[20], '.');
}

TEST_F(Log, ALockedFileIsToldOnceAndCaughtUpLater) {
  log.Report("one");
  {
    // Another program holds the file open without sharing.
    UniqueFile holder(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    log.Report("two");
    log.Report("three");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind("Cannot create file \"" + path + "\". ", 0), 0u) << failures[0];
    EXPECT_GT(failures[0].size(), ("Cannot create file \"" + path + "\". ").size());
  }
  log.Report("four");
  const std::vector<std::string> lines = SplitLines(ReadFileBytes(path));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(IsEventLine(lines[1], "two"));
  EXPECT_TRUE(IsEventLine(lines[2], "three"));
  EXPECT_TRUE(IsEventLine(lines[3], "four"));
  EXPECT_EQ(failures.size(), 1u);
}
