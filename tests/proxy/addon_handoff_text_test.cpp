#include "proxy/addon_handoff_text.h"

#include <gtest/gtest.h>

TEST(AddonHandoffText, ApplyGivesSixLines) {
  EXPECT_EQ(AddonHandoffText(true, ProxyAddress::Parse("10.0.0.7:1080"), "Germany #3", "localhost;127.0.0.1,intranet;"),
            "0\r\n-1\r\nGermany #3\r\nlocalhost,127.0.0.1,intranet,\r\n10.0.0.7\r\n1080\r\n");
}

TEST(AddonHandoffText, RestoreGivesTheOffFlagAndFourEmptyLines) {
  EXPECT_EQ(AddonHandoffText(false, std::nullopt, "", ""), "0\r\n0\r\n\r\n\r\n\r\n\r\n");
}

TEST(AddonHandoffText, FieldsComeFromTheArgumentsWhateverTheFlag) {
  EXPECT_EQ(AddonHandoffText(false, ProxyAddress::Parse("h:1"), "L", "a,"), "0\r\n0\r\nL\r\na,\r\nh\r\n1\r\n");
}

TEST(AddonHandoffText, BypassWithoutSemicolonsIsUnchanged) {
  const std::string text = AddonHandoffText(true, ProxyAddress::Parse("h:2"), "X #1", "a.com,b.org,");
  EXPECT_NE(text.find("\r\na.com,b.org,\r\n"), std::string::npos);
}

TEST(AddonHandoffText, LineBreaksInsideAFieldNeverMakeAnotherLine) {
  const std::string text = AddonHandoffText(true, ProxyAddress::Parse("h:2"), "France\r\n-1\r\n #2", "a.com\n,b\r;");
  EXPECT_EQ(text, "0\r\n-1\r\nFrance-1 #2\r\na.com,b,\r\nh\r\n2\r\n");
}
