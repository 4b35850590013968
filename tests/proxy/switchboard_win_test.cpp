#include "proxy/switchboard.h"

#include <gtest/gtest.h>

#include "base/program.h"
#include "base/settings.h"
#include "proxy_win_support.h"
#include "wine/test_support.h"

namespace {

const char* const kExtensionsKey = "Software\\Mozilla\\Firefox\\Extensions";
const char* const kAddonId = "{5a3e91c2-6d04-11dd-b7a1-3c9f0e2d4b68}";
const char* const kProxy = "127.0.0.25:1080";
const char* const kBypass = "localhost,127.0.0.1,";

// Settings in a scratch nimvara.ini, WinINet watched (not changed), a Firefox
// profile in AppData and the add-on recorded in a scratch folder.
struct Switchboard : ::testing::Test {
  ScratchDir dataDir;
  ScratchDir addonDir;
  IniSettings settings{dataDir.Path() + "nimvara.ini"};
  FirefoxHome home;
  std::string profile = home.AddProfile("sw1tch.default");
  ScratchRegKey mozilla{"Software\\Mozilla"};
  OptionRecorder recorder{/*forward=*/false};
  std::vector<std::string> reports;

  void SetUp() override {
    SetSettings(&settings);
    SetReportSink([this](const std::string& m) { reports.push_back(m); });
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kExtensionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    UniqueHKey owner(key);
    const std::string folder = addonDir.Path();
    RegSetValueExA(key, kAddonId, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
  }
  void TearDown() override {
    SetSettings(nullptr);
    SetReportSink(nullptr);
  }
  void Keys(const char* ie, const char* firefox, const char* mode) {
    if (ie) settings.WriteString("Config", "BrowserIE", ie);
    if (firefox) settings.WriteString("Config", "BrowserFirefox", firefox);
    if (mode) settings.WriteString("Config", "FirefoxControlMode", mode);
  }
  std::string UserJs() const { return ReadFileBytes(profile + "user.js"); }
  std::string Handoff() const { return ReadFileBytes(addonDir.Path() + "umbrix.tmp"); }
  SetOptionCall LastStore() const {
    const std::vector<SetOptionCall> stores = recorder.Stores();
    return stores.empty() ? SetOptionCall{} : stores.back();
  }
};

}  // namespace

TEST_F(Switchboard, DefaultsSwitchWinInetAndHandFirefoxToTheAddon) {
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  ASSERT_EQ(recorder.Stores().size(), 1u);
  EXPECT_EQ(LastStore().flags, static_cast<DWORD>(PROXY_TYPE_PROXY));
  EXPECT_EQ(LastStore().server, kProxy);
  EXPECT_EQ(LastStore().bypass, kBypass);
  EXPECT_EQ(CrLfLines(Handoff()), (std::vector<std::string>{"0", "-1", "Germany #3", kBypass, "127.0.0.25", "1080"}));
  EXPECT_FALSE(FileExists(profile + "user.js"));
}

TEST_F(Switchboard, InternetExplorerOffStillSetsDirect) {
  Keys("0", "1", "1");
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  ASSERT_EQ(recorder.Stores().size(), 1u);
  EXPECT_EQ(LastStore().flags, static_cast<DWORD>(PROXY_TYPE_DIRECT));
  EXPECT_EQ(LastStore().server, "");
  EXPECT_EQ(LastStore().count, 2u);
  EXPECT_EQ(CrLfLines(UserJs()).size(), 13u);  // Firefox is still switched
}

TEST_F(Switchboard, FirefoxOffTouchesNoFile) {
  Keys("1", "0", "1");
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  SetBrowserProxy(false, "", "", "");
  Keys(nullptr, nullptr, "0");
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  EXPECT_FALSE(FileExists(profile + "user.js"));
  EXPECT_FALSE(FileExists(addonDir.Path() + "umbrix.tmp"));
  EXPECT_EQ(recorder.Stores().size(), 3u);
}

TEST_F(Switchboard, ModeOneWritesUserJsOnly) {
  Keys("1", "1", "1");
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  const std::vector<std::string> lines = CrLfLines(UserJs());
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[10], "user_pref(\"network.proxy.socks\", \"127.0.0.25\");");
  EXPECT_FALSE(FileExists(addonDir.Path() + "umbrix.tmp"));
}

TEST_F(Switchboard, AnyModeButOneMeansTheAddon) {
  for (const char* mode : {"2", "0", "-1", "junk"}) {
    DeleteFileA((addonDir.Path() + "umbrix.tmp").c_str());
    Keys("1", "1", mode);
    SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
    EXPECT_EQ(CrLfLines(Handoff()).size(), 6u) << mode;
  }
  EXPECT_FALSE(FileExists(profile + "user.js"));
}

TEST_F(Switchboard, ARestoreUndoesWhatWasAppliedAndWhatIsSelectedNow) {
  Keys("1", "1", "1");
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  EXPECT_EQ(settings.ReadString("Applied", "FirefoxPrefs", ""), "1");  // for a later process too
  Keys("1", "0", "1");  // Firefox turned off between apply and restore
  SetBrowserProxy(false, "", "", "");
  EXPECT_EQ(CrLfLines(UserJs()).size(), 12u);  // put back all the same
  EXPECT_EQ(LastStore().flags, static_cast<DWORD>(PROXY_TYPE_DIRECT));
  EXPECT_EQ(settings.ReadString("Applied", "FirefoxPrefs", "(none)"), "(none)");
  // The keys are still read at every call: a restore writes what they select now.
  Keys("1", "1", "2");
  SetBrowserProxy(false, "", "", "");
  EXPECT_EQ(Handoff(), "0\r\n0\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(Switchboard, RestoreWithoutApplyWritesEveryOffState) {
  Keys("1", "1", "1");
  SetBrowserProxy(false, "", "", "");
  EXPECT_EQ(CrLfLines(UserJs()).size(), 12u);
  EXPECT_EQ(LastStore().flags, static_cast<DWORD>(PROXY_TYPE_DIRECT));
  EXPECT_TRUE(reports.empty());
}

TEST_F(Switchboard, AnInvalidProxyAppliesNothingAndTellsTheUser) {
  Keys("1", "1", "1");
  DialogAnswerer answerer("Nimvara", IDOK);
  for (const char* hostile :
       {"127.0.0.25\r\nuser_pref(\"network.proxy.type\", 0);:1080", "bad host:1080", "h\";x:1080", "h:0",
        "h:1080;evil", "h=1:80", "127.0.0.25"}) {
    SetBrowserProxy(true, hostile, "Germany #3", kBypass);
  }
  EXPECT_EQ(answerer.Count(), 7);
  EXPECT_EQ(answerer.LastText(), "Invalid proxy server address. The browser proxy settings were not changed.");
  EXPECT_TRUE(recorder.Calls().empty());
  EXPECT_FALSE(FileExists(profile + "user.js"));
  ASSERT_EQ(reports.size(), 7u);
  for (const std::string& line : reports) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_EQ(line.rfind("Invalid proxy server address: ", 0), 0u) << line;
  }
}

TEST_F(Switchboard, WithoutSettingsTheDefaultsHold) {
  SetSettings(nullptr);
  SetBrowserProxy(true, kProxy, "Germany #3", kBypass);
  EXPECT_EQ(LastStore().server, kProxy);
  EXPECT_EQ(CrLfLines(Handoff()).size(), 6u);
}
