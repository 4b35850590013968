#include "host/mac_text.h"

#include <gtest/gtest.h>

TEST(MacText, BytesAsUpperCasePairsJoinedByDashes) {
  const unsigned char six[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
  EXPECT_EQ(MacText(six, 6), "00-1A-2B-3C-4D-5E");
  const unsigned char eight[] = {0xff, 0x01, 0x10, 0xab, 0xcd, 0xef, 0x09, 0x90};
  EXPECT_EQ(MacText(eight, 8), "FF-01-10-AB-CD-EF-09-90");
  EXPECT_EQ(MacText(eight, 1), "FF");
  EXPECT_EQ(MacText(eight, 0), "");
}

TEST(MacToDigits, EachHexDigitBecomesTwoDecimalDigits) {
  EXPECT_EQ(MacToDigits("00-1A-2B-3C-4D-5E"), "000001100211031204130514");
  EXPECT_EQ(MacToDigits("FF-FF-FF-FF-FF-FF"), "151515151515151515151515");
  EXPECT_EQ(MacToDigits("98-76-54-32-10-AB"), "090807060504030201001011");
}

TEST(MacToDigits, LowerCaseLettersAndOtherCharactersAreDropped) {
  EXPECT_EQ(MacToDigits("00-1a-2b-3c-4d-5e"), "00000102030405");
  EXPECT_EQ(MacToDigits("a-b-c-d-e-f"), "");
  EXPECT_EQ(MacToDigits("G:Z 9"), "09");
  EXPECT_EQ(MacToDigits(""), "");
}
