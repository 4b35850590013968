// A session that watches itself, seen from outside: a dead proxy replaced by
// the other one of its country within one check, the events Wine cannot make
// delivered as the system's notification would post them, a setting taken back
// under an open dialog put right, and every way out (Alt+F4, a kill undone by
// the RunOnce value) leaving the browsers direct.
#include <chrono>

#include "app/tray_menu_items.h"
#include "app/watch_messages.h"
#include "directory/frm_select_ip.h"
#include "e2e/main_road_fixture.h"
#include "host/restore_at_logon.h"
#include "proxy/wininet_proxy.h"

namespace {

std::string RunOnceValue() {
  char value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, kRunOnceKey, kRestoreValueName, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return "(none)";
  return value;
}

std::string ExpectedRunOnce() { return "\"" + NimvaraExePath() + "\" /restore"; }

// Proxies of the main road's catalogue that are to be dead for now.
void StopProxies(const std::string& addresses) {
  WriteFileBytes(StateDir() + "session\\proxy.down", addresses + "\n");
  Sleep(300);  // read every 50 ms
}

struct WatchedSession : MainRoad {
  // The United States has two servers: one is picked at random.
  WatchedSession() { settings = "AutoSelectCountry=1\r\nLastCountry=1\r\nCheckSeconds=10\r\n"; }
  void TearDown() override {
    StopProxies("");
    MainRoad::TearDown();
  }
};

struct QuietWatch : MainRoad {
  // The United Kingdom's one server; no timer check within a test's time.
  QuietWatch() { settings = "AutoSelectCountry=1\r\nLastCountry=2\r\nCheckSeconds=3600\r\n"; }
};

// Internet Explorer unticked: only Firefox is given the session, and WinINet stays direct.
struct FirefoxOnly : MainRoad {
  FirefoxOnly() { settings = "AutoSelectCountry=1\r\nLastCountry=2\r\nCheckSeconds=10\r\nBrowserIE=0\r\n"; }
};

}  // namespace

TEST_F(FirefoxOnly, ChecksGoThroughTheEntrysProxyWhileWinInetStaysDirect) {
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));  // verified, not "(not verified)"
  EXPECT_TRUE(Has(UserJs(profile), "\"127.0.0.12\"")) << UserJs(profile);
  EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  // The site answers "OK" only through a proxy: two watch checks pass, none fails over.
  EXPECT_TRUE(WaitFor([] { return Count(Log(), "] Check: United Kingdom #3 OK\r\n") >= 2; }, std::chrono::seconds(30)));
  const std::string log = Log();
  EXPECT_FALSE(Has(log, "Verify failed.")) << log;
  EXPECT_FALSE(Has(log, "Failover")) << log;
  EXPECT_EQ(AskNimvara(main, kAskHint), "Umbrix - United Kingdom #3");
  EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
}

TEST_F(WatchedSession, ADeadProxyIsReplacedWithinOneCheckThenAltF4RestoresAndClearsRunOnce) {
  Start();
  ASSERT_TRUE(WaitFor([&] { return Has(Log(), "] Umbrix ON\r\n") && QueryLanProxy().server.size() > 0; },
                      std::chrono::seconds(20)));
  const std::string picked = QueryLanProxy().server;
  ASSERT_TRUE(picked == "127.0.0.10:8080" || picked == "127.0.0.11:8080") << picked;
  const bool first = picked == "127.0.0.10:8080";
  const std::string dead = first ? "United States #1" : "United States #2";
  const std::string other = first ? "United States #2" : "United States #1";
  ASSERT_TRUE(WaitForHint(main, "Umbrix - " + dead));
  EXPECT_EQ(RunOnceValue(), ExpectedRunOnce());

  StopProxies(picked);
  const auto stopped = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return AskNimvara(main, kAskHint) == "Umbrix - " + other; }, std::chrono::seconds(40)));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - stopped).count();
  std::printf("fail-over done %.1f s after the proxy stopped (check every 10 s)\n", seconds);
  // One check interval, and the two verifications of a refused connection.
  EXPECT_LT(seconds, 10.0 + 5.0);
  const std::string log = Log();
  EXPECT_TRUE(Has(log, "] Check: " + dead + " failed\r\n")) << log;
  EXPECT_TRUE(Has(log, "] Failover: " + other + "\r\n")) << log;
  EXPECT_EQ(Count(log, "] Umbrix ON\r\n"), 2);
  EXPECT_EQ(QueryLanProxy().server, first ? "127.0.0.11:8080" : "127.0.0.10:8080");
  EXPECT_TRUE(Has(UserJs(profile), first ? "\"127.0.0.11\"" : "\"127.0.0.10\""));
  EXPECT_EQ(RunOnceValue(), ExpectedRunOnce());

  // Alt+F4 on the shown main window ends the program as Exit does.
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(kCmdOptions, 0), 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  PostMessageA(main, WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(KF_ALTDOWN) << 16 | 1);
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  ExpectAllDirect();
  EXPECT_EQ(RunOnceValue(), "(none)");
  EXPECT_TRUE(Has(Log(), "] Closing...\r\n"));
}

TEST_F(QuietWatch, WakeAddressChangeEndCancelledAndSettingsTakenBack) {
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  const auto checks = [] { return Count(Log(), "] Check: United Kingdom #3 OK\r\n"); };

  // A wake from sleep and an address change each bring a check within seconds.
  PostMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_TRUE(WaitFor([&] { return checks() == 1; }, std::chrono::seconds(10)));
  PostMessageA(main, kAddressChangedMessage, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return checks() == 2; }, std::chrono::seconds(10)));

  // An end of the Windows session that is cancelled: restored, then applied
  // again. With a Firefox window open, the restore's box would hold up the
  // log-off: none shows while Windows asks.
  HWND firefox = CreateWindowExA(0, "STATIC", "Start Page - Mozilla Firefox", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(firefox, nullptr);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &answer));
  EXPECT_EQ(answer, 1u);
  DestroyWindow(firefox);
  EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  EXPECT_EQ(RunOnceValue(), "(none)");
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, FALSE, 0, SMTO_BLOCK, 10000, &answer));
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.12:8080");
  EXPECT_EQ(RunOnceValue(), ExpectedRunOnce());
  EXPECT_TRUE(nimvara.Running());

  // Another program (this test) takes the setting back: the registry's own
  // notification brings the session back. When to stop fighting is the watch table's.
  SetConnectionProxy("", std::nullopt, "");
  EXPECT_TRUE(WaitFor([&] { return QueryLanProxy().server == "127.0.0.12:8080"; }, std::chrono::seconds(10)));
  EXPECT_EQ(Count(Log(), "] Proxy settings changed by another program\r\n"), 1);
}

TEST_F(QuietWatch, ASettingTakenBackUnderTheOpenSelectionDialogIsPutRightWithinTwoSecondsAndTheDialogStays) {
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(kCmdSelectIP, 0), 0);
  const HWND dialog = nimvara.WaitForWindow(kSelectIPWindowClass, std::chrono::seconds(20), true);
  ASSERT_NE(dialog, nullptr);
  Sleep(500);  // the dialog's own loop is the one running

  // Only the registry's notification tells the program: nothing is posted.
  ASSERT_TRUE(SetConnectionProxy("", std::nullopt, ""));
  const auto taken = std::chrono::steady_clock::now();
  EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  const auto sessionBack = [] {
    const LanProxy lan = QueryLanProxy();
    return (lan.flags & PROXY_TYPE_PROXY) != 0 && lan.server == "127.0.0.12:8080";
  };
  ASSERT_TRUE(WaitFor(sessionBack, std::chrono::seconds(10)));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - taken).count();
  std::printf("put right %.2f s after the take-back, the selection dialog open\n", seconds);
  EXPECT_LT(seconds, 2.0);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(Count(Log(), "] Proxy settings changed by another program\r\n"), 1);

  PostMessageA(GetDlgItem(dialog, kIdSelectIPCancel), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
}

TEST_F(QuietWatch, ASettingTakenBackUnderABoxOfASequenceIsPutRightAtOnce) {
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  // A Firefox window open: the session applied again after a cancelled end of
  // the Windows session asks for Firefox's restart, and waits on that box.
  HWND firefox = CreateWindowExA(0, "STATIC", "Start Page - Mozilla Firefox", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(firefox, nullptr);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &answer));
  PostMessageA(main, WM_ENDSESSION, FALSE, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = FindDialog("Nimvara")) != nullptr && IsWindowVisible(box); }));
  ASSERT_EQ(QueryLanProxy().server, "127.0.0.12:8080");

  ASSERT_TRUE(SetConnectionProxy("", std::nullopt, ""));
  const auto taken = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitFor([] { return QueryLanProxy().server == "127.0.0.12:8080"; }, std::chrono::seconds(10)));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - taken).count();
  std::printf("put right %.2f s after the take-back, a box of the apply open\n", seconds);
  EXPECT_LT(seconds, 2.0);
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(Count(Log(), "] Proxy settings changed by another program\r\n"), 1);

  DestroyWindow(firefox);
  ClickDialogButton(box, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
}

TEST_F(QuietWatch, TheRestoreSwitchUndoesAKilledSessionAndLeavesARunningOneAlone) {
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  ASSERT_EQ(RunOnceValue(), ExpectedRunOnce());

  // While the program runs, a restore leaves its session as it is.
  NimvaraProcess restore;
  ASSERT_TRUE(restore.Start(kRestoreSwitch));
  EXPECT_EQ(restore.WaitForExit(), 0);
  Sleep(500);
  EXPECT_NE(AskNimvara(main, kAskBalloon), "Nimvara is already running");  // not even asked to show
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.12:8080");
  EXPECT_EQ(RunOnceValue(), ExpectedRunOnce());

  nimvara.Kill();
  main = nullptr;
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.12:8080");
  // Firefox unticked after the kill: the killed session's user.js is undone all the same.
  ASSERT_TRUE(WritePrivateProfileStringA("Config", "BrowserFirefox", "0", (NimvaraDataDir() + "nimvara.ini").c_str()));
  const std::string logBefore = Log();
  // What Windows runs at the next logon.
  NimvaraProcess atLogon;
  ASSERT_TRUE(atLogon.Start(kRestoreSwitch));
  EXPECT_EQ(atLogon.WaitForExit(), 0);
  ExpectAllDirect();
  EXPECT_EQ(RunOnceValue(), "(none)");
  EXPECT_EQ(Log(), logBefore);  // no start-up, no log
}
