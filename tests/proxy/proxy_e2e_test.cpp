// The real nimvara.exe leaves the browsers on direct access when Windows ends
// the session, and takes Firefox off the proxy once after a version change.
#include <gtest/gtest.h>

#include "directory/frm_unblock.h"
#include "e2e/nimvara_process.h"
#include "proxy/user_js_text.h"
#include "proxy/wininet_proxy.h"
#include "proxy_win_support.h"
#include "wine/test_support.h"

namespace {

// The program's user.js as an earlier version's apply left it, and as a
// restore leaves it.
const std::string kApplied = EarlierUserJsText(ProxyAddress::Parse("127.0.0.22:3128"), "a.example,");
const std::string kRestored = RestoreBlock("", std::nullopt);

void EndSession(NimvaraProcess& nimvara) {
  HWND main = nimvara.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(EndWindowsSession(main, 15000), 1u);
  EXPECT_EQ(nimvara.WaitForExit(), 0);
}

struct ProxyEndToEnd : ::testing::Test {
  FirefoxHome home;
  std::string profile = home.AddProfile("e2e0.default");
  DialogAnswerer boxes{"Nimvara", IDOK};

  void SetUp() override {
    ForgetPreviousRuns();
    ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  }
  void TearDown() override {
    ResetLanToDirect();
    ForgetPreviousRuns();
  }
  void Settings(const std::string& config) {
    ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nFirstRun=0\r\n" + config));
  }
};

}  // namespace

TEST_F(ProxyEndToEnd, EndOfSessionLeavesWinInetDirectAndUserJsRestored) {
  Settings("Version=1.05\r\nFirefoxControlMode=1\r\n");
  NimvaraProcess nimvara;
  ASSERT_TRUE(nimvara.Start());
  ASSERT_NE(nimvara.WaitForWindow("TfrmMain"), nullptr);
  // Once start-up has put the browsers on direct access for the directory
  // request and, with the directory down, waits in the unblock dialog.
  ASSERT_NE(nimvara.WaitForDialog(kUnblockCaption), nullptr);
  // As a hide session would have left them.
  ASSERT_TRUE(SetConnectionProxy("", ProxyAddress::Parse("127.0.0.22:3128"), "a.example,"));
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", kApplied));
  ASSERT_EQ(QueryLanProxy().server, "127.0.0.22:3128");
  EndSession(nimvara);

  const LanProxy lan = QueryLanProxy();
  EXPECT_EQ(lan.flags & (PROXY_TYPE_PROXY | PROXY_TYPE_DIRECT), static_cast<DWORD>(PROXY_TYPE_DIRECT));
  EXPECT_EQ(lan.server, "");
  const std::vector<std::string> lines = CrLfLines(ReadFileBytes(profile + "user.js"));
  ASSERT_EQ(lines.size(), 17u) << "settings:\n" << ReadFileBytes(NimvaraDataDir() + "nimvara.ini") << "log:\n"
                              << ReadFileBytes(NimvaraDataDir() + "report.txt") << "boxes: " << boxes.Count() << " "
                              << boxes.LastText();
  EXPECT_EQ(lines[1], "user_pref(\"network.proxy.type\", 0);");
}

TEST_F(ProxyEndToEnd, AVersionChangeTakesFirefoxOffTheProxyAndGivesBackTheUsersLines) {
  Settings("Version=1.04\r\n");  // plug-in mode: nothing writes user.js again
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", kApplied));
  ASSERT_TRUE(WriteFileBytes(profile + "user.js.first", "// the user's own\r\n"));
  NimvaraProcess nimvara;
  ASSERT_TRUE(nimvara.Start());
  // Firefox has the proxy in its prefs.js: the direct block takes it out at
  // its next start, after the lines the earlier version had set aside.
  const std::string restored = "// the user's own\r\n" + kRestored;
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(profile + "user.js") == restored; }));
  EndSession(nimvara);
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), restored);
  EXPECT_FALSE(FileExists(profile + "user.js.first"));

  // The next start finds the version unchanged and leaves a new user.js alone.
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", kApplied));
  NimvaraProcess again;
  ASSERT_TRUE(again.Start());
  ASSERT_NE(again.WaitForWindow("TfrmMain"), nullptr);
  Sleep(500);
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), kApplied);
  EndSession(again);
}
