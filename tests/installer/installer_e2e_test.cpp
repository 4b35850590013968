#include <gtest/gtest.h>
#include <tuple>
#include <shlobj.h>
#include <windows.h>
#include <wininet.h>

#include "e2e/nimvara_process.h"
#include "host/restore_at_logon.h"
#include "proxy/user_js_text.h"
#include "proxy/wininet_proxy.h"
#include "e2e/ui_fixture.h"
#include "net/file_version.h"
#include "proxy/proxy_win_support.h"
#include "wine/test_support.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimvara";

std::string SetupExe() { return BuildDir() + "nimvara-setup.exe"; }

// Runs a command line to its end; its exit code, or -1.
long RunToEnd(const std::string& commandLine, DWORD timeoutMs = 60000) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<long>(code);
}

std::string RegText(HKEY root, const char* name) {
  char value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(root, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return "(none)";
  return value;
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}

TEST(Installer, StatesTheFixedVersionOfTheProgramItInstalls) {
  // The self-update compares it with the running program's: "1.05" once read as 1.5.0.0 here.
  const auto setup = ReadFileVersion(SetupExe()), program = ReadFileVersion(BuildDir() + "nimvara.exe");
  ASSERT_TRUE(setup && program);
  EXPECT_EQ(FixedVersionText(*setup), FixedVersionText(*program));
}

TEST(Installer, SilentInstallAndUninstallForOneUserOrAll) {
  struct {
    const char* mode;
    HKEY root;
    int startMenu;
  } const cases[] = {
      {"/CurrentUser", HKEY_CURRENT_USER, CSIDL_PROGRAMS},
      {"/AllUsers", HKEY_LOCAL_MACHINE, CSIDL_COMMON_PROGRAMS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_EQ(RunToEnd("\"" + SetupExe() + "\" /S " + c.mode), 0);
    EXPECT_EQ(FindWindowA("TfrmMain", nullptr), nullptr);  // started only when asked to
    EXPECT_EQ(RegText(c.root, "DisplayName"), "Nimvara");
    EXPECT_EQ(RegText(c.root, "DisplayVersion"), "1.05");
    EXPECT_EQ(RegText(c.root, "Publisher"), "Nimvara");
    const std::string dir = RegText(c.root, "InstallLocation");
    ASSERT_NE(dir, "(none)");
    EXPECT_TRUE(ReadFileBytes(dir + "\\nimvara.exe") == ReadFileBytes(BuildDir() + "nimvara.exe"));
    EXPECT_TRUE(ReadFileBytes(dir + "\\default.skn") == ReadFileBytes(BuildDir() + "default.skn"));
    EXPECT_TRUE(FileExists(dir + "\\uninstall.exe"));
    const std::string link = Folder(c.startMenu) + "\\Nimvara.lnk";
    EXPECT_TRUE(FileExists(link)) << link;
    const std::string quiet = RegText(c.root, "QuietUninstallString");
    EXPECT_EQ(quiet, "\"" + dir + "\\uninstall.exe\" " + c.mode + " /S");

    // The uninstaller copies itself away and returns at once: wait for the files to go.
    ASSERT_EQ(RunToEnd(quiet), 0);
    EXPECT_TRUE(WaitFor([&] { return RegText(c.root, "DisplayName") == "(none)"; }, std::chrono::seconds(30)));
    EXPECT_FALSE(FileExists(dir)) << dir;
    EXPECT_FALSE(FileExists(link));
  }
}

TEST(Installer, TheRelaunchSwitchStartsTheInstalledNimvaraAtTheEnd) {
  ForgetPreviousRuns();
  ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\n"));
  ASSERT_EQ(RunToEnd("\"" + SetupExe() + "\" /S /CurrentUser /Relaunch"), 0);
  const std::string dir = RegText(HKEY_CURRENT_USER, "InstallLocation");
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = FindWindowA("TfrmMain", nullptr)) != nullptr; }));
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
  ASSERT_TRUE(process);
  char image[MAX_PATH] = {};
  DWORD size = sizeof(image);
  ASSERT_TRUE(QueryFullProcessImageNameA(process.get(), 0, image, &size));
  EXPECT_EQ(lstrcmpiA(image, (dir + "\\nimvara.exe").c_str()), 0) << image;

  // The uninstaller ends it as the end of a session would.
  ASSERT_EQ(RunToEnd("\"" + dir + "\\uninstall.exe\" /CurrentUser /S"), 0);
  EXPECT_EQ(WaitForSingleObject(process.get(), 15000), WAIT_OBJECT_0);
  EXPECT_TRUE(WaitFor([&] { return RegText(HKEY_CURRENT_USER, "DisplayName") == "(none)"; }, std::chrono::seconds(30)));
}

std::string RegValue(const char* key, const char* name) {
  char value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return "(none)";
  return value;
}

TEST(Installer, UninstallAfterAKilledSessionLeavesEveryBrowserDirectAndNoRunOnceValue) {
  ForgetPreviousRuns();
  ASSERT_EQ(RunToEnd("\"" + SetupExe() + "\" /S /CurrentUser"), 0);
  const std::string dir = RegText(HKEY_CURRENT_USER, "InstallLocation");
  ASSERT_NE(dir, "(none)");
  // What a session killed half-way leaves: WinINet and user.js on its proxy,
  // the restore-at-logon value, and the start-with-Windows value.
  FirefoxHome firefox;
  const std::string profile = firefox.AddProfile("k1ll.default");
  // Named, as Firefox does: what a real Firefox run left in the prefix is not the profile in use.
  firefox.WriteProfilesIni("[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/k1ll.default\r\n\r\n"
                           "[InstallKill]\r\nDefault=Profiles/k1ll.default\r\nLocked=1\r\n");
  const std::string own = "// the user's own\r\n";
  ASSERT_TRUE(WriteFileBytes(profile + "user.js", own + ApplyBlock(*ProxyAddress::Parse("127.0.0.10:8080"), "")));
  ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  const std::string ini = "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\nFirefoxControlMode=1\r\n";
  ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", ini));
  ASSERT_TRUE(SetConnectionProxy("", ProxyAddress::Parse("127.0.0.10:8080"), ""));
  ASSERT_NE(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  const std::string exe = dir + "\\nimvara.exe";
  const std::string restore = RestoreCommand(exe);
  const std::string start = "\"" + exe + "\"";
  for (const auto& [key, name, value] : {std::tuple{kRunOnceKey, kRestoreValueName, &restore},
                                         std::tuple{"Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Nimvara", &start}})
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, value->c_str(),
                              static_cast<DWORD>(value->size() + 1)),
              ERROR_SUCCESS);

  ASSERT_EQ(RunToEnd("\"" + dir + "\\uninstall.exe\" /CurrentUser /S"), 0);
  EXPECT_TRUE(WaitFor([&] { return RegText(HKEY_CURRENT_USER, "DisplayName") == "(none)"; }, std::chrono::seconds(30)));
  EXPECT_FALSE(FileExists(exe));
  const LanProxy lan = QueryLanProxy();
  EXPECT_EQ(lan.flags & PROXY_TYPE_PROXY, 0u);
  EXPECT_EQ(lan.server, "");
  EXPECT_EQ(ReadFileBytes(profile + "user.js"), own + RestoreBlock(own, std::nullopt));
  EXPECT_EQ(RegValue(kRunOnceKey, kRestoreValueName), "(none)");
  EXPECT_EQ(RegValue("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Nimvara"), "(none)");
  EXPECT_EQ(ReadFileBytes(NimvaraDataDir() + "nimvara.ini").substr(0, ini.size()), ini);  // the user's settings stay
  ResetLanToDirect();
  ForgetPreviousRuns();
}

// A Nimvara in the middle of a session when the installer runs.
struct InstallOverRunningNimvara : RunningNimvara {};

TEST_F(InstallOverRunningNimvara, EndsItWithItsBrowsersPutBackOnDirectAccess) {
  // As if a hide session were on: WinINet goes through a proxy.
  INTERNET_PER_CONN_OPTIONA options[2] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[0].Value.dwValue = PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[1].Value.pszValue = const_cast<char*>("127.0.0.10:8080");
  INTERNET_PER_CONN_OPTION_LISTA list{sizeof(list), nullptr, 2, 0, options};
  ASSERT_TRUE(InternetSetOptionA(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list)));
  ASSERT_TRUE(QueryLanProxy().flags & PROXY_TYPE_PROXY);

  ASSERT_EQ(RunToEnd("\"" + SetupExe() + "\" /S /CurrentUser"), 0);
  // The installer returns only once the program is gone.
  EXPECT_FALSE(nimvara.Running());
  EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
  const std::string report = ReadFileBytes(NimvaraDataDir() + "report.txt");
  EXPECT_NE(report.find("Closing..."), std::string::npos);

  const std::string dir = RegText(HKEY_CURRENT_USER, "InstallLocation");
  ASSERT_EQ(RunToEnd("\"" + dir + "\\uninstall.exe\" /CurrentUser /S"), 0);
  EXPECT_TRUE(WaitFor([&] { return RegText(HKEY_CURRENT_USER, "DisplayName") == "(none)"; }, std::chrono::seconds(30)));
}

}  // namespace
