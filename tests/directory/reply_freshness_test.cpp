#include "directory/reply_freshness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::int64_t kNow = 1800000000;

TEST(ReplyFreshness, OnlyAMarkedCurrentReplyNoOlderThanTheLastIsRead) {
  const struct {
    const char* what;
    std::string reply;
    std::uint64_t highestRead;
    ReplyFreshness freshness;
    std::uint64_t serial;
  } cases[] = {
      {"no serial", "B=1\r\nExpires=1800000100\r\nE=1\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"no expiry", "B=1\r\nSerial=7\r\nE=1\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"neither", "B=1\r\nE=1\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"serial not a number", "Serial=7a\r\nExpires=1800000100\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"signed serial", "Serial=+7\r\nExpires=1800000100\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"expiry with a blank", "Serial=7\r\nExpires= 1800000100\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"serial too long", "Serial=1234567890123456789\r\nExpires=1800000100\r\n", 0, ReplyFreshness::Unmarked, 0},
      {"expired long ago", "Serial=7\r\nExpires=1700000000\r\n", 0, ReplyFreshness::Expired, 7},
      {"expires this second", "Serial=7\r\nExpires=1800000000\r\n", 0, ReplyFreshness::Expired, 7},
      {"expired, though newer", "Serial=9\r\nExpires=1799999999\r\n", 8, ReplyFreshness::Expired, 9},
      {"older than one read", "Serial=7\r\nExpires=1800000100\r\n", 8, ReplyFreshness::Older, 7},
      {"equal to the one read", "Serial=8\r\nExpires=1800000100\r\n", 8, ReplyFreshness::Fresh, 8},
      {"newer", "Serial=9\r\nExpires=1800000001\r\n", 8, ReplyFreshness::Fresh, 9},
      {"first ever, names in any case", "serial=1\nEXPIRES=1900000000\n", 0, ReplyFreshness::Fresh, 1},
      {"leading zeros", "Serial=0010\r\nExpires=01800000100\r\n", 9, ReplyFreshness::Fresh, 10},
  };
  for (const auto& c : cases) {
    const FreshnessVerdict verdict = JudgeFreshness(ReplyKeys(c.reply), kNow, c.highestRead);
    EXPECT_EQ(verdict.freshness, c.freshness) << c.what;
    if (c.freshness != ReplyFreshness::Unmarked) {
      EXPECT_EQ(verdict.serial, c.serial) << c.what;
    }
  }
  EXPECT_STREQ(FreshnessRefusal(ReplyFreshness::Unmarked), "Reply has no serial or expiry");
  EXPECT_STREQ(FreshnessRefusal(ReplyFreshness::Expired), "Reply expired");
  EXPECT_STREQ(FreshnessRefusal(ReplyFreshness::Older), "Reply older than one already read");
  EXPECT_STREQ(FreshnessRefusal(ReplyFreshness::Fresh), "");
}

TEST(InstallerSha256, OnlyExactlyOneDigestNamesTheInstaller) {
  const std::string digest = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";  // of "test"
  const struct {
    const char* what;
    std::string reply;
    bool named;
  } cases[] = {
      {"64 digits", "NewVersion=1\r\nInstallerSha256=" + digest + "\r\n", true},
      {"upper case", "InstallerSha256=9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08", true},
      {"missing", "NewVersion=1\r\n", false},
      {"empty", "InstallerSha256=\r\n", false},
      {"63 digits", "InstallerSha256=" + digest.substr(1), false},
      {"65 digits", "InstallerSha256=" + digest + "0", false},
      {"not hex", "InstallerSha256=" + digest.substr(1) + "g", false},
      {"a blank after it", "InstallerSha256=" + digest + " ", false},
  };
  for (const auto& c : cases) {
    const auto named = InstallerSha256(ReplyKeys(c.reply));
    ASSERT_EQ(named.has_value(), c.named) << c.what;
    // The binding: the installer runs only when its own digest is this one.
    if (named) {
      EXPECT_EQ(*named, Sha256Of("test")) << c.what;
      EXPECT_NE(*named, Sha256Of("test ")) << c.what;
    }
  }
}

}  // namespace
