// Drives the switchboard from the command line for the real-browser test:
// switches Firefox (through user.js) the way nimvara.exe would, in the prefix's
// own AppData, and prints the profile folder that was written.
//   proxy_switch_tool prepare          make a Firefox profile named in profiles.ini
//   proxy_switch_tool apply HOST:PORT  switch to the proxy
//   proxy_switch_tool restore          back to direct access
//   proxy_switch_tool reset            what a version change or OK in Plugin Mode does
//   proxy_switch_tool cleanup          remove AppData\Mozilla
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/program.h"
#include "base/settings.h"
#include "host/probes.h"
#include "proxy/firefox_prefs.h"
#include "proxy/firefox_profile.h"
#include "proxy/switchboard.h"
#include "wine/test_support.h"

namespace {

const char* const kProfileName = "r3al0ff.default-release";

void Prepare() {
  const std::string firefox = GetAppDataDir() + "Mozilla\\Firefox\\";
  CreateDirectoryA((GetAppDataDir() + "Mozilla").c_str(), nullptr);
  CreateDirectoryA(firefox.c_str(), nullptr);
  CreateDirectoryA((firefox + "Profiles").c_str(), nullptr);
  CreateDirectoryA((firefox + "Profiles\\" + kProfileName).c_str(), nullptr);
  WriteFileBytes(firefox + "profiles.ini", std::string("[Profile0]\r\nName=default-release\r\nIsRelative=1\r\n") +
                                               "Path=Profiles/" + kProfileName + "\r\n\r\n[InstallE2E]\r\nDefault=Profiles/" +
                                               kProfileName + "\r\nLocked=1\r\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  ScratchDir data;
  IniSettings settings(data.Path() + "nimvara.ini");
  settings.WriteBool("Config", "BrowserIE", false);  // WinINet goes direct either way
  settings.WriteBool("Config", "BrowserFirefox", true);
  settings.WriteInteger("Config", "FirefoxControlMode", 1);
  SetSettings(&settings);
  SetReportSink([](const std::string& line) { std::printf("report: %s\n", line.c_str()); });

  if (command == "prepare") {
    Prepare();
  } else if (command == "apply" && argc > 2) {
    SetBrowserProxy(true, argv[2], "Test #1", "");
  } else if (command == "restore") {
    SetBrowserProxy(false, "", "", "");
  } else if (command == "reset") {
    ResetFirefoxPrefs();
  } else if (command == "cleanup") {
    RemoveTree(GetAppDataDir() + "Mozilla");
    return 0;
  } else {
    std::fprintf(stderr, "usage: proxy_switch_tool prepare | apply HOST:PORT | restore | reset | cleanup\n");
    return 2;
  }
  SetSettings(nullptr);
  std::printf("profile: %s\n", FindFirefoxProfile().c_str());
  return 0;
}
