#include "proxy/firefox_addon.h"

#include <gtest/gtest.h>

#include "proxy_win_support.h"
#include "wine/test_support.h"

namespace {

const char* const kExtensionsKey = "Software\\Mozilla\\Firefox\\Extensions";
const char* const kAddonId = "{5a3e91c2-6d04-11dd-b7a1-3c9f0e2d4b68}";

struct AddonHandoff : ::testing::Test {
  ScratchRegKey mozilla{"Software\\Mozilla"};
  ScratchDir dir;

  void Record(const std::string& folder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kExtensionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    UniqueHKey owner(key);
    ASSERT_EQ(RegSetValueExA(key, kAddonId, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                             static_cast<DWORD>(folder.size() + 1)),
              ERROR_SUCCESS);
  }
  bool KeyExists() const {
    UniqueHKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, kExtensionsKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
  }
  DWORD ValueCount() const {
    UniqueHKey key;
    DWORD values = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kExtensionsKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS)
      RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr);
    return values;
  }
};

}  // namespace

TEST_F(AddonHandoff, ApplyAndRestoreFiles) {
  Record(dir.Path());
  EXPECT_EQ(FindFirefoxAddon(), dir.Path());
  WriteAddonHandoff(true, ProxyAddress::Parse("127.0.0.24:1080"), "Germany #3", "localhost;127.0.0.1,");
  EXPECT_EQ(ReadFileBytes(dir.Path() + "umbrix.tmp"),
            "0\r\n-1\r\nGermany #3\r\nlocalhost,127.0.0.1,\r\n127.0.0.24\r\n1080\r\n");
  WriteAddonHandoff(false, std::nullopt, "", "");
  EXPECT_EQ(ReadFileBytes(dir.Path() + "umbrix.tmp"), "0\r\n0\r\n\r\n\r\n\r\n\r\n");  // replaced whole
  EXPECT_FALSE(FileExists(dir.Path() + "umbrix.tmp.nimvara-new"));
  EXPECT_EQ(ValueCount(), 1u);  // read, never written
}

TEST_F(AddonHandoff, WithoutAnEntryNothingIsWrittenAndNoKeyIsMade) {
  EXPECT_EQ(FindFirefoxAddon(), "");
  WriteAddonHandoff(true, ProxyAddress::Parse("127.0.0.24:1080"), "Germany #3", "x,");
  WriteAddonHandoff(false, std::nullopt, "", "");
  EXPECT_FALSE(KeyExists());
}

TEST_F(AddonHandoff, AFolderThatIsGoneGetsNothing) {
  const std::string gone = dir.Path() + "removed\\";
  Record(gone);
  EXPECT_EQ(FindFirefoxAddon(), "");
  WriteAddonHandoff(true, ProxyAddress::Parse("127.0.0.24:1080"), "Germany #3", "x,");
  EXPECT_FALSE(FileExists(gone));
  EXPECT_FALSE(FileExists(dir.Path() + "removed\\umbrix.tmp"));
}

TEST_F(AddonHandoff, WithoutTrailingBackslashTheNameIsGluedOn) {
  const std::string folder = dir.Path() + "addon";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  Record(folder);
  EXPECT_EQ(FindFirefoxAddon(), folder);  // unchanged
  WriteAddonHandoff(true, ProxyAddress::Parse("127.0.0.24:1080"), "France #1", "");
  EXPECT_EQ(ReadFileBytes(dir.Path() + "addonumbrix.tmp"), "0\r\n-1\r\nFrance #1\r\n\r\n127.0.0.24\r\n1080\r\n");
  EXPECT_FALSE(FileExists(folder + "\\umbrix.tmp"));
}

TEST_F(AddonHandoff, HostileTextsStayOnTheirLines) {
  Record(dir.Path());
  WriteAddonHandoff(true, ProxyAddress::Parse("127.0.0.24:1080"), "Spain #2\r\n0", "a.com\r\n;b.org");
  EXPECT_EQ(CrLfLines(ReadFileBytes(dir.Path() + "umbrix.tmp")),
            (std::vector<std::string>{"0", "-1", "Spain #20", "a.com,b.org", "127.0.0.24", "1080"}));
}
