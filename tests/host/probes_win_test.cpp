#include "host/probes.h"

#include <gtest/gtest.h>

#include "wine/test_support.h"

TEST(Probes, OSNameIsOneOfTheKnownNames) {
  const std::string name = GetOSName();
  bool known = false;
  for (const char* n : {"Unknown", "Win95", "Win98", "WinNT", "Win2000", "WinXP", "Vista", "Win7"})
    known = known || name == n;
  EXPECT_TRUE(known) << name;
}

TEST(Probes, AppDataDirIsTheShellsFolderWithOneBackslash) {
  const std::string dir = GetAppDataDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  EXPECT_NE(dir.substr(dir.size() - 2), "\\\\");
  EXPECT_EQ(dir, GetSpecialFolder(0x1a) + "\\");
  EXPECT_FALSE(GetWindowsDir().empty());
}

TEST(Probes, TimeZoneHasTheGmtForm) {
  const std::string zone = GetTimeZone();
  ASSERT_GE(zone.size(), 6u);
  EXPECT_TRUE(zone.rfind("GMT +", 0) == 0 || zone.rfind("GMT -", 0) == 0) << zone;
}

TEST(Probes, EnsureFolderCreatesOneLevelOnly) {
  ScratchDir dir;
  EXPECT_TRUE(EnsureFolder(dir.Path() + "one"));
  EXPECT_TRUE(EnsureFolder(dir.Path() + "one"));
  EXPECT_FALSE(EnsureFolder(dir.Path() + "two\\three"));
  EXPECT_FALSE(FileExists(dir.Path() + "two"));
  EXPECT_FALSE(EnsureFolder(""));
}

TEST(Probes, DefaultBrowserIsReadWithoutCreatingTheKey) {
  HKEY key = nullptr;
  const bool existed =
      RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (key) RegCloseKey(key);
  const std::string browser = GetDefaultBrowser();
  if (!existed) {
    EXPECT_EQ(browser, "");
    EXPECT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, &key),
              ERROR_SUCCESS);
  }
}

namespace {
// Sets (or, with nullptr, deletes) HKCR\http\shell\open\command's default value.
void SetBrowserCommand(const char* command) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (command)
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                   static_cast<DWORD>(strlen(command) + 1));
  else
    RegDeleteValueA(key, nullptr);
  RegCloseKey(key);
}
}  // namespace

TEST(Probes, DefaultBrowserIsTheRawCommandText) {
  const std::string original = GetDefaultBrowser();
  const char command[] = "\"C:\\Program Files\\Br owser\\b.exe\" -url \"%1\"";
  SetBrowserCommand(command);
  EXPECT_EQ(GetDefaultBrowser(), command);
  SetBrowserCommand(nullptr);
  EXPECT_EQ(GetDefaultBrowser(), "");
  SetBrowserCommand(original.empty() ? nullptr : original.c_str());
}

TEST(Probes, RunKeyRoundTrip) {
  const std::string name = "NimvaraProbeTest";
  SetAutoStart(false, name, "");
  EXPECT_FALSE(IsAutoStart(name));
  EXPECT_TRUE(SetAutoStart(true, name, "C:\\Program Files\\Nimvara\\nimvara.exe"));
  EXPECT_TRUE(IsAutoStart(name));
  HKEY run = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                          KEY_READ, &run),
            ERROR_SUCCESS);
  char data[MAX_PATH] = {};
  DWORD size = sizeof(data), type = 0;
  EXPECT_EQ(RegQueryValueExA(run, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(data, "C:\\Program Files\\Nimvara\\nimvara.exe");
  // Any other program's path counts too.
  EXPECT_TRUE(SetAutoStart(true, name, "D:\\other.exe"));
  EXPECT_TRUE(IsAutoStart(name));
  SetAutoStart(false, name, "");
  EXPECT_FALSE(IsAutoStart(name));
  EXPECT_NE(RegQueryValueExA(run, name.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  RegCloseKey(run);
  // Turning it off again when nothing is there changes nothing.
  SetAutoStart(false, name, "");
  EXPECT_FALSE(IsAutoStart(name));
}

TEST(Probes, AnEmptyRunValueDoesNotCount) {
  const std::string name = "NimvaraProbeEmpty";
  EXPECT_TRUE(SetAutoStart(true, name, ""));
  EXPECT_FALSE(IsAutoStart(name));
  SetAutoStart(false, name, "");
}
