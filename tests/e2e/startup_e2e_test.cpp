// The program's start and end, seen from outside: the files it leaves, the
// single-instance guard and the end of a Windows session.
#include <gtest/gtest.h>

#include "app/log_text.h"
#include "directory/frm_unblock.h"
#include "e2e/app_query_client.h"
#include "e2e/nimvara_process.h"
#include "wine/test_support.h"

namespace {

std::string Ini() { return ReadFileBytes(NimvaraDataDir() + "nimvara.ini"); }
std::vector<std::string> LogLines() { return SplitLines(ReadFileBytes(NimvaraDataDir() + "report.txt")); }

// Start-up has written its last header line.
bool StartupLogged() {
  return ReadFileBytes(NimvaraDataDir() + "report.txt").find(" ] TimeZone: ") != std::string::npos;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Ends the program as Windows does at the end of a session.
void EndSession(NimvaraProcess& nimvara) {
  HWND main = nimvara.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(EndWindowsSession(main), 1u);  // the session may end
  EXPECT_EQ(nimvara.WaitForExit(), 0);
}

struct Startup : ::testing::Test {
  void SetUp() override { ForgetPreviousRuns(); }
  // A first start shows the tour's notice; a user reads it and presses OK.
  DialogAnswerer tour{"Nimvara", IDOK};
};

}  // namespace

TEST_F(Startup, FirstStartCreatesTheDataFolderSettingsAndLog) {
  NimvaraProcess nimvara;
  ASSERT_TRUE(nimvara.Start());
  HWND main = nimvara.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  char caption[64] = {};
  GetWindowTextA(main, caption, sizeof(caption));
  EXPECT_STREQ(caption, "Nimvara");
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_NE(nimvara.WaitForWindow("TfrmSelectIP"), nullptr);
  ASSERT_TRUE(WaitFor(StartupLogged));
  // The tour runs before the first status: start-up waits for the notice.
  ASSERT_TRUE(WaitFor([&] { return tour.Count() == 1; }));
  // Then the directory request, which ends in the unblock dialog with the directory down.
  EXPECT_EQ(tour.LastText(),
            "Nimvara detected you default browser is other browser. We'll show you how to use Nimvara with other "
            "browser.");
  ASSERT_NE(nimvara.WaitForDialog(kUnblockCaption), nullptr);
  EXPECT_EQ(AskNimvara(main, kAskHint), "Try SilentUpdate-2 ...");

  const std::string ini = Ini();
  EXPECT_NE(ini.find("[Config]"), std::string::npos);
  EXPECT_NE(ini.find("Version=1.05"), std::string::npos);
  EXPECT_NE(ini.find("FirstRun=0"), std::string::npos);

  // The log copies the settings as start-up found them; the directory request
  // came later and may have pinned the installation identifier ("Pass").
  std::vector<std::string> iniLines;
  for (const std::string& line : SplitLines(ini))
    if (line.rfind("Pass=", 0) != 0) iniLines.push_back(line);
  const std::vector<std::string> log = LogLines();
  ASSERT_GE(log.size(), iniLines.size() + 7);
  for (std::size_t i = 0; i < iniLines.size(); ++i) EXPECT_EQ(log[i], iniLines[i]);
  std::size_t n = iniLines.size();
  EXPECT_EQ(log[n], "");
  EXPECT_EQ(log[n + 1], "================");
  EXPECT_TRUE(EndsWith(log[n + 2], " ] Nimvara"));
  EXPECT_TRUE(EndsWith(log[n + 3], " ] Version: 1.05"));
  EXPECT_NE(log[n + 4].find(" ] OS: "), std::string::npos);
  EXPECT_NE(log[n + 5].find(" ] Default Browser: "), std::string::npos);
  EXPECT_NE(log[n + 6].find(" ] TimeZone: GMT "), std::string::npos);
  EndSession(nimvara);
}

TEST_F(Startup, ASecondInstanceEndsAndTheFirstSaysItIsRunning) {
  NimvaraProcess first;
  ASSERT_TRUE(first.Start());
  HWND main = first.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  // Settled: start-up waits in the unblock dialog and logs nothing more.
  ASSERT_NE(first.WaitForDialog(kUnblockCaption), nullptr);
  const std::string logBefore = ReadFileBytes(NimvaraDataDir() + "report.txt");
  ASSERT_EQ(AskNimvara(main, kAskBalloon), "Try SilentUpdate-2 ...");

  NimvaraProcess second;
  ASSERT_TRUE(second.Start());
  EXPECT_EQ(second.WaitForExit(), 0);
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(IsWindow(main));
  // The first copy's tray icon shows a balloon; nothing else changes.
  EXPECT_TRUE(WaitFor([&] { return AskNimvara(main, kAskBalloon) == "Nimvara is already running"; }));
  EXPECT_EQ(ReadFileBytes(NimvaraDataDir() + "report.txt"), logBefore);
  EndSession(first);
}

TEST_F(Startup, EndOfSessionLogsClosingLast) {
  NimvaraProcess nimvara;
  ASSERT_TRUE(nimvara.Start());
  ASSERT_TRUE(WaitFor(StartupLogged));
  EndSession(nimvara);
  const std::vector<std::string> log = LogLines();
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(EndsWith(log.back(), " ] Closing...")) << log.back();
}

TEST_F(Startup, NoTourOnceTheFirstRunIsOver) {
  ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\n"));
  NimvaraProcess nimvara;
  ASSERT_TRUE(nimvara.Start());
  HWND main = nimvara.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  ASSERT_NE(nimvara.WaitForDialog(kUnblockCaption), nullptr);
  EXPECT_EQ(tour.Count(), 0);
  EndSession(nimvara);
}

TEST_F(Startup, AnOlderVersionIsRewrittenOnce) {
  ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nVersion=1.04\r\nFirstRun=0\r\n"));
  {
    NimvaraProcess nimvara;
    ASSERT_TRUE(nimvara.Start());
    ASSERT_TRUE(WaitFor(StartupLogged));
    EndSession(nimvara);
  }
  const std::string after = Ini();
  EXPECT_NE(after.find("Version=1.05"), std::string::npos);
  EXPECT_EQ(after.find("1.04"), std::string::npos);
  // The log shows the settings as they stood before the start wrote to them.
  EXPECT_EQ(LogLines().at(1), "Version=1.05");

  // The next start finds nothing to write.
  WIN32_FILE_ATTRIBUTE_DATA before{}, later{};
  GetFileAttributesExA((NimvaraDataDir() + "nimvara.ini").c_str(), GetFileExInfoStandard, &before);
  Sleep(50);
  {
    NimvaraProcess nimvara;
    ASSERT_TRUE(nimvara.Start());
    ASSERT_TRUE(WaitFor(StartupLogged));
    EndSession(nimvara);
  }
  GetFileAttributesExA((NimvaraDataDir() + "nimvara.ini").c_str(), GetFileExInfoStandard, &later);
  EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &later.ftLastWriteTime), 0);
  EXPECT_EQ(Ini(), after);
}

TEST_F(Startup, AMissingSkinStopsTheProgram) {
  ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  // default.skn exists beside the exe; the settings name another file.
  ASSERT_TRUE(FileExists(BuildDir() + "default.skn"));
  ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini",
                             "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\nSkin=C:\\no\\such.skn\r\n"));
  NimvaraProcess nimvara;
  ASSERT_TRUE(nimvara.Start());
  HWND box = nullptr;
  std::string text;
  // Read once its text is in (the box exists a moment before its controls),
  // and only then: one full run saw a second read come back empty.
  ASSERT_TRUE(WaitFor([&] {
    box = FindDialog("Error");
    text = box ? DialogText(box) : "";
    return !text.empty();
  }));
  EXPECT_EQ(text, "Can not find Skin File");
  ClickDialogButton(box, IDOK);
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  const std::vector<std::string> log = LogLines();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(EndsWith(log[0], " ] Closing..."));
}
