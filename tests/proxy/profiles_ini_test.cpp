#include "proxy/profiles_ini.h"

#include <gtest/gtest.h>

namespace {

const char* const kFirefoxDir = "C:\\Users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\";

using Paths = std::vector<std::string>;

}  // namespace

TEST(ProfilesIni, InstallSectionNamesTheProfileInUse) {
  const char* ini =
      "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/old1.default\r\nDefault=1\r\n\r\n"
      "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/k3x9.default-release\r\n\r\n"
      "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n"
      "[Install4F96D1932A9F858E]\r\nDefault=Profiles/k3x9.default-release\r\nLocked=1\r\n";
  EXPECT_EQ(ProfileCandidates(ini, kFirefoxDir),
            (Paths{std::string(kFirefoxDir) + "Profiles\\k3x9.default-release\\",
                   std::string(kFirefoxDir) + "Profiles\\old1.default\\"}));
}

TEST(ProfilesIni, WithoutInstallSectionTheProfileMarkedDefaultCounts) {
  const char* ini =
      "[General]\nStartWithLastProfile=1\n\n"
      "[Profile0]\nName=a\nIsRelative=1\nPath=Profiles/a.default\n\n"
      "[Profile1]\nName=b\nIsRelative=1\nPath=Profiles/b.work\nDefault=1\n";
  EXPECT_EQ(ProfileCandidates(ini, kFirefoxDir), (Paths{std::string(kFirefoxDir) + "Profiles\\b.work\\"}));
}

TEST(ProfilesIni, AbsolutePathsWhenIsRelativeIsZero) {
  const char* ini =
      "[Profile0]\r\nName=x\r\nIsRelative=0\r\nPath=D:\\Firefox Profiles\\x\r\nDefault=1\r\n"
      "[InstallABC]\r\nDefault=D:\\Firefox Profiles\\x\r\n";
  EXPECT_EQ(ProfileCandidates(ini, kFirefoxDir), (Paths{"D:\\Firefox Profiles\\x\\"}));
}

TEST(ProfilesIni, InstallDefaultWithoutItsProfileSection) {
  EXPECT_EQ(ProfileCandidates("[InstallX]\nDefault=Profiles/z.default-esr\n", kFirefoxDir),
            (Paths{std::string(kFirefoxDir) + "Profiles\\z.default-esr\\"}));
  EXPECT_EQ(ProfileCandidates("[InstallX]\nDefault=E:\\p\\z\n", kFirefoxDir), (Paths{"E:\\p\\z\\"}));
}

TEST(ProfilesIni, NothingUsableGivesNoCandidate) {
  EXPECT_TRUE(ProfileCandidates("", kFirefoxDir).empty());
  EXPECT_TRUE(ProfileCandidates("[Profile0]\nPath=Profiles/a.default\nDefault=0\n", kFirefoxDir).empty());
  EXPECT_TRUE(ProfileCandidates("[InstallX]\nDefault=\nLocked=1\n", kFirefoxDir).empty());
  EXPECT_TRUE(ProfileCandidates("Default=1\nPath=Profiles/stray\n", kFirefoxDir).empty());  // outside any section
}
