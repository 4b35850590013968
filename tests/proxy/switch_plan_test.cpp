#include "proxy/switch_plan.h"

#include <gtest/gtest.h>

#include "proxy/title_match.h"
#include "proxy/wininet_options.h"

TEST(SwitchPlan, KeyCombinations) {
  struct Case {
    bool ie, firefox;
    int mode;
    bool winInetFollows;
    FirefoxBackend backend;
  } cases[] = {
      {true, true, 0, true, FirefoxBackend::Addon},       {true, true, 1, true, FirefoxBackend::PrefsFile},
      {true, true, 2, true, FirefoxBackend::Addon},       {true, true, -1, true, FirefoxBackend::Addon},
      {false, true, 1, false, FirefoxBackend::PrefsFile}, {true, false, 1, true, FirefoxBackend::None},
      {false, false, 0, false, FirefoxBackend::None},
  };
  for (const Case& c : cases) {
    const BrowserSwitchPlan plan = PlanBrowserSwitch(c.ie, c.firefox, c.mode);
    EXPECT_EQ(plan.winInetFollowsCall, c.winInetFollows) << c.ie << c.firefox << c.mode;
    EXPECT_EQ(plan.firefox, c.backend) << c.ie << c.firefox << c.mode;
  }
}

TEST(SwitchPlan, FirefoxNotCoveredNamesWhatIsMissing) {
  EXPECT_EQ(FirefoxNotCoveredReason(FirefoxBackend::PrefsFile, false, true), "no Firefox profile was found");
  EXPECT_EQ(FirefoxNotCoveredReason(FirefoxBackend::PrefsFile, true, false), "");
  EXPECT_EQ(FirefoxNotCoveredReason(FirefoxBackend::Addon, true, false),
            "the Firefox add-on is not installed (Plugin Mode)");
  EXPECT_EQ(FirefoxNotCoveredReason(FirefoxBackend::Addon, false, true), "");
  EXPECT_EQ(FirefoxNotCoveredReason(FirefoxBackend::None, false, false), "");
}

TEST(WinInetOptions, ARestoreWritesTheLanAndEveryEntryOnce) {
  EXPECT_EQ(ConnectionsToRestore({}, {}), std::vector<std::string>{""});
  // Switched on the LAN, a VPN up since: both.
  EXPECT_EQ(ConnectionsToRestore({}, {"Office VPN"}), (std::vector<std::string>{"", "Office VPN"}));
  // Switched on a VPN that has gone down since: the LAN and the VPN's entry.
  EXPECT_EQ(ConnectionsToRestore({"Office VPN", "Modem"}, {"Modem", "Phone"}),
            (std::vector<std::string>{"", "Office VPN", "Modem", "Phone"}));
}

TEST(WinInetOptions, ApplyRestoreAndTheOptionalBypass) {
  ConnectionProxyOptions o = ProxyOptionsFor(ProxyAddress::Parse("10.0.0.7:1080"), "a.com,b.org,");
  EXPECT_EQ(o.flags, 2u);
  EXPECT_EQ(o.server, "10.0.0.7:1080");
  EXPECT_TRUE(o.withBypass);
  EXPECT_EQ(o.bypass, "a.com,b.org,");

  o = ProxyOptionsFor(ProxyAddress::Parse("10.0.0.7:1080"), "");
  EXPECT_FALSE(o.withBypass);  // two options: the stored bypass list stays

  o = ProxyOptionsFor(std::nullopt, "");
  EXPECT_EQ(o.flags, 1u);
  EXPECT_EQ(o.server, "");
  EXPECT_FALSE(o.withBypass);

  o = ProxyOptionsFor(ProxyAddress::Parse("h:1"), "a\r\nb,");
  EXPECT_EQ(o.bypass, "ab,");
  o = ProxyOptionsFor(ProxyAddress::Parse("h:1"), "\r\n");
  EXPECT_FALSE(o.withBypass);
}

TEST(WinInetOptions, TheLanAlwaysAndEveryActiveEntry) {
  EXPECT_EQ(ConnectionsToWrite({}), (std::vector<std::string>{""}));
  // The LAN too: WinINet falls back to it when the VPN drops.
  EXPECT_EQ(ConnectionsToWrite({"Modem", "VPN"}), (std::vector<std::string>{"", "Modem", "VPN"}));
}

TEST(TitleMatch, CaseDoesNotMatter) {
  EXPECT_TRUE(TitleContains("Start Page - Mozilla Firefox", "Mozilla Firefox"));
  EXPECT_TRUE(TitleContains("news - mozilla firefox", "Mozilla Firefox"));
  EXPECT_TRUE(TitleContains("MOZILLA FIREFOXES", "mozilla firefox"));
  EXPECT_FALSE(TitleContains("Mozilla Thunderbird", "Mozilla Firefox"));
  EXPECT_FALSE(TitleContains("Mozilla", "Mozilla Firefox"));
  EXPECT_FALSE(TitleContains("", "Mozilla Firefox"));
}
