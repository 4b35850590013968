#include "proxy/user_js_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Splits at CR LF and checks that every line, the last included, ends with it.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end with CR LF";
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Lines 2 to 10 of every file and block, as Firefox has always been given them.
const std::string kFixedLines =
    "user_pref(\"network.proxy.http\", \"\");\r\n"
    "user_pref(\"network.proxy.http_port\", 0);\r\n"
    "user_pref(\"network.proxy.ssl\", \"\");\r\n"
    "user_pref(\"network.proxy.ssl_port\", 0);\r\n"
    "user_pref(\"network.proxy.ftp\", \"\");\r\n"
    "user_pref(\"network.proxy.ftp_port\", 0);\r\n"
    "user_pref(\"network.proxy.gopher\", \"\");\r\n"
    "user_pref(\"network.proxy.gopher_port\", 0);\r\n"
    "user_pref(\"network.proxy.socks_version\", 5);\r\n";

// The whole files versions before the block wrote.
const std::string kEarlierApply =
    "user_pref(\"network.proxy.type\", 1);\r\n" + kFixedLines +
    "user_pref(\"network.proxy.socks\", \"10.0.0.7\");\r\n"
    "user_pref(\"network.proxy.socks_port\",1080);\r\n"
    "user_pref(\"network.proxy.no_proxies_on\", \"localhost,127.0.0.1,intranet,\");\r\n";

const std::string kEarlierRestore =
    "user_pref(\"network.proxy.type\", 0);\r\n" + kFixedLines +
    "user_pref(\"network.proxy.socks\", \"\");\r\n"
    "user_pref(\"network.proxy.socks_port\", 0);\r\n";

const std::string kBegin =
    "// Nimvara: the lines from here to the end line are rewritten by the program. Your own lines go above.\r\n";
const std::string kEnd = "// Nimvara: end\r\n";

const std::string kApplyBlock = kBegin + kEarlierApply +
                                "user_pref(\"network.proxy.socks_remote_dns\", true);\r\n"
                                "user_pref(\"media.peerconnection.ice.proxy_only_if_behind_proxy\", true);\r\n" +
                                kEnd;

// Direct access, and WebRTC as Firefox has it by default.
const std::string kRestoreLinesAfterType =
    kFixedLines +
    "user_pref(\"network.proxy.socks\", \"\");\r\n"
    "user_pref(\"network.proxy.socks_port\", 0);\r\n"
    "user_pref(\"network.proxy.no_proxies_on\", \"\");\r\n"
    "user_pref(\"network.proxy.socks_remote_dns\", false);\r\n";
const std::string kWebRtcDefaultLine = "user_pref(\"media.peerconnection.ice.proxy_only_if_behind_proxy\", false);\r\n";
const std::string kRestoreBlock =
    kBegin + "user_pref(\"network.proxy.type\", 0);\r\n" + kRestoreLinesAfterType + kWebRtcDefaultLine + kEnd;

// A hardening user.js of the user's own; it sets WebRTC's proxy pref itself.
const std::string kHardening =
    "// my hardening\r\n"
    "user_pref(\"media.peerconnection.ice.proxy_only_if_behind_proxy\", true);\r\n"
    "user_pref(\"toolkit.telemetry.enabled\", false);\r\n";
// The restore block leaves the user's own pref to the user's line.
const std::string kRestoreBlockAfterHardening =
    kBegin + "user_pref(\"network.proxy.type\", 0);\r\n" + kRestoreLinesAfterType + kEnd;

const std::optional<ProxyAddress> kProxy = ProxyAddress::Parse("10.0.0.7:1080");
const char* const kBypass = "localhost,127.0.0.1,intranet,";

// What the program writes over `current` for apply or restore.
std::string Switched(const std::optional<std::string>& current, const std::optional<std::string>& setAside,
                     bool apply, bool* takenBack = nullptr) {
  const UserJsOwnLines own = OwnUserJsLines(current, setAside);
  if (takenBack) *takenBack = own.setAsideTakenBack;
  return UserJsWith(own.lines, apply ? ApplyBlock(*kProxy, kBypass) : RestoreBlock(own.lines, std::nullopt));
}

// Every pref of the user's own lines is in force in `text` with the user's
// value, but for the ones the program's apply block sets while hiding.
void ExpectUsersPrefsInForce(const std::string& own, const std::string& text, bool hiding) {
  const std::vector<PrefLine> result = ParsePrefLines(text);
  const std::vector<PrefLine> block = ParsePrefLines(ApplyBlock(*kProxy, kBypass));
  for (const PrefLine& pref : ParsePrefLines(own)) {
    if (hiding && LastPrefValue(block, pref.name)) continue;
    EXPECT_EQ(LastPrefValue(result, pref.name), LastPrefValue(ParsePrefLines(own), pref.name)) << pref.name;
  }
}

}  // namespace

TEST(UserJsText, WhatApplyAndRestoreMakeOfEachFile) {
  const std::string mine = "// mine\r\nuser_pref(\"browser.startup.page\", 3);\r\n";
  const std::string noBreak = "user_pref(\"a.b\", 1);";  // the last line without a line break
  struct Case {
    const char* what;
    std::optional<std::string> current, setAside;
    std::string applied, restored;
    UserJsForm form;
    bool takenBack;
  } cases[] = {
      {"no user.js", std::nullopt, std::nullopt, kApplyBlock, kRestoreBlock, UserJsForm::UsersOwn, false},
      {"the user's own", kHardening, std::nullopt, kHardening + kApplyBlock, kHardening + kRestoreBlockAfterHardening,
       UserJsForm::UsersOwn, false},
      {"own, last line unended", noBreak, std::nullopt, noBreak + "\r\n" + kApplyBlock,
       noBreak + "\r\n" + kRestoreBlock, UserJsForm::UsersOwn, false},
      {"earlier apply file", kEarlierApply, std::nullopt, kApplyBlock, kRestoreBlock, UserJsForm::Apply, false},
      {"earlier restore file", kEarlierRestore, std::nullopt, kApplyBlock, kRestoreBlock, UserJsForm::Restore, false},
      {"own plus apply block", mine + kApplyBlock, std::nullopt, mine + kApplyBlock, mine + kRestoreBlock,
       UserJsForm::Apply, false},
      {"own plus restore block", mine + kRestoreBlock, std::nullopt, mine + kApplyBlock, mine + kRestoreBlock,
       UserJsForm::Restore, false},
      {"own lines after the block too", mine + kRestoreBlock + "// later\n", std::nullopt,
       mine + "// later\n" + kApplyBlock, mine + "// later\n" + kRestoreBlock, UserJsForm::Restore, false},
      {"LF line ends around the block", "// a\n" + kBegin.substr(0, kBegin.size() - 2) + "\nx\n" +
       kEnd.substr(0, kEnd.size() - 2) + "\n", std::nullopt, "// a\n" + kApplyBlock, "// a\n" + kRestoreBlock,
       UserJsForm::Restore, false},
      {"end line lost: the block runs to the end", mine + kBegin + "user_pref(\"network.proxy.type\", 1);\r\n",
       std::nullopt, mine + kApplyBlock, mine + kRestoreBlock, UserJsForm::Apply, false},
      {"set aside, earlier apply file", kEarlierApply, kHardening, kHardening + kApplyBlock,
       kHardening + kRestoreBlockAfterHardening, UserJsForm::Apply, true},
      {"set aside, earlier restore file", kEarlierRestore, kHardening, kHardening + kApplyBlock,
       kHardening + kRestoreBlockAfterHardening, UserJsForm::Restore, true},
      {"set aside, no user.js", std::nullopt, kHardening, kHardening + kApplyBlock,
       kHardening + kRestoreBlockAfterHardening, UserJsForm::UsersOwn, true},
      {"set aside, user's newer own file", mine, kHardening, mine + kApplyBlock, mine + kRestoreBlock,
       UserJsForm::UsersOwn, false},
      {"set aside, file in the new form", mine + kRestoreBlock, kHardening, mine + kApplyBlock, mine + kRestoreBlock,
       UserJsForm::Restore, false},
      {"earlier file with something added", kEarlierRestore + "// x\r\n", std::nullopt,
       kEarlierRestore + "// x\r\n" + kApplyBlock,
       kEarlierRestore + "// x\r\n" + kBegin + "user_pref(\"network.proxy.no_proxies_on\", \"\");\r\n" +
           "user_pref(\"network.proxy.socks_remote_dns\", false);\r\n" + kWebRtcDefaultLine + kEnd,
       UserJsForm::UsersOwn, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool takenBack = false;
    EXPECT_EQ(Switched(c.current, c.setAside, true, &takenBack), c.applied);
    EXPECT_EQ(takenBack, c.takenBack);
    EXPECT_EQ(Switched(c.current, c.setAside, false), c.restored);
    EXPECT_EQ(OwnUserJsLines(c.current, c.setAside).form, c.form);
    // Once written, the file keeps its form through every later switch.
    EXPECT_EQ(Switched(c.applied, c.setAside, false), c.restored);
    EXPECT_EQ(Switched(c.restored, c.setAside, true), c.applied);
    EXPECT_EQ(UserJsFormOf(c.applied), UserJsForm::Apply);
    EXPECT_EQ(UserJsFormOf(c.restored), UserJsForm::Restore);
    const std::string own = OwnUserJsLines(c.current, c.setAside).lines;
    ExpectUsersPrefsInForce(own, c.applied, true);
    ExpectUsersPrefsInForce(own, c.restored, false);
  }
}

TEST(UserJsText, TheBlocksLineByLine) {
  const std::vector<std::string> apply = Lines(ApplyBlock(*kProxy, kBypass));
  ASSERT_EQ(apply.size(), 17u);
  // The port's opening piece is followed directly by the digits.
  EXPECT_EQ(apply[12], "user_pref(\"network.proxy.socks_port\",1080);");
  EXPECT_EQ(apply[14], "user_pref(\"network.proxy.socks_remote_dns\", true);");
  EXPECT_EQ(apply[15], "user_pref(\"media.peerconnection.ice.proxy_only_if_behind_proxy\", true);");
  EXPECT_EQ(EarlierUserJsText(kProxy, kBypass), kEarlierApply);
  EXPECT_EQ(EarlierUserJsText(std::nullopt, "x,"), kEarlierRestore);
  // An empty bypass list still gives its line.
  EXPECT_EQ(Lines(ApplyBlock(*ProxyAddress::Parse("h:1"), ""))[13], "user_pref(\"network.proxy.no_proxies_on\", \"\");");

  // Values put back: what was recorded, Firefox's default type when that is not.
  const std::vector<PrefLine> recorded = {{"network.proxy.type", "1"},
                                          {"network.proxy.http", "\"corp.example\""},
                                          {"network.proxy.http_port", "3128"}};
  const std::vector<std::string> back = Lines(RestoreBlock("", recorded));
  ASSERT_EQ(back.size(), 17u);
  EXPECT_EQ(back[1], "user_pref(\"network.proxy.type\", 1);");
  EXPECT_EQ(back[2], "user_pref(\"network.proxy.http\", \"corp.example\");");
  EXPECT_EQ(back[3], "user_pref(\"network.proxy.http_port\", 3128);");
  EXPECT_EQ(back[4], "user_pref(\"network.proxy.ssl\", \"\");");
  EXPECT_EQ(Lines(RestoreBlock("", std::vector<PrefLine>{}))[1], "user_pref(\"network.proxy.type\", 5);");
  EXPECT_EQ(RestoreBlock("user_pref(\"network.proxy.type\", 4);", recorded).find("network.proxy.type"),
            std::string::npos);
}

TEST(UserJsText, BypassIsEscapedAsAJavaScriptString) {
  EXPECT_EQ(JsStringContent("plain.host,"), "plain.host,");
  EXPECT_EQ(JsStringContent("a\"b"), "a\\\"b");
  EXPECT_EQ(JsStringContent("a\\b"), "a\\\\b");
  EXPECT_EQ(JsStringContent("a\\\"b"), "a\\\\\\\"b");
  EXPECT_EQ(JsStringContent("x\r\ny"), "xy");

  const std::string hostile = "ok.com,\"); user_pref(\"network.proxy.type\", 0); //,\\\r\nuser_pref(\"x\", 1);";
  const std::vector<std::string> lines = Lines(ApplyBlock(*kProxy, hostile));
  ASSERT_EQ(lines.size(), 17u);  // no extra line reached the file
  const std::string& line = lines[13];
  const std::string opening = "user_pref(\"network.proxy.no_proxies_on\", \"";
  ASSERT_EQ(line.substr(0, opening.size()), opening);
  ASSERT_EQ(line.substr(line.size() - 3), "\");");
  // Inside the string every quote is escaped by an odd run of backslashes, so
  // the string ends only at the closing piece.
  const std::string inner = line.substr(opening.size(), line.size() - opening.size() - 3);
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != '"') continue;
    std::size_t slashes = 0;
    for (std::size_t j = i; j > 0 && inner[j - 1] == '\\'; --j) ++slashes;
    EXPECT_EQ(slashes % 2, 1u) << "unescaped quote at " << i << " in " << inner;
  }
  EXPECT_NE(inner.back(), '\\');
  EXPECT_EQ(ParsePrefLines(ApplyBlock(*kProxy, hostile)).size(), 15u);
}

TEST(PrefLines, WhatFirefoxWouldRead) {
  struct Case {
    const char* text;
    std::vector<std::pair<std::string, std::string>> prefs;
  } cases[] = {
      {"user_pref(\"a\", 1);\r\npref(\"b\",true);sticky_pref( \"c\" , \"x\\\"y\" ) ;",
       {{"a", "1"}, {"b", "true"}, {"c", "\"x\\\"y\""}}},
      {"// user_pref(\"a\", 1);\n# user_pref(\"b\", 1);\n/* user_pref(\"c\", 1);\nuser_pref(\"d\", 1); */", {}},
      {"user_pref(\"a\", -12);\nuser_pref(\"a\", 2);", {{"a", "-12"}, {"a", "2"}}},
      {"user_pref(\"a\" 1);\nuser_pref(\"b\", yes);\nuser_pref(\"c\", \"open\nuser_pref(\"d\", 4);", {{"d", "4"}}},
      {"user_pref(\"e\", 5)\n", {}},
      {"garbage here\nuser_pref(\"f\", 6); // note", {{"f", "6"}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const PrefLine& line : ParsePrefLines(c.text)) got.emplace_back(line.name, line.value);
    EXPECT_EQ(got, c.prefs) << c.text;
  }
  EXPECT_EQ(LastPrefValue(ParsePrefLines("user_pref(\"a\", 1);user_pref(\"a\", 2);"), "a"), "2");
}
