#include "base/ini_value.h"

#include <gtest/gtest.h>

TEST(ParseIniInteger, Decimal) {
  EXPECT_EQ(ParseIniInteger("0", 7), 0);
  EXPECT_EQ(ParseIniInteger("42", 7), 42);
  EXPECT_EQ(ParseIniInteger("-3", 7), -3);
  EXPECT_EQ(ParseIniInteger("+3", 7), 3);
  EXPECT_EQ(ParseIniInteger(" 12 ", 7), 12);
  EXPECT_EQ(ParseIniInteger("2147483647", 7), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648", 7), -2147483647 - 1);
}

TEST(ParseIniInteger, HexAfterZeroXOrDollar) {
  EXPECT_EQ(ParseIniInteger("0x1F", 7), 31);
  EXPECT_EQ(ParseIniInteger("0X1f", 7), 31);
  EXPECT_EQ(ParseIniInteger("$10", 7), 16);
  EXPECT_EQ(ParseIniInteger("$ff", 7), 255);
  EXPECT_EQ(ParseIniInteger("-$10", 7), -16);
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF", 7), -1);
}

TEST(ParseIniInteger, JunkAndOverflowYieldTheDefault) {
  for (const char* junk : {"", " ", "yes", "true", "1a", "0x", "$", "0xG1", "12 3", "1.0", "--1",
                           "4294967296", "2147483648", "$100000000", "x10"})
    EXPECT_EQ(ParseIniInteger(junk, 7), 7) << '"' << junk << '"';
}

TEST(IniBoolText, WritesOneAndZero) {
  EXPECT_EQ(IniBoolText(true), "1");
  EXPECT_EQ(IniBoolText(false), "0");
}
