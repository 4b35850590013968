#include "proxy/proxy_address.h"

#include <gtest/gtest.h>

TEST(SplitProxy, SplitsAtTheFirstColon) {
  ProxyAddress a = SplitProxy("10.1.2.3:1080");
  EXPECT_EQ(a.Host, "10.1.2.3");
  EXPECT_EQ(a.Port, "1080");
  a = SplitProxy("host:80:90");
  EXPECT_EQ(a.Host, "host");
  EXPECT_EQ(a.Port, "80:90");
  a = SplitProxy("");
  EXPECT_EQ(a.Host, "");
  EXPECT_EQ(a.Port, "");
  a = SplitProxy("nocolon");
  EXPECT_EQ(a.Host, "nocolon");
  EXPECT_EQ(a.Port, "");
  a = SplitProxy(":8080");
  EXPECT_EQ(a.Host, "");
  EXPECT_EQ(a.Port, "8080");
}

TEST(ProxyChecks, AcceptsHostNamesAndIPv4Addresses) {
  EXPECT_TRUE(IsValidProxy("127.0.0.21:1080"));
  EXPECT_TRUE(IsValidProxy("proxy-7.example.net:3128"));
  EXPECT_TRUE(IsValidProxy("UPPER.case:1"));
  EXPECT_TRUE(IsValidProxy("a:65535"));
  EXPECT_TRUE(IsValidProxyHost(std::string(253, 'a')));
  EXPECT_FALSE(IsValidProxyHost(std::string(254, 'a')));
}

TEST(ProxyChecks, RefusesPortsOutsideOneTo65535) {
  for (const char* port : {"0", "65536", "99999", "123456", "", "-1", "+80", "08080", "0x50", "80 ", " 80", "8o"})
    EXPECT_FALSE(IsValidProxyPort(port)) << "port '" << port << "'";
  for (const char* port : {"1", "80", "1080", "65535"}) EXPECT_TRUE(IsValidProxyPort(port)) << port;
}

TEST(ProxyChecks, RefusesHostileHosts) {
  const char* hostile[] = {
      "",                                       // nothing before the colon
      "evil\".host",                            // closes the JavaScript string
      "a;b",                                    // ends a statement or a bypass entry
      "line\r\nuser_pref(\"x\", 1);",           // a second line
      "host\n",
      "a=b",                                    // an INI or registry assignment
      "my host",                                // blank
      "host\\share",                            // backslash
      "user_pref(",
      "http://host",                            // scheme prefix
      "[::1]",                                  // IPv6 is not taken
      "h\tost",
      "\x7f" "host",
      "caf\xe9.de",                             // 8-bit letters
  };
  for (const char* host : hostile) {
    EXPECT_FALSE(IsValidProxyHost(host)) << host;
    EXPECT_FALSE(IsValidProxy(std::string(host) + ":1080")) << host;
  }
  EXPECT_FALSE(IsValidProxy("127.0.0.1"));            // no port
  EXPECT_FALSE(IsValidProxy("127.0.0.1:1080\r\n"));   // line break after the port
  EXPECT_FALSE(IsValidProxy("127.0.0.1:10);evil("));  // code after the port
  EXPECT_FALSE(IsValidProxy("127.0.0.1:80:81"));
}

TEST(ProxyChecks, ControlCharactersAreTakenOutOrShown) {
  EXPECT_EQ(WithoutControlChars("a\r\nb\tc\x1f" "d\x7f" "e"), "abcde");
  EXPECT_EQ(WithoutControlChars("plain, text;"), "plain, text;");
  EXPECT_EQ(LoggableText("x\r\ny"), "x??y");
  const std::string logged = LoggableText(std::string(200, 'z'));
  EXPECT_EQ(logged, std::string(80, 'z') + "...");
}
