// Which browser back-ends one switch runs, decided from the three settings.
#pragma once

#include <string>

enum class FirefoxBackend { None, PrefsFile, Addon };

struct BrowserSwitchPlan {
  // True: WinINet gets the call's own arguments. False: WinINet is put on
  // direct access, so an unselected Internet Explorer never keeps a proxy.
  bool winInetFollowsCall = true;
  FirefoxBackend firefox = FirefoxBackend::Addon;
};

BrowserSwitchPlan PlanBrowserSwitch(bool browserIE, bool browserFirefox, int firefoxControlMode);

// Why a selected Firefox is left out of a switch; empty when it is switched
// (or not selected).
std::string FirefoxNotCoveredReason(FirefoxBackend firefox, bool profileFound, bool addonFound);
