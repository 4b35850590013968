#include "proxy/firefox_prefs.h"

#include <gtest/gtest.h>

#include "base/program.h"
#include "host/unique_handle.h"
#include "proxy/firefox_profile.h"
#include "proxy/user_js_text.h"
#include "proxy/window_by_title.h"
#include "proxy_win_support.h"
#include "wine/test_support.h"

namespace {

const char* const kRestartText = "Please Restart all Firefox windows in order to make Nimvara take effect.";
const char* const kFailedText = "Can not change Firefox proxy settings!";
const char* const kSocksHostLine = "user_pref(\"network.proxy.socks\", \"127.0.0.23\");";
const char* const kSocksPortLine = "user_pref(\"network.proxy.socks_port\",1080);";
const std::optional<ProxyAddress> kProxy = ProxyAddress::Parse("127.0.0.23:1080");

struct FirefoxPrefs : ::testing::Test {
  FirefoxHome home;
  std::vector<std::string> reports;
  void SetUp() override { SetReportSink([this](const std::string& m) { reports.push_back(m); }); }
  void TearDown() override { SetReportSink(nullptr); }
};

// A top-level window whose title a Firefox window would have.
UniqueWindow MakeWindow(const char* title) {
  return UniqueWindow(CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
}

}  // namespace

TEST_F(FirefoxPrefs, ApplyAndRestoreWriteTheProgramsBlock) {
  const std::string profile = home.AddProfile("x1y2z3.default");
  ASSERT_EQ(FindFirefoxProfile(), profile);
  DialogAnswerer answerer("Nimvara", IDOK);
  SetFirefoxPrefs(kProxy, "localhost,127.0.0.1,");
  std::vector<std::string> lines = CrLfLines(ReadFileBytes(profile + "user.js"));
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[1], "user_pref(\"network.proxy.type\", 1);");
  EXPECT_EQ(lines[11], kSocksHostLine);
  EXPECT_EQ(lines[12], kSocksPortLine);
  EXPECT_EQ(lines[13], "user_pref(\"network.proxy.no_proxies_on\", \"localhost,127.0.0.1,\");");

  SetFirefoxPrefs(std::nullopt, "");
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), RestoreBlock("", std::nullopt));
  EXPECT_FALSE(FileExists(profile + "user.js.first"));
  EXPECT_FALSE(FileExists(profile + "user.js.nimvara-new"));
  EXPECT_EQ(answerer.Count(), 0);  // no Firefox window, no message
}

TEST_F(FirefoxPrefs, TheUsersOwnLinesStayFirstAndInForce) {
  const std::string profile = home.AddProfile("abc.default");
  const std::string own = "// the user's own\r\nuser_pref(\"media.peerconnection.enabled\", false);\r\n";
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", own));
  SetFirefoxPrefs(kProxy, "");
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), own + ApplyBlock(*kProxy, ""));
  SetFirefoxPrefs(std::nullopt, "");
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), own + RestoreBlock(own, std::nullopt));
  // The user edits their lines between sessions: the edit is what stays.
  const std::string changed = own + "user_pref(\"privacy.resistFingerprinting\", true);\r\n";
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", changed + RestoreBlock(own, std::nullopt)));
  SetFirefoxPrefs(kProxy, "");
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), changed + ApplyBlock(*kProxy, ""));
  EXPECT_FALSE(FileExists(profile + "user.js.first"));
}

TEST_F(FirefoxPrefs, AFileThatCannotBeReadIsNotWrittenOver) {
  const std::string profile = home.AddProfile("abc.default");
  const std::string userJs = profile + "user.js";
  ASSERT_TRUE(WriteFileBytes(userJs, "// mine\r\n"));
  {
    UniqueFile holder(CreateFileA(userJs.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    DialogAnswerer answerer("Nimvara", IDOK);
    SetFirefoxPrefs(kProxy, "");
    EXPECT_EQ(answerer.Count(), 1);
    EXPECT_EQ(answerer.LastText(), kFailedText);
  }
  EXPECT_EQ(ReadFileBytes(userJs), "// mine\r\n");
}

TEST_F(FirefoxPrefs, ProfilesIniNamesTheProfileInUse) {
  const std::string old = home.AddProfile("old0.default");
  const std::string current = home.AddProfile("k3x9.default-release");
  home.WriteProfilesIni(
      "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/old0.default\r\nDefault=1\r\n\r\n"
      "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/k3x9.default-release\r\n\r\n"
      "[Install4F96D1932A9F858E]\r\nDefault=Profiles/k3x9.default-release\r\nLocked=1\r\n");
  EXPECT_EQ(FindFirefoxProfile(), current);
  SetFirefoxPrefs(kProxy, "");
  EXPECT_EQ(UserJsFormOf(ReadFileBytes(current + "user.js")), UserJsForm::Apply);
  EXPECT_FALSE(FileExists(old + "user.js"));
}

TEST_F(FirefoxPrefs, ANamedProfileThatIsGoneFallsBackToTheFirstDefault) {
  const std::string fallback = home.AddProfile("only.default");
  home.AddProfile("other.default-release");
  home.WriteProfilesIni("[InstallX]\r\nDefault=Profiles/deleted.default-release\r\n");
  EXPECT_EQ(FindFirefoxProfile(), fallback);
}

TEST_F(FirefoxPrefs, OfTwoDefaultProfilesOnlyTheFirstFoundChanges) {
  const std::string a = home.AddProfile("aaaa.default");
  const std::string b = home.AddProfile("bbbb.default");
  const std::string found = FindFirefoxProfile();
  ASSERT_TRUE(found == a || found == b) << found;
  SetFirefoxPrefs(kProxy, "");
  EXPECT_TRUE(FileExists(found + "user.js"));
  EXPECT_FALSE(FileExists((found == a ? b : a) + "user.js"));
}

TEST_F(FirefoxPrefs, HiddenEntriesAndOtherNamesAreNotProfiles) {
  const std::string hidden = home.AddProfile("hidden.default");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  home.AddProfile("abc.default-release");
  EXPECT_EQ(FindFirefoxProfile(), "");
  SetFirefoxPrefs(kProxy, "");
  EXPECT_FALSE(FileExists(hidden + "user.js"));
}

TEST_F(FirefoxPrefs, WithoutAProfileNothingChanges) {
  RemoveTree(home.Dir());
  DialogAnswerer answerer("Nimvara", IDOK);
  SetFirefoxPrefs(kProxy, "");
  SetFirefoxPrefs(std::nullopt, "");
  ResetFirefoxPrefs();
  EXPECT_FALSE(FileExists(home.Dir()));
  EXPECT_EQ(answerer.Count(), 0);
}

TEST_F(FirefoxPrefs, EveryWriteWithAFirefoxWindowOpenAsksForARestart) {
  home.AddProfile("abc.default");
  UniqueWindow firefox = MakeWindow("Start Page - mozilla firefox");
  ASSERT_TRUE(firefox);
  EXPECT_EQ(FindWindowByTitle("Mozilla Firefox"), firefox.get());
  DialogAnswerer answerer("Nimvara", IDOK);
  SetFirefoxPrefs(kProxy, "");
  EXPECT_EQ(answerer.Count(), 1);
  EXPECT_EQ(answerer.LastText(), kRestartText);
  SetFirefoxPrefs(std::nullopt, "");
  EXPECT_EQ(answerer.Count(), 2);
  firefox.reset();
  EXPECT_EQ(FindWindowByTitle("Mozilla Firefox"), nullptr);
  SetFirefoxPrefs(std::nullopt, "");
  EXPECT_EQ(answerer.Count(), 2);
}

TEST_F(FirefoxPrefs, AFileThatWillNotGoIsLeftAsItIsWithOneMessage) {
  const std::string profile = home.AddProfile("abc.default");
  const std::string userJs = profile + "user.js";
  const std::string restored = EarlierUserJsText(std::nullopt, "");
  for (const std::string& locked : {std::string("// locked\r\n"), restored}) {
    ASSERT_TRUE(WriteFileBytes(userJs, locked));
    // Open elsewhere without delete sharing, as an editor or a scanner may hold it.
    UniqueFile holder(CreateFileA(userJs.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    reports.clear();
    {
      DialogAnswerer answerer("Nimvara", IDOK);
      SetFirefoxPrefs(kProxy, "");
      if (locked == restored) ResetFirefoxPrefs();  // the program's own file will not go either
      EXPECT_EQ(answerer.Count(), locked == restored ? 2 : 1);
      EXPECT_EQ(answerer.LastText(), kFailedText);
    }
    EXPECT_EQ(ReadFileBytes(userJs), locked);
    EXPECT_FALSE(FileExists(userJs + ".nimvara-new"));
    ASSERT_FALSE(reports.empty());
    EXPECT_NE(reports[0].find(kFailedText), std::string::npos);
    holder.reset();
  }
  EXPECT_FALSE(FileExists(userJs + ".first"));  // no copy: the user's lines stay in user.js
  ResetFirefoxPrefs();
  EXPECT_FALSE(FileExists(userJs));
}

TEST_F(FirefoxPrefs, ResetLeavesFirefoxDirectAndTheUsersLines) {
  const std::string profile = home.AddProfile("abc.default");
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", "// mine\r\n"));
  SetFirefoxPrefs(kProxy, "");
  // Firefox took the proxy into prefs.js: the direct block comes first.
  ResetFirefoxPrefs();
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), "// mine\r\n" + RestoreBlock("// mine\r\n", std::nullopt));
  ResetFirefoxPrefs();
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), "// mine\r\n");
  ResetFirefoxPrefs();  // nothing of the program's left: silent, unchanged
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), "// mine\r\n");
  EXPECT_TRUE(reports.empty());
}

TEST_F(FirefoxPrefs, LinesAnEarlierVersionSetAsideComeBackOnce) {
  const std::string profile = home.AddProfile("abc.default");
  const std::string userJs = profile + "user.js";
  ASSERT_TRUE(WriteFileBytes(userJs + ".first", "// first\r\n"));
  ASSERT_TRUE(WriteFileBytes(userJs, EarlierUserJsText(kProxy, "")));
  ASSERT_TRUE(WriteFileBytes(userJs + ".3", "// the user's, not a copy\r\n"));

  SetFirefoxPrefs(kProxy, "");
  EXPECT_EQ(ReadFileBytes(userJs), "// first\r\n" + ApplyBlock(*kProxy, ""));
  EXPECT_FALSE(FileExists(userJs + ".first"));
  SetFirefoxPrefs(std::nullopt, "");
  EXPECT_EQ(ReadFileBytes(userJs), "// first\r\n" + RestoreBlock("// first\r\n", std::nullopt));

  // A user.js of the user's own is newer than what was set aside: it stays, and so does the copy.
  ASSERT_TRUE(WriteFileBytes(userJs + ".first", "// first\r\n"));
  ASSERT_TRUE(WriteFileBytes(userJs, "// and again\r\n"));
  ResetFirefoxPrefs();
  EXPECT_EQ(ReadFileBytes(userJs), "// and again\r\n");
  SetFirefoxPrefs(kProxy, "");
  EXPECT_EQ(ReadFileBytes(userJs), "// and again\r\n" + ApplyBlock(*kProxy, ""));
  EXPECT_EQ(ReadFileBytes(userJs + ".first"), "// first\r\n");
  EXPECT_EQ(ReadFileBytes(userJs + ".3"), "// the user's, not a copy\r\n");
  EXPECT_TRUE(reports.empty());
}
