#include "proxy/proxy_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(ProxyAddress, SplitsAValidTextAtItsColon) {
  struct Case {
    const char* text;
    const char* host;
    const char* port;
  };
  const Case cases[] = {
      {"10.1.2.3:1080", "10.1.2.3", "1080"},
      {"127.0.0.21:1080", "127.0.0.21", "1080"},
      {"proxy-7.example.net:3128", "proxy-7.example.net", "3128"},
      {"UPPER.case:1", "UPPER.case", "1"},
      {"a:65535", "a", "65535"},
  };
  for (const Case& c : cases) {
    const std::optional<ProxyAddress> address = ProxyAddress::Parse(c.text);
    ASSERT_TRUE(address) << c.text;
    EXPECT_EQ(address->Host(), c.host);
    EXPECT_EQ(address->Port(), c.port);
    EXPECT_EQ(address->Text(), c.text);
  }
  EXPECT_TRUE(ProxyAddress::Parse(std::string(253, 'a') + ":80"));
  EXPECT_FALSE(ProxyAddress::Parse(std::string(254, 'a') + ":80"));
}

TEST(ProxyAddress, RefusesPortsOutsideOneTo65535) {
  for (const char* port : {"0", "65536", "99999", "123456", "", "-1", "+80", "08080", "0x50", "80 ", " 80", "8o",
                           "80:90", "80\r\n", "10);evil("})
    EXPECT_FALSE(ProxyAddress::Parse(std::string("host:") + port)) << "port '" << port << "'";
}

TEST(ProxyAddress, RefusesHostileHosts) {
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
  for (const char* host : hostile) EXPECT_FALSE(ProxyAddress::Parse(std::string(host) + ":1080")) << host;
  for (const char* text : {"", "127.0.0.1", "nocolon", ":8080"}) EXPECT_FALSE(ProxyAddress::Parse(text)) << text;
}

TEST(ProxyChecks, ControlCharactersAreTakenOutOrShown) {
  EXPECT_EQ(WithoutControlChars("a\r\nb\tc\x1f" "d\x7f" "e"), "abcde");
  EXPECT_EQ(WithoutControlChars("plain, text;"), "plain, text;");
  EXPECT_EQ(LoggableText("x\r\ny"), "x??y");
  const std::string logged = LoggableText(std::string(200, 'z'));
  EXPECT_EQ(logged, std::string(80, 'z') + "...");
}
