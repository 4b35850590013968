// The main road's stand-ins and a started nimvara.exe with a Firefox profile:
// what the end-to-end tests of a hide session share.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "e2e/app_query_client.h"
#include "e2e/nimvara_process.h"
#include "proxy/proxy_win_support.h"
#include "wine/test_support.h"

// The stand-ins' state folders (see tests/e2e/CMakeLists.txt) and what they log.
inline std::string StateDir() { return BuildDir() + "main_road\\"; }
inline std::string DirectoryDir() { return BuildDir() + "directory_service\\"; }
inline std::string IpCheckLog() { return ReadFileBytes(StateDir() + "session\\ipcheck.log"); }
inline std::string Log() { return ReadFileBytes(NimvaraDataDir() + "report.txt"); }
inline std::string Ini() { return ReadFileBytes(NimvaraDataDir() + "nimvara.ini"); }

inline int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}
inline bool Has(const std::string& text, const std::string& part) { return Count(text, part) > 0; }

inline bool WaitForHint(HWND main, const std::string& hint) {
  return WaitFor([&] { return AskNimvara(main, kAskHint) == hint; }, std::chrono::seconds(20));
}

inline std::string UserJs(const std::string& profile) { return ReadFileBytes(profile + "user.js"); }

// The directory stand-in serves the catalogue that the proxies were started
// for, while the test runs; it is down again for the other tests.
inline void ServeCatalogue(bool on) {
  if (on) {
    std::string source = "Z:" + EnvVar("NIMVARA_SOURCE_DIR") + "/tests/e2e/main_road_catalogue.txt";
    for (char& c : source) c = c == '/' ? '\\' : c;
    WriteFileBytes(DirectoryDir() + "catalogue.txt", ReadFileBytes(source));
  }
  WriteFileBytes(DirectoryDir() + "modes", on ? "good good good\n" : "down down down\n");
  Sleep(300);  // the servers read the file every 50 ms
}

struct MainRoad : ::testing::Test {
  void SetUp() override {
    ServeCatalogue(true);
    ForgetPreviousRuns();
    ResetLanToDirect();
    profile = firefox.AddProfile("m41nr0ad.default-release");
    firefox.WriteProfilesIni(
        "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/m41nr0ad.default-release\r\n\r\n"
        "[InstallMainRoad]\r\nDefault=Profiles/m41nr0ad.default-release\r\nLocked=1\r\n");
    ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
    // Firefox through its preference files, so that a real Firefox can show it.
    ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini",
                               "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\nFirefoxControlMode=1\r\n" + settings));
  }
  void TearDown() override {
    if (nimvara.Running() && main) {
      EndWindowsSession(main);
      nimvara.WaitForExit();
    }
    ResetLanToDirect();
    ServeCatalogue(false);
  }
  void Start() {
    ASSERT_TRUE(nimvara.Start());
    main = nimvara.WaitForWindow("TfrmMain");
    ASSERT_NE(main, nullptr);
  }
  void ExpectAllDirect() {
    EXPECT_EQ(QueryLanProxy().flags & PROXY_TYPE_PROXY, 0u);
    EXPECT_TRUE(Has(UserJs(profile), "\r\nuser_pref(\"network.proxy.type\", 0);\r\n")) << UserJs(profile);
  }

  std::string settings;
  FirefoxHome firefox;
  std::string profile;
  NimvaraProcess nimvara;
  HWND main = nullptr;
};
