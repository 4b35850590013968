// A process that dies of an unhandled exception while its browsers point at a
// proxy leaves them on direct access, and still ends as a crash.
#include <gtest/gtest.h>

#include "base/settings.h"
#include "host/unique_handle.h"
#include "proxy/user_js_text.h"
#include "proxy/wininet_proxy.h"
#include "proxy_win_support.h"
#include "wine/test_support.h"

namespace {

const char* const kAddonId = "{5a3e91c2-6d04-11dd-b7a1-3c9f0e2d4b68}";

// Runs the test build's crashing switch and returns its exit code.
long RunCrashTool(const std::string& settingsFile, const std::string& proxy, const std::string& how) {
  const std::string exe = BuildDir() + "tests\\proxy\\proxy_crash_tool.exe";
  std::string commandLine = "\"" + exe + "\" \"" + settingsFile + "\" " + proxy + " " + how;
  // Wine's debugger writes the crash report to the tool's output: it goes nowhere.
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  UniqueFile nowhere(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                 0, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = nowhere.get();
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  CloseHandle(info.hThread);
  UniqueKernelHandle process(info.hProcess);
  if (WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 99);
    return -2;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<long>(code);
}

struct CrashRestore : ::testing::Test {
  ScratchDir data, addonDir;
  FirefoxHome home;
  std::string profile = home.AddProfile("cr4sh.default");
  ScratchRegKey mozilla{"Software\\Mozilla"};
  // Wine's crash dialog would wait for a click: the crash ends the process at once.
  ScratchRegKey wineDbg{"Software\\Wine\\WineDbg"};

  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Mozilla\\Firefox\\Extensions", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueHKey extensions(key);
    const std::string folder = addonDir.Path();
    RegSetValueExA(key, kAddonId, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    UniqueHKey dbg(key);
    const DWORD no = 0;
    RegSetValueExA(key, "ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&no), sizeof(no));
  }
  void TearDown() override { ResetLanToDirect(); }
};

}  // namespace

TEST_F(CrashRestore, ACrashDuringASessionPutsEveryBrowserBackOnDirectAccess) {
  struct Case {
    const char* mode;
    const char* how;  // an access violation, or a C++ exception that nothing catches
    std::string file;
    std::string offState;
    std::string own = "";  // the user's own user.js lines before the session
    bool restoreOwn = false;  // "RestoreOwnSettings": the LAN's proxy from before comes back
  };
  const std::string hardening = "user_pref(\"network.proxy.type\", 4);\r\n";
  // Longer than any fixed buffer a crashing process might use.
  const std::string own = "// mine\r\n" + std::string(3000, '/') + "\r\n";
  const Case cases[] = {
      {"1", "fault", profile + "user.js", RestoreBlock("", std::nullopt)},              // "Restart Firefox"
      {"0", "fault", addonDir.Path() + "umbrix.tmp", "0\r\n0\r\n\r\n\r\n\r\n\r\n"},  // "Plugin Mode"
      {"1", "throw", profile + "user.js", RestoreBlock("", std::nullopt)},
      {"1", "fault", profile + "user.js", own + RestoreBlock(own, std::nullopt), own},
      {"1", "fault", profile + "user.js", hardening + RestoreBlock(hardening, FirefoxPrefsInForce(hardening, "")),
       hardening, true},
  };
  for (const Case& c : cases) {
    const std::string which = std::string(c.mode) + " " + c.how;
    IniSettings settings(data.Path() + "nimvara.ini");
    settings.WriteString("Config", "FirefoxControlMode", c.mode);
    settings.WriteString("Config", "RestoreOwnSettings", c.restoreOwn ? "1" : "0");
    settings.EraseSection("OwnSettings");  // a crash leaves its record for the next restore
    // A proxy from before, so that only the restore can leave the LAN direct.
    ASSERT_TRUE(SetConnectionProxy("", ProxyAddress::Parse("127.0.0.28:3128"), ""));
    DeleteFileA((profile + "user.js").c_str());
    if (!c.own.empty()) ASSERT_TRUE(WriteFileBytes(profile + "user.js", c.own));

    const long exitCode = RunCrashTool(settings.Path(), "127.0.0.29:1080", c.how);
    // It still ends as a crash: as an access violation, or as an abort.
    if (std::string(c.how) == "fault")
      EXPECT_EQ(exitCode, static_cast<long>(EXCEPTION_ACCESS_VIOLATION)) << which;
    else
      EXPECT_EQ(exitCode, 3) << which;
    const LanProxy lan = QueryLanProxy();
    EXPECT_EQ(lan.flags & PROXY_TYPE_PROXY, c.restoreOwn ? static_cast<DWORD>(PROXY_TYPE_PROXY) : 0u) << which;
    EXPECT_EQ(lan.server, c.restoreOwn ? "127.0.0.28:3128" : "") << which;
    EXPECT_EQ(ReadFileBytes(c.file), c.offState) << which;
  }
}
