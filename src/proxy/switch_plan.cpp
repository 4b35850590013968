#include "proxy/switch_plan.h"

#include "base/settings_keys.h"

BrowserSwitchPlan PlanBrowserSwitch(bool browserIE, bool browserFirefox, int firefoxControlMode) {
  BrowserSwitchPlan plan;
  plan.winInetFollowsCall = browserIE;
  if (!browserFirefox)
    plan.firefox = FirefoxBackend::None;
  else
    plan.firefox = firefoxControlMode == kFirefoxRestartMode ? FirefoxBackend::PrefsFile : FirefoxBackend::Addon;
  return plan;
}

std::string FirefoxNotCoveredReason(FirefoxBackend firefox, bool profileFound, bool addonFound) {
  if (firefox == FirefoxBackend::PrefsFile && !profileFound) return "no Firefox profile was found";
  if (firefox == FirefoxBackend::Addon && !addonFound) return "the Firefox add-on is not installed (Plugin Mode)";
  return {};
}
