#include "app/session_text.h"

#include <gtest/gtest.h>

TEST(BypassText, EveryLineThenTheFourFixedEntriesEachWithAComma) {
  const struct {
    std::vector<std::string> lines;
    std::string text;
  } cases[] = {
      {{"a.example", "b.example"}, "a.example,b.example,one.test,www.one.test,two.test,www.two.test,"},
      {{}, "one.test,www.one.test,two.test,www.two.test,"},
      {{"", "c.example"}, ",c.example,one.test,www.one.test,two.test,www.two.test,"},
  };
  for (const auto& c : cases) EXPECT_EQ(BypassText(c.lines, "one.test", "two.test"), c.text);
}

TEST(Verification, OnlyExactlyOkVerifiesAndAccessDeniedAnywhereRefuses) {
  const struct {
    const char* body;
    bool verified;
    bool denied;
  } cases[] = {
      {"OK", true, false},
      {"OK\r\n", false, false},
      {"OK\n", false, false},
      {" OK", false, false},
      {"ok", false, false},
      {"", false, false},
      {"Access Denied", false, true},
      {"<html><body><h1>Access Denied</h1></body></html>", false, true},
      {"access denied", false, false},
      {"Proxy Authentication Required", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsVerifiedBody(c.body), c.verified) << '"' << c.body << '"';
    EXPECT_EQ(IsAccessDenied(c.body), c.denied) << '"' << c.body << '"';
  }
}

TEST(Verification, AsksTheIpCheckSitesOkPage) {
  EXPECT_EQ(VerifyUrl("127.0.0.4"), "http://127.0.0.4/ok.htm");
  EXPECT_EQ(ProxyText("127.0.0.10", "8080"), "127.0.0.10:8080");
}
