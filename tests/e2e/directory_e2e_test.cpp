// The directory request of the real program against the stand-in directory
// servers: each scenario asserts the whole log from the request on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include "app/log_text.h"
#include "directory/frm_unblock.h"
#include "e2e/app_query_client.h"
#include "e2e/nimvara_process.h"
#include "nimvara_config.h"
#include "net/fetch_wait.h"
#include "proxy/proxy_win_support.h"
#include "proxy/wininet_proxy.h"
#include "wine/test_support.h"

namespace {

// The stand-in's state folder: its modes, catalogue and request log.
std::string ServiceDir() { return BuildDir() + "directory_service\\"; }

// Sets the three servers' modes ("cut good down") and the catalogue they
// serve; back to all down, as the other tests expect, at the end.
struct DirectoryService {
  DirectoryService(const std::string& modes, const std::string& catalogue) {
    WriteFileBytes(ServiceDir() + "catalogue.txt", catalogue);
    DeleteFileA((ServiceDir() + "requests.log").c_str());
    SetModes(modes);
  }
  ~DirectoryService() { SetModes("down down down"); }
  static void SetModes(const std::string& modes) {
    WriteFileBytes(ServiceDir() + "modes", modes + "\n");
    Sleep(300);  // the servers look at the file every 50 ms
  }
  // "<host> <request line>" of every request, in order.
  static std::vector<std::string> Requests() {
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(ReadFileBytes(ServiceDir() + "requests.log")))
      if (!line.empty() && line[0] != ' ') lines.push_back(line);
    return lines;
  }
  static std::string RequestLog() { return ReadFileBytes(ServiceDir() + "requests.log"); }
};

const char kCatalogue[] =
    "port 8080\nuser nim\npassword vara\nserver 1 127.0.0.10\nserver 2 127.0.0.11\n"
    "raw 3=1a5b\ncount 3\n";  // entry 3 descrambles to "o;l"

// The log's messages from "Init settings..." on, without their time stamps.
std::vector<std::string> RequestLogLines() {
  std::vector<std::string> messages;
  bool started = false;
  for (const std::string& line : SplitLines(ReadFileBytes(NimvaraDataDir() + "report.txt"))) {
    const std::size_t at = line.find(" ] ");
    if (at == std::string::npos) continue;
    const std::string message = line.substr(at + 3);
    started = started || message == "Init settings...";
    if (started) messages.push_back(message);
  }
  return messages;
}

const std::vector<std::string> kPrologue = {"Init settings...", "Done", "SilentUpdate..."};
const std::vector<std::string> kThreeFailures = {
    "SilentUpdate-0 ...", "SilentUpdate-0 Failed", "SilentUpdate-1 ...", "SilentUpdate-1 Failed",
    "SilentUpdate-2 ...", "SilentUpdate-2 Failed", "SilentUpdate Failed!", "Please unblock Nimvara"};

// The time of day of the log line with this message, in ms; -1 when none.
long LoggedAt(const std::string& message) {
  for (const std::string& line : SplitLines(ReadFileBytes(NimvaraDataDir() + "report.txt"))) {
    const std::size_t at = line.find(" ] ");
    int h = 0, m = 0, s = 0, ms = 0;
    if (at != std::string::npos && line.substr(at + 3) == message &&
        std::sscanf(line.c_str(), "[ %d%*c%d%*c%d%*c%d", &h, &m, &s, &ms) == 4)
      return ((h * 60L + m) * 60 + s) * 1000 + ms;
  }
  return -1;
}

// How long the main window took to answer a message sent now.
std::chrono::milliseconds AnswerTime(HWND main) {
  const auto start = std::chrono::steady_clock::now();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "?";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

struct Directory : ::testing::Test {
  void SetUp() override {
    ForgetPreviousRuns();
    ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\n"));
  }
  void StartNimvara() {
    ASSERT_TRUE(nimvara.Start());
    main = nimvara.WaitForWindow("TfrmMain");
    ASSERT_NE(main, nullptr);
  }
  bool HintIs(const std::string& hint) {
    return WaitFor([&] { return AskNimvara(main, kAskHint) == hint; });
  }
  void TearDown() override {
    if (!nimvara.Running() || !main) return;
    EndWindowsSession(main);
    EXPECT_EQ(nimvara.WaitForExit(), 0);
  }
  DialogAnswerer boxes{"Nimvara", IDOK};
  NimvaraProcess nimvara;
  HWND main = nullptr;
};

}  // namespace

TEST_F(Directory, ACutOffFirstServerSendsTheRequestOnToTheSecond) {
  DirectoryService service("cut good good", kCatalogue);
  StartNimvara();
  ASSERT_TRUE(HintIs("Please Select an IP Address")) << AskNimvara(main, kAskHint);
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "UpdateVerify-0 Failed", "SilentUpdate-1 ...",
                     "SilentUpdate-1 OK", "UpdateVerify-1 OK", "Catalogue entry #3 skipped: not a host address"}}));
  const std::vector<std::string> requests = DirectoryService::Requests();
  ASSERT_EQ(requests.size(), 2u);
  const std::regex line(
      "127\\.0\\.0\\.([12]) GET /update-nimvara\\.php\\?id=([0-9]{24})&productid=4&version=1\\.0577"
      "&language=([0-9]+)&i=([01]) HTTP/1\\.0");
  std::smatch first, second;
  ASSERT_TRUE(std::regex_match(requests[0], first, line)) << requests[0];
  ASSERT_TRUE(std::regex_match(requests[1], second, line)) << requests[1];
  EXPECT_EQ(first[1], "1");
  EXPECT_EQ(first[4], "0");
  EXPECT_EQ(second[1], "2");
  EXPECT_EQ(second[4], "1");
  EXPECT_EQ(first[2], second[2]);  // the same id and language in every attempt
  EXPECT_EQ(first[3], std::to_string(GetSystemDefaultLangID()));
  EXPECT_EQ(second[3], first[3]);
  const std::string log = DirectoryService::RequestLog();
  EXPECT_NE(log.find("\n  User-Agent: Mozilla/4.0(compatible; MSIE 7.0;  Windows NT 6.0)\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\n  Accept: "), std::string::npos) << log;
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(Directory, AnUnsignedReplyIsAFailedAttemptAndTheSignedOneIsRead) {
  // A build that reads unsigned replies fails here: it must be made on purpose, never by a missing key.
  ASSERT_FALSE(nimvara::config::kReadUnsignedReplies) << "built with NIMVARA_UNSIGNED_REPLIES";
  DirectoryService service("unsigned good down", kCatalogue);
  StartNimvara();
  ASSERT_TRUE(HintIs("Please Select an IP Address")) << AskNimvara(main, kAskHint);
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "Reply signature missing or wrong",
                     "UpdateVerify-0 Failed", "SilentUpdate-1 ...", "SilentUpdate-1 OK", "UpdateVerify-1 OK",
                     "Catalogue entry #3 skipped: not a host address"}}));
}

TEST_F(Directory, AReplayedOlderReplyIsAFailedAttemptAndTheCurrentOneIsReadAndKept) {
  // Serial 50 was read before; server 0 replays an earlier signed reply
  // (serial 20), server 1 serves the current one (the stand-in's 100).
  const std::string ini = NimvaraDataDir() + "nimvara.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("Config", "DirectorySerial", "50", ini.c_str()));
  DirectoryService service("old:20 good down", kCatalogue);
  StartNimvara();
  ASSERT_TRUE(HintIs("Please Select an IP Address")) << AskNimvara(main, kAskHint);
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "Reply older than one already read",
                     "UpdateVerify-0 Failed", "SilentUpdate-1 ...", "SilentUpdate-1 OK", "UpdateVerify-1 OK",
                     "Catalogue entry #3 skipped: not a host address"}}));
  char serial[32] = {};
  GetPrivateProfileStringA("Config", "DirectorySerial", "", serial, sizeof(serial), ini.c_str());
  EXPECT_STREQ(serial, "100");
}

TEST_F(Directory, AllDownShowsTheUnblockDialogAndReconnectReadsTheCatalogueOnceTheyAreUp) {
  DirectoryService service("down down down", kCatalogue);
  StartNimvara();
  HWND unblock = nimvara.WaitForDialog(kUnblockCaption);
  ASSERT_NE(unblock, nullptr);
  EXPECT_EQ(AskNimvara(main, kAskHint), "Try SilentUpdate-2 ...");
  EXPECT_EQ(RequestLogLines(), Joined({kPrologue, kThreeFailures}));
  SaveScreenshot("unblock");

  // Help opens the firewall page and leaves the dialog; Copy takes the path.
  ClickDialogButton(unblock, kIdUnblockHelp);
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(unblock));
  ClickDialogButton(unblock, kIdUnblockCopy);
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == NimvaraExePath(); })) << ClipboardText();

  // Still blocked: a second full series and a new dialog.
  ClickDialogButton(unblock, kIdUnblockReconnect);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(unblock); }));
  HWND second = nimvara.WaitForDialog(kUnblockCaption);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(RequestLogLines(), Joined({kPrologue, kThreeFailures, kPrologue, kThreeFailures}));

  DirectoryService::SetModes("good good good");
  ClickDialogButton(second, kIdUnblockReconnect);
  ASSERT_TRUE(HintIs("Please Select an IP Address")) << AskNimvara(main, kAskHint);
  EXPECT_EQ(nimvara.FindWindowOfClass("#32770", true), nullptr);
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue, kThreeFailures, kPrologue, kThreeFailures, kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "UpdateVerify-0 OK",
                     "Catalogue entry #3 skipped: not a host address"}}));
  // The failed runs leave the status of the accepted one alone.
  Sleep(300);
  EXPECT_EQ(AskNimvara(main, kAskHint), "Please Select an IP Address");
}

TEST_F(Directory, ANoticeBesideACatalogueIsShownAndTheCatalogueStillRead) {
  DirectoryService service("good down down", std::string(kCatalogue) + "notice 2\n");
  StartNimvara();
  ASSERT_TRUE(HintIs("Please Select an IP Address")) << AskNimvara(main, kAskHint);
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.LastText(), "Service #2 NOT available! Please contact us at once!");
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "UpdateVerify-0 OK",
                     "Service #2 NOT available! Please contact us at once!",
                     "Catalogue entry #3 skipped: not a host address"}}));
}

TEST_F(Directory, AReplyWithNothingUsefulSaysSo) {
  DirectoryService service("empty malformed good", "count 0\n");
  StartNimvara();
  ASSERT_TRUE(HintIs("Umbrix OFF")) << AskNimvara(main, kAskHint);
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.LastText(), "SilentUpdate Failed! Nothing Useful!");
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 Failed", "SilentUpdate-1 ...", "SilentUpdate-1 OK",
                     "UpdateVerify-1 OK", "Catalogue refused: the server count is not a number",
                     "SilentUpdate Failed! Nothing Useful!"}}));
}

TEST_F(Directory, AServerThatDripsItsReplyNeverFreezesTheProgramAndTheEndOfTheSessionStillWins) {
  using namespace std::chrono_literals;
  DirectoryService service("drip good good", kCatalogue);
  StartNimvara();
  // Server 0 sends a byte every 2 s: it is given up at the deadline, server 1
  // answers, and all along the program answers its messages at once.
  std::chrono::milliseconds longest{0};
  ASSERT_TRUE(WaitFor(
      [&] {
        longest = std::max(longest, AnswerTime(main));
        return AskNimvara(main, kAskHint) == "Please Select an IP Address";
      },
      std::chrono::milliseconds(kFetchDeadlineMs) + 15s));
  std::printf("longest stall of the interface thread: %lld ms\n", static_cast<long long>(longest.count()));
  EXPECT_LT(longest, 500ms);
  EXPECT_EQ(RequestLogLines(),
            Joined({kPrologue,
                    {"SilentUpdate-0 ...", "SilentUpdate-0 Failed", "SilentUpdate-1 ...", "SilentUpdate-1 OK",
                     "UpdateVerify-1 OK", "Catalogue entry #3 skipped: not a host address"}}));
  const long waited = LoggedAt("SilentUpdate-0 Failed") - LoggedAt("SilentUpdate-0 ...");
  EXPECT_GE(waited, static_cast<long>(kFetchDeadlineMs) - 50);
  EXPECT_LT(waited, static_cast<long>(kFetchDeadlineMs) + 1000);

  // A new start, its request dripping, the browsers on a proxy meanwhile: the
  // end of the session puts them back and ends the program at once.
  EndWindowsSession(main);
  ASSERT_EQ(nimvara.WaitForExit(), 0);
  DirectoryService again("drip drip drip", kCatalogue);
  StartNimvara();
  ASSERT_TRUE(WaitFor([] { return DirectoryService::Requests().size() == 1; }));
  Sleep(1000);  // well into the read
  ASSERT_TRUE(SetConnectionProxy("", ProxyAddress::Parse("127.0.0.10:8080"), ""));
  ASSERT_NE(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  const auto end = std::chrono::steady_clock::now();
  EXPECT_NE(EndWindowsSession(main, 2000), 0u);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end + 2s - std::chrono::steady_clock::now());
  EXPECT_EQ(nimvara.WaitForExit(std::max(left, 0ms)), 0);
  EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  ResetLanToDirect();
}
