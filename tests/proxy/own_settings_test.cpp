#include "proxy/own_settings.h"

#include <gtest/gtest.h>

#include <map>

#include "proxy/user_js_text.h"

namespace {

using Prefs = std::vector<std::pair<std::string, std::string>>;

Prefs AsPairs(const std::vector<PrefLine>& lines) {
  Prefs pairs;
  for (const PrefLine& line : lines) pairs.emplace_back(line.name, line.value);
  return pairs;
}

std::optional<OwnSettings> ThroughIni(const OwnSettings& own) {
  std::map<std::string, std::string> ini;
  for (const auto& [key, value] : OwnSettingsIniEntries(own)) {
    // What the private-profile functions keep of a value: no outer blanks or quotes, one line.
    EXPECT_EQ(value.find_first_of("\r\n\""), std::string::npos) << key << "=" << value;
    EXPECT_TRUE(value.empty() || (value.front() != ' ' && value.back() != ' ')) << key << "=" << value;
    ini[key] = value;
  }
  return OwnSettingsFromIni([&ini](const std::string& key) -> std::optional<std::string> {
    const auto it = ini.find(key);
    return it == ini.end() ? std::nullopt : std::optional<std::string>(it->second);
  });
}

}  // namespace

TEST(OwnSettings, WhatIsRecordedAndWhatARestorePutsBack) {
  const ConnectionSettings corporate{"", 0x2, "proxy.corp:3128", "*.corp;<local>", ""};
  const ConnectionSettings pac{"", 0x1 | 0x4 | 0x8, "", "", "http://wpad.corp/proxy.pac"};
  const std::string afterRestore = RestoreBlock("", std::nullopt);  // what a restore left in user.js
  const ConnectionSettings vpn{"Work VPN \"2\" %", 0x2, "http=10.1.1.1:80;https=10.1.1.1:443", " a, b ", ""};
  struct Case {
    const char* what;
    std::vector<ConnectionSettings> connections;
    std::string userJs, prefsJs;  // user.js (the user's own lines here) and Firefox's prefs.js
    Prefs firefox;                // the values recorded
    std::string typeAfter;        // the proxy type in force after the restore puts them back
    std::vector<std::string> hosts;
    bool stale;
  } cases[] = {
      {"nothing set anywhere", {{}}, "", "", {{"network.proxy.type", "5"}}, "5", {"10.0.0.7"}, false},
      {"a corporate proxy, Firefox's own manual proxy",
       {corporate},
       "",
       "user_pref(\"network.proxy.type\", 1);\nuser_pref(\"network.proxy.http\", \"proxy.corp\");\n"
       "user_pref(\"network.proxy.http_port\", 3128);\nuser_pref(\"browser.x\", 1);\n",
       {{"network.proxy.type", "1"}, {"network.proxy.http", "\"proxy.corp\""}, {"network.proxy.http_port", "3128"}},
       "1",
       {"10.0.0.7"},
       false},
      {"auto-config and auto-detect, the user's own user.js first",
       {pac, vpn},
       "user_pref(\"network.proxy.type\", 4);\n",
       "user_pref(\"network.proxy.type\", 1);\nuser_pref(\"network.proxy.no_proxies_on\", \"a b\");\n",
       {{"network.proxy.type", "4"}, {"network.proxy.no_proxies_on", "\"a b\""}},
       "4",
       {"10.0.0.7"},
       false},
      {"WinINet still on a proxy of the program's", {{"", 0x2, "10.0.0.7:8080", "", ""}}, "", "",
       {{"network.proxy.type", "5"}}, "5", {"10.0.0.9", "10.0.0.7"}, true},
      {"a per-protocol server naming one", {vpn}, "", "", {{"network.proxy.type", "5"}}, "5", {"10.1.1.1"}, true},
      {"Firefox still on the program's SOCKS proxy",
       {corporate},
       "",
       "user_pref(\"network.proxy.type\", 1);\nuser_pref(\"network.proxy.socks\", \"10.0.0.7\");\n",
       {{"network.proxy.type", "1"}, {"network.proxy.socks", "\"10.0.0.7\""}},
       "1",
       {"10.0.0.7"},
       true},
      {"prefs.js still from the last session: the restore block since is in force",
       {corporate},
       afterRestore,
       "user_pref(\"network.proxy.type\", 1);\nuser_pref(\"network.proxy.socks\", \"10.0.0.7\");\n",
       AsPairs(ParsePrefLines(afterRestore)),
       "0",
       {"10.0.0.7"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OwnSettings own;
    own.connections = c.connections;
    own.firefox = FirefoxPrefsInForce(c.userJs, c.prefsJs);
    EXPECT_EQ(AsPairs(*own.firefox), c.firefox);
    EXPECT_EQ(NamesProxyHost(own, c.hosts), c.stale);
    own.programsOwn = c.stale;
    EXPECT_EQ(ThroughIni(own), own);

    // WinINet: every value goes back, the empty ones too.
    for (const ConnectionSettings& connection : c.connections)
      EXPECT_EQ(PutBackOptions(connection), (std::vector<PerConnOption>{{kPerConnFlags, connection.flags, ""},
                                                                       {kPerConnProxyServer, 0, connection.server},
                                                                       {kPerConnProxyBypass, 0, connection.bypass},
                                                                       {kPerConnAutoConfigUrl, 0, connection.autoConfigUrl}}));
    // Firefox: the user's lines, then a block that puts the recorded values back.
    const std::string userJs = UserJsWith(c.userJs, RestoreBlock(c.userJs, own.firefox));
    const std::vector<PrefLine> inForce = ParsePrefLines(userJs);
    EXPECT_EQ(LastPrefValue(inForce, "network.proxy.type"), c.typeAfter);
    for (const auto& [name, value] : c.firefox) EXPECT_EQ(LastPrefValue(inForce, name), value) << name;
  }
}

TEST(OwnSettings, NoRecordAndADamagedOne) {
  EXPECT_EQ(OwnSettingsFromIni([](const std::string&) { return std::nullopt; }), std::nullopt);
  const std::map<std::string, std::string> damaged = {
      {"Connections", "9999"}, {"Connection1Flags", "junk"}, {"Connection2Flags", "-1"},
      {"FirefoxPrefs", "3"},   {"FirefoxPref1", "network.proxy.type=1);user_pref(%22x%22,1"},
      {"FirefoxPref2", "network.proxy.http=%22h%22"}};
  const std::optional<OwnSettings> own = OwnSettingsFromIni([&](const std::string& key) -> std::optional<std::string> {
    const auto it = damaged.find(key);
    return it == damaged.end() ? std::nullopt : std::optional<std::string>(it->second);
  });
  ASSERT_TRUE(own);
  ASSERT_EQ(own->connections.size(), 64u);  // no more than RAS could ever have named
  EXPECT_EQ(own->connections[0].flags, kFlagsDirect);
  EXPECT_EQ(own->connections[1].flags, 0xFu);
  // Only a value Firefox would take comes back: nothing can be smuggled into user.js.
  ASSERT_TRUE(own->firefox);
  EXPECT_EQ(AsPairs(*own->firefox), (Prefs{{"network.proxy.http", "\"h\""}}));
  EXPECT_FALSE(own->programsOwn);
}
