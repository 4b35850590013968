#include "host/install_id.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "host/interface_macs.h"
#include "host/md5.h"
#include "wine/test_support.h"

namespace {

// A settings file of the test's own, in place of the program's for the test's life.
class ScratchSettings {
 public:
  ScratchSettings() : settings_(dir_.Path() + "nimvara.ini"), previous_(Settings()) { SetSettings(&settings_); }
  ~ScratchSettings() { SetSettings(previous_); }
  IniSettings& Ini() { return settings_; }
  std::string Pass() const { return settings_.ReadString(kSectionConfig, kKeyPass, "(missing)"); }

 private:
  ScratchDir dir_;
  IniSettings settings_;
  IniSettings* previous_;
};

FILETIME WriteTimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

// Puts the file's last write back to 2001, so that any later write shows.
void AgeFile(const std::string& path) {
  SYSTEMTIME old{2001, 1, 1, 1, 0, 0, 0, 0};
  FILETIME time{};
  SystemTimeToFileTime(&old, &time);
  UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  SetFileTime(file.get(), nullptr, nullptr, &time);
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

bool AllDigits(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TEST(InstallId, TwentyFourDigitsPinnedToAnInterfaceAndWrittenOnce) {
  ScratchSettings settings;
  const std::string id = GetInstallId();
  EXPECT_EQ(id.size(), 24u);
  EXPECT_TRUE(AllDigits(id)) << id;
  EXPECT_NE(id, "999999999999999999999999");  // this machine has a network card

  // "Pass" is the digest of one present Ethernet interface, the one the id comes from.
  const std::string pass = settings.Pass();
  const MacList interfaces = ListInterfaceMacs();
  const auto pinned = std::find_if(interfaces.begin(), interfaces.end(),
                                   [&](const std::string& mac) { return MD5Hex(mac) == pass; });
  ASSERT_NE(pinned, interfaces.end()) << pass;
  EXPECT_EQ(MacToDigits(*pinned), id);

  // The next request finds the pin and leaves the file alone.
  AgeFile(settings.Ini().Path());
  const FILETIME aged = WriteTimeOf(settings.Ini().Path());
  EXPECT_EQ(GetInstallId(), id);
  EXPECT_EQ(settings.Pass(), pass);
  EXPECT_TRUE(SameTime(WriteTimeOf(settings.Ini().Path()), aged));
}

TEST(InstallId, ForeignOrLowerCasePassIsReplaced) {
  ScratchSettings settings;
  const std::string id = GetInstallId();
  const std::string pass = settings.Pass();
  std::string lower = pass;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  ASSERT_NE(lower, pass);  // an MD5 text always holds a letter... almost always

  for (const std::string& stored : {lower, std::string("0123456789ABCDEF0123456789ABCDEF")}) {
    ASSERT_TRUE(settings.Ini().WriteString(kSectionConfig, kKeyPass, stored));
    EXPECT_EQ(GetInstallId(), id);  // the same adapter is taken afresh
    EXPECT_EQ(settings.Pass(), pass);
  }
}
