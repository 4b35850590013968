#include "base/settings.h"

#include <gtest/gtest.h>

#include "wine/test_support.h"

namespace {

struct SettingsFile : ::testing::Test {
  ScratchDir dir;
  std::string path = dir.Path() + "nimvara.ini";
  IniSettings settings{path};
};

}  // namespace

TEST_F(SettingsFile, MissingFileSectionOrKeyYieldsTheDefault) {
  EXPECT_EQ(settings.ReadString("Config", "Version", "none"), "none");
  EXPECT_EQ(settings.ReadInteger("Config", "LastCountry", 1), 1);
  EXPECT_TRUE(settings.ReadBool("Config", "FirstRun", true));
  EXPECT_FALSE(FileExists(path));  // reading creates nothing
  ASSERT_TRUE(WriteFileBytes(path, "[Other]\r\nVersion=9\r\n"));
  EXPECT_EQ(settings.ReadString("Config", "Version", "none"), "none");
}

TEST_F(SettingsFile, ReadsHexJunkAndBooleansAsTheProgramExpects) {
  ASSERT_TRUE(WriteFileBytes(path,
                             "[Config]\r\nA=0x1F\r\nB=$10\r\nC=junk\r\nD=\r\nE=2\r\nF=0\r\nG=  7  \r\n"));
  EXPECT_EQ(settings.ReadInteger("Config", "A", 0), 31);
  EXPECT_EQ(settings.ReadInteger("Config", "B", 0), 16);
  EXPECT_EQ(settings.ReadInteger("Config", "C", 5), 5);
  EXPECT_EQ(settings.ReadInteger("Config", "D", 5), 5);
  EXPECT_TRUE(settings.ReadBool("Config", "E", false));   // any non-zero is true
  EXPECT_FALSE(settings.ReadBool("Config", "F", true));
  EXPECT_TRUE(settings.ReadBool("Config", "C", true));    // junk reads as the default
  EXPECT_FALSE(settings.ReadBool("Config", "C", false));
  EXPECT_EQ(settings.ReadInteger("Config", "G", 0), 7);
  EXPECT_EQ(settings.ReadString("Config", "D", "x"), "");  // present but empty is empty
}

TEST_F(SettingsFile, WritesReachTheFileAtOnceAsOneAndZero) {
  ASSERT_TRUE(settings.WriteString("Config", "Version", "1.05"));
  ASSERT_TRUE(settings.WriteBool("Config", "FirstRun", false));
  ASSERT_TRUE(settings.WriteBool("Config", "BrowserIE", true));
  ASSERT_TRUE(settings.WriteInteger("Bypass", "Counter", 12));
  const std::string text = ReadFileBytes(path);
  EXPECT_NE(text.find("[Config]"), std::string::npos);
  EXPECT_NE(text.find("Version=1.05"), std::string::npos);
  EXPECT_NE(text.find("FirstRun=0"), std::string::npos);
  EXPECT_NE(text.find("BrowserIE=1"), std::string::npos);
  EXPECT_NE(text.find("[Bypass]"), std::string::npos);
  EXPECT_NE(text.find("Counter=12"), std::string::npos);
  // A second accessor on the same file sees the values: nothing is cached.
  IniSettings other(path);
  EXPECT_EQ(other.ReadString("Config", "Version", ""), "1.05");
  EXPECT_EQ(other.ReadInteger("Bypass", "Counter", 0), 12);
}

TEST_F(SettingsFile, LongValuesSurviveTheRoundTrip) {
  const std::string value(5000, 'x');
  ASSERT_TRUE(settings.WriteString("Bypass", "1", value));
  EXPECT_EQ(settings.ReadString("Bypass", "1", ""), value);
}

TEST_F(SettingsFile, ARefusedWriteIsReported) {
  IniSettings nowhere(dir.Path() + "missing\\folder\\nimvara.ini");
  EXPECT_FALSE(nowhere.WriteString("Config", "Version", "1.05"));
  EXPECT_EQ(nowhere.WriteErrorText(), "Unable to write to " + dir.Path() + "missing\\folder\\nimvara.ini");
}
