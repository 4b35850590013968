#include "app/activity_log.h"

#include <gtest/gtest.h>

#include <cstdio>
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
  ASSERT_TRUE(WriteFileBytes(path, "the last run's log\r\n"));
  {
    // Another program holds the last run's file open without sharing.
    UniqueFile holder(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    log.Report("one");
    log.Report("two");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind("Cannot create file \"" + path + "\". ", 0), 0u) << failures[0];
    EXPECT_GT(failures[0].size(), ("Cannot create file \"" + path + "\". ").size());
  }
  log.Report("three");
  const std::vector<std::string> lines = SplitLines(ReadFileBytes(path));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(IsEventLine(lines[0], "one"));
  EXPECT_TRUE(IsEventLine(lines[1], "two"));
  EXPECT_TRUE(IsEventLine(lines[2], "three"));
  EXPECT_EQ(failures.size(), 1u);
}

namespace {

// This process's write calls and the bytes they passed, as Linux counts them
// (wchar and syscw of /proc/<pid>/io, reached through Wine's Z: drive). The
// pid is Linux's, asked for directly: "self" would name the wineserver, which
// opens files for Wine's processes.
long LinuxPid() {
  long pid = 39;  // getpid
  asm volatile("syscall" : "+a"(pid) : : "rcx", "r11", "memory");
  return pid;
}
struct WriteCounters {
  long long bytes = -1, calls = -1;
};
WriteCounters CountedWrites() {
  WriteCounters counted;
  const std::string io = "Z:\\proc\\" + std::to_string(LinuxPid()) + "\\io";
  for (const std::string& line : SplitLines(ReadFileBytes(io))) {
    if (line.rfind("wchar: ", 0) == 0) counted.bytes = std::stoll(line.substr(7));
    if (line.rfind("syscw: ", 0) == 0) counted.calls = std::stoll(line.substr(7));
  }
  return counted;
}

}  // namespace

TEST_F(Log, EachLineIsOneWriteOfItsOwnBytesAndAFullFileBecomesTheOldOneWithTheHeaderAgain) {
  ASSERT_TRUE(WriteFileBytes(dir.Path() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\n"));
  ASSERT_TRUE(WriteFileBytes(dir.Path() + "report.old.txt", "an older run\r\n"));
  log.Start(dir.Path() + "nimvara.ini");
  log.Report("Nimvara");
  log.Report("TimeZone: UTC");
  log.EndHeader();
  const std::string header = ReadFileBytes(path);
  ASSERT_EQ(SplitLines(header).size(), 6u);

  // A log of half a megabyte: each line still costs its own bytes only.
  const std::string big(100 * 1000, 'b');
  for (int i = 0; i < 5; ++i) log.Report(big);
  const std::size_t before = ReadFileBytes(path).size();
  // Reading the counters costs Wine's own server requests: counted once alone.
  const WriteCounters a = CountedWrites();
  const WriteCounters b = CountedWrites();
  log.Report("Check: United Kingdom #3 OK");
  const WriteCounters c = CountedWrites();
  ASSERT_GE(a.bytes, 0) << "no /proc/<pid>/io";
  const long long calls = (c.calls - b.calls) - (b.calls - a.calls);
  const long long bytes = (c.bytes - b.bytes) - (b.bytes - a.bytes);
  const std::size_t lineBytes = 28 + std::string("Check: United Kingdom #3 OK").size() + 2;
  EXPECT_EQ(ReadFileBytes(path).size(), before + lineBytes);
  std::printf("one Report: %lld write call(s), %lld bytes; the line is %zu bytes, the file %zu\n", calls, bytes,
              lineBytes, before + lineBytes);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(bytes, static_cast<long long>(lineBytes));

  // Past 1 MB the file is set aside whole, replacing the older one, and the
  // line opens a new one after the header; while a viewer holds the older
  // one, the file goes on.
  for (int i = 0; i < 5; ++i) log.Report(big);
  EXPECT_LE(ReadFileBytes(path).size(), kLogRotateBytes);
  const std::string older = dir.Path() + "report.old.txt";
  {
    UniqueFile viewer(CreateFileA(older.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(viewer);
    log.Report(big);
    EXPECT_EQ(ReadFileBytes(older), "an older run\r\n");
  }
  const std::string full = ReadFileBytes(path);
  EXPECT_GT(full.size(), kLogRotateBytes);
  EXPECT_TRUE(IsEventLine(SplitLines(full).back(), big));
  log.Report("Check: United Kingdom #3 OK");
  EXPECT_EQ(ReadFileBytes(older), full);
  const std::string fresh = ReadFileBytes(path);
  EXPECT_EQ(fresh.substr(0, header.size()), header);
  ASSERT_EQ(fresh.size(), header.size() + lineBytes);
  EXPECT_TRUE(IsEventLine(SplitLines(fresh).back(), "Check: United Kingdom #3 OK"));
  EXPECT_EQ(LogFileImage(log.LogLines()), fresh);
  EXPECT_TRUE(failures.empty());
}
