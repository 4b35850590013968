// Which browser back-ends one switch runs, decided from the three settings.
#pragma once

enum class FirefoxBackend { None, PrefsFile, Addon };

struct BrowserSwitchPlan {
  // True: WinINet gets the call's own arguments. False: WinINet is put on
  // direct access, so an unselected Internet Explorer never keeps a proxy.
  bool winInetFollowsCall = true;
  FirefoxBackend firefox = FirefoxBackend::Addon;
};

BrowserSwitchPlan PlanBrowserSwitch(bool browserIE, bool browserFirefox, int firefoxControlMode);
