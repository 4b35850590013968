#include "host/md5.h"

#include <gtest/gtest.h>

#include <string>

// The test suite published with the algorithm, in the program's upper-case form.
TEST(MD5Hex, PublishedTestSuite) {
  EXPECT_EQ(MD5Hex(""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(MD5Hex("a"), "0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(MD5Hex("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(MD5Hex("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(MD5Hex("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
  EXPECT_EQ(MD5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "D174AB98D277D9F5A5611C2C9F419D9F");
  EXPECT_EQ(MD5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57EDF4A22BE3C955AC49DA2E2107B67A");
}

// Lengths around the padding boundary (55 fits one block, 56 needs two) and
// across several blocks; digests from an independent implementation.
TEST(MD5Hex, PaddingBoundariesAndLongInput) {
  EXPECT_EQ(MD5Hex(std::string(55, 'a')), "EF1772B6DFF9A122358552954AD0DF65");
  EXPECT_EQ(MD5Hex(std::string(56, 'a')), "3B0C8AC703F828B04C6C197006D17218");
  EXPECT_EQ(MD5Hex(std::string(63, 'a')), "B06521F39153D618550606BE297466D5");
  EXPECT_EQ(MD5Hex(std::string(64, 'a')), "014842D480B571495A4A0363793F7367");
  EXPECT_EQ(MD5Hex(std::string(65, 'a')), "C743A45E0D2E6A95CB859ADAE0248435");
  std::string all;
  for (int round = 0; round < 4; ++round)
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(MD5Hex(all), "B2EA9F7FCEA831A4A63B213F41A8855B");
}

TEST(MD5Hex, EveryByteCountsNoTerminatorAdded) {
  EXPECT_EQ(MD5Hex(std::string(1, '\0')), "93B885ADFE0DA089CDF634904FD59F71");
  EXPECT_NE(MD5Hex(std::string("abc\0", 4)), MD5Hex("abc"));
}

TEST(MD5Hex, ThirtyTwoUpperCaseHexDigits) {
  const std::string text = MD5Hex("00-1A-2B-3C-4D-5E");
  ASSERT_EQ(text.size(), 32u);
  for (char c : text) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << text;
}
