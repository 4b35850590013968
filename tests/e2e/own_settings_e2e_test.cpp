// The user's own proxy settings, kept through a session when the user asks
// for it: WinINet's LAN proxy (Wine keeps its flags and server) and the
// user's own user.js, back at Exit and after a kill with the restore switch.
#include "e2e/main_road_fixture.h"
#include "host/restore_at_logon.h"
#include "proxy/user_js_text.h"
#include "proxy/wininet_proxy.h"

namespace {

// A proxy of the user's own: the directory is reached through it.
constexpr const char* kUsersProxy = "127.0.0.14:3128";
constexpr const char* kUsersUserJs =
    "// my hardening\r\nuser_pref(\"network.proxy.type\", 4);\r\nuser_pref(\"toolkit.telemetry.enabled\", false);\r\n";

struct OwnSettingsKept : MainRoad {
  // The United Kingdom's one server; no timer check within the test's time.
  OwnSettingsKept() { settings = "AutoSelectCountry=1\r\nLastCountry=2\r\nCheckSeconds=3600\r\nRestoreOwnSettings=1\r\n"; }
  void UsersOwnSetup() {
    ASSERT_TRUE(SetConnectionProxy("", ProxyAddress::Parse(kUsersProxy), ""));
    ASSERT_TRUE(WriteFileBytes(profile + "user.js", kUsersUserJs));
  }
  void ExpectUsersOwnBack() {
    const LanProxy lan = QueryLanProxy();
    EXPECT_NE(lan.flags & PROXY_TYPE_PROXY, 0u);
    EXPECT_EQ(lan.server, kUsersProxy);
    const std::string userJs = UserJs(profile);
    EXPECT_EQ(userJs.substr(0, std::string(kUsersUserJs).size()), kUsersUserJs);
    EXPECT_EQ(UserJsFormOf(userJs), UserJsForm::Restore);
    // The user's proxy type is the one in force again.
    EXPECT_EQ(LastPrefValue(ParsePrefLines(userJs), "network.proxy.type"), "4") << userJs;
  }
};

}  // namespace

TEST_F(OwnSettingsKept, TheUsersLanProxyAndUserJsComeBackAtExitAndAfterAKill) {
  UsersOwnSetup();
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3")) << Log();
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.12:8080");
  EXPECT_TRUE(Has(UserJs(profile), "user_pref(\"network.proxy.socks\", \"127.0.0.12\");\r\n")) << UserJs(profile);
  EXPECT_TRUE(Has(Ini(), "[OwnSettings]")) << Ini();
  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'e'));
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  main = nullptr;
  ExpectUsersOwnBack();
  EXPECT_TRUE(Has(Log(), "] Own proxy settings restored\r\n")) << Log();
  EXPECT_FALSE(Has(Ini(), "[OwnSettings]")) << Ini();

  // Killed in a session: the restore switch Windows runs at the next logon puts them back too.
  NimvaraProcess again;
  ASSERT_TRUE(again.Start());
  main = again.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  again.Kill();
  main = nullptr;
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.12:8080");
  NimvaraProcess atLogon;
  ASSERT_TRUE(atLogon.Start(kRestoreSwitch));
  EXPECT_EQ(atLogon.WaitForExit(), 0);
  ExpectUsersOwnBack();
}
