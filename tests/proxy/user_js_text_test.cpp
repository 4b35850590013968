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

const char* const kApplyImage =
    "user_pref(\"network.proxy.type\", 1);\r\n"
    "user_pref(\"network.proxy.http\", \"\");\r\n"
    "user_pref(\"network.proxy.http_port\", 0);\r\n"
    "user_pref(\"network.proxy.ssl\", \"\");\r\n"
    "user_pref(\"network.proxy.ssl_port\", 0);\r\n"
    "user_pref(\"network.proxy.ftp\", \"\");\r\n"
    "user_pref(\"network.proxy.ftp_port\", 0);\r\n"
    "user_pref(\"network.proxy.gopher\", \"\");\r\n"
    "user_pref(\"network.proxy.gopher_port\", 0);\r\n"
    "user_pref(\"network.proxy.socks_version\", 5);\r\n"
    "user_pref(\"network.proxy.socks\", \"10.0.0.7\");\r\n"
    "user_pref(\"network.proxy.socks_port\",1080);\r\n"
    "user_pref(\"network.proxy.no_proxies_on\", \"localhost,127.0.0.1,intranet,\");\r\n";

const char* const kRestoreImage =
    "user_pref(\"network.proxy.type\", 0);\r\n"
    "user_pref(\"network.proxy.http\", \"\");\r\n"
    "user_pref(\"network.proxy.http_port\", 0);\r\n"
    "user_pref(\"network.proxy.ssl\", \"\");\r\n"
    "user_pref(\"network.proxy.ssl_port\", 0);\r\n"
    "user_pref(\"network.proxy.ftp\", \"\");\r\n"
    "user_pref(\"network.proxy.ftp_port\", 0);\r\n"
    "user_pref(\"network.proxy.gopher\", \"\");\r\n"
    "user_pref(\"network.proxy.gopher_port\", 0);\r\n"
    "user_pref(\"network.proxy.socks_version\", 5);\r\n"
    "user_pref(\"network.proxy.socks\", \"\");\r\n"
    "user_pref(\"network.proxy.socks_port\", 0);\r\n";

}  // namespace

TEST(UserJsText, ApplyFileByteForByte) {
  const std::string text = UserJsText(ProxyAddress::Parse("10.0.0.7:1080"), "localhost,127.0.0.1,intranet,");
  EXPECT_EQ(text, kApplyImage);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 13u);
  // The port's opening piece is followed directly by the digits.
  EXPECT_EQ(lines[11].substr(0, 37), "user_pref(\"network.proxy.socks_port\",");
  EXPECT_EQ(lines[11].substr(37), "1080);");
  EXPECT_EQ(lines[10].substr(0, 34), "user_pref(\"network.proxy.socks\", \"");
  EXPECT_EQ(lines[12].substr(0, 42), "user_pref(\"network.proxy.no_proxies_on\", \"");
}

TEST(UserJsText, RestoreFileByteForByte) {
  const std::string text = UserJsText(std::nullopt, "");
  EXPECT_EQ(text, kRestoreImage);
  EXPECT_EQ(Lines(text).size(), 12u);
  // Whatever bypass list is passed, the restore file names none.
  EXPECT_EQ(UserJsText(std::nullopt, "x,"), kRestoreImage);
}

TEST(UserJsText, EmptyBypassStillGivesTheBypassLine) {
  const std::vector<std::string> lines = Lines(UserJsText(ProxyAddress::Parse("h:1"), ""));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[12], "user_pref(\"network.proxy.no_proxies_on\", \"\");");
}

TEST(UserJsText, BypassIsEscapedAsAJavaScriptString) {
  EXPECT_EQ(JsStringContent("plain.host,"), "plain.host,");
  EXPECT_EQ(JsStringContent("a\"b"), "a\\\"b");
  EXPECT_EQ(JsStringContent("a\\b"), "a\\\\b");
  EXPECT_EQ(JsStringContent("a\\\"b"), "a\\\\\\\"b");
  EXPECT_EQ(JsStringContent("x\r\ny"), "xy");

  const std::string hostile = "ok.com,\"); user_pref(\"network.proxy.type\", 0); //,\\\r\nuser_pref(\"x\", 1);";
  const std::vector<std::string> lines = Lines(UserJsText(ProxyAddress::Parse("10.0.0.7:1080"), hostile));
  ASSERT_EQ(lines.size(), 13u);  // no extra line reached the file
  const std::string& line = lines[12];
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
}

TEST(UserJsForm, TellsTheProgramsFilesFromTheUsersOwn) {
  const std::string apply = UserJsText(ProxyAddress::Parse("10.0.0.7:1080"), "a.com,\"x\",");
  const std::string restore = UserJsText(std::nullopt, "");
  struct Case {
    std::string text;
    UserJsForm form;
  };
  const Case cases[] = {
      {apply, UserJsForm::Apply},
      {UserJsText(ProxyAddress::Parse("h:1"), ""), UserJsForm::Apply},
      {kApplyImage, UserJsForm::Apply},
      {restore, UserJsForm::Restore},
      {"", UserJsForm::UsersOwn},
      {"// mine\r\n", UserJsForm::UsersOwn},
      {"user_pref(\"network.proxy.type\", 1);\r\n", UserJsForm::UsersOwn},  // only the first line
      {apply + "user_pref(\"x\", 1);\r\n", UserJsForm::UsersOwn},            // something added
      {restore + "\r\n", UserJsForm::UsersOwn},
      {apply.substr(0, apply.size() - 2), UserJsForm::UsersOwn},             // last line break gone
      {"// mine\r\n" + restore, UserJsForm::UsersOwn},
  };
  for (const Case& c : cases) EXPECT_EQ(c.form, UserJsFormOf(c.text)) << c.text;
}
