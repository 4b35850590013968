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

TEST(OlderLogPath, PutsOldBeforeTheExtension) {
  EXPECT_EQ(OlderLogPath("C:\\Data\\Nimvara\\report.txt"), "C:\\Data\\Nimvara\\report.old.txt");
  EXPECT_EQ(OlderLogPath("report.txt"), "report.old.txt");
  EXPECT_EQ(OlderLogPath("C:\\a.b\\report"), "C:\\a.b\\report.old");
}

namespace {

// A line whose image (with CR LF) takes `bytes`.
std::string LineOf(std::uint64_t bytes) { return std::string(static_cast<std::size_t>(bytes) - 2, 'x'); }

// A run whose file holds the header and the `written` lines, with `unwritten`
// lines still to go (a failed write).
LogBook RunWith(std::vector<std::string> settings, const std::vector<std::uint64_t>& written,
                const std::vector<std::uint64_t>& unwritten) {
  LogBook book;
  book.Start(std::move(settings));
  book.Add("[ S ] Nimvara");
  book.EndHeader();
  for (std::uint64_t bytes : written) book.Add(LineOf(bytes));
  book.Begun();
  book.Written(book.Unwritten().size());
  for (std::uint64_t bytes : unwritten) book.Add(LineOf(bytes));
  return book;
}

}  // namespace

TEST(LogBook, RotatesWhenTheNextBytesWouldPassTheLimitAndNeverForTheHeaderAlone) {
  const std::vector<std::string> settings{"[Config]"};
  constexpr std::uint64_t kHeader = 10 + 2 + 18 + 15;  // "[Config]", "", separator, "[ S ] Nimvara"
  const std::string huge(kLogRotateBytes, 's');
  struct Row {
    std::vector<std::string> settings;
    std::vector<std::uint64_t> written, unwritten;
    bool due;
  } rows[] = {
      {settings, {}, {kLogRotateBytes}, false},                       // nothing but the header in the file
      {settings, {100}, {100}, false},
      {settings, {kLogRotateBytes - kHeader - 100}, {100}, false},    // exactly 1 MB
      {settings, {kLogRotateBytes - kHeader - 100}, {101}, true},
      {settings, {100}, {kLogRotateBytes - kHeader - 200, 101}, true},  // lines held back by a failed write count
      {{huge}, {}, {100}, false},                                       // a header over the limit...
      {{huge}, {100}, {100}, true},                                     // ...still gets one line per file
  };
  for (const Row& row : rows) {
    const LogBook book = RunWith(row.settings, row.written, row.unwritten);
    EXPECT_EQ(book.RotationDue(), row.due) << row.written.size() << " " << row.unwritten.size();
  }
}

TEST(LogBook, EachWriteCarriesTheLineItselfThenWhatIsLostAndANewFileBeginsWithTheHeader) {
  LogBook book;
  book.Start({"[Config]", "Version=1.05"});
  book.Add("[ S ] Nimvara");
  book.Begun();
  EXPECT_EQ(book.Unwritten(), "[Config]\r\nVersion=1.05\r\n\r\n================\r\n[ S ] Nimvara\r\n");
  book.Written(book.Unwritten().size());
  book.Add("[ S ] TimeZone: UTC");
  book.EndHeader();
  const std::string header =
      "[Config]\r\nVersion=1.05\r\n\r\n================\r\n[ S ] Nimvara\r\n[ S ] TimeZone: UTC\r\n";

  // Every later write is the line's own bytes, nothing of the file before it.
  EXPECT_EQ(book.Unwritten(), "[ S ] TimeZone: UTC\r\n");
  book.Written(book.Unwritten().size());
  book.Add("[ S ] Umbrix ON");
  EXPECT_EQ(book.Unwritten(), "[ S ] Umbrix ON\r\n");
  book.Written(book.Unwritten().size());

  // A failed write keeps the line for the next; a short one keeps its rest.
  book.Add("[ S ] one");
  book.Written(0);
  book.Add("[ S ] two");
  EXPECT_EQ(book.Unwritten(), "[ S ] one\r\n[ S ] two\r\n");
  book.Written(6);
  EXPECT_EQ(book.Unwritten(), "one\r\n[ S ] two\r\n");

  // Set aside now: the new file has the header and the two lines whole; the
  // lines in memory are that file's.
  book.Rotated();
  book.Begun();
  EXPECT_EQ(book.Unwritten(), header + "[ S ] one\r\n[ S ] two\r\n");
  EXPECT_EQ(book.Lines(), SplitLines(book.Unwritten()));
  book.Written(book.Unwritten().size());
  book.Add("[ S ] three");
  EXPECT_EQ(book.Unwritten(), "[ S ] three\r\n");
}
