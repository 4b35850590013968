#include "proxy/switchboard.h"

#include "base/message_box.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "host/restore_at_logon.h"
#include "proxy/crash_restore.h"
#include "proxy/firefox_addon.h"
#include "proxy/firefox_prefs.h"
#include "proxy/firefox_profile.h"
#include "proxy/proxy_address.h"
#include "proxy/proxy_messages.h"
#include "proxy/switch_plan.h"
#include "proxy/wininet_proxy.h"

namespace {

// Read at every call: a change in the options counts from the next switch on.
BrowserSwitchPlan ReadPlan() {
  const IniSettings* settings = Settings();
  if (!settings) return PlanBrowserSwitch(kDefaultBrowserIE, kDefaultBrowserFirefox, kDefaultFirefoxControlMode);
  return PlanBrowserSwitch(settings->ReadBool(kSectionConfig, kKeyBrowserIE, kDefaultBrowserIE),
                           settings->ReadBool(kSectionConfig, kKeyBrowserFirefox, kDefaultBrowserFirefox),
                           settings->ReadInteger(kSectionConfig, kKeyFirefoxControlMode, kDefaultFirefoxControlMode));
}

void RefuseProxy(const std::string& proxy) {
  Report(kInvalidProxyLogPrefix + LoggableText(proxy));
  ShowMessageBox(kProgramName, kInvalidProxyText, MessageKind::Error, mbOK);
}

}  // namespace

void SetBrowserProxy(bool enable, const std::string& proxy, const std::string& label, const std::string& bypass) {
  // Checked once, here: the back-ends are only ever given a valid address.
  const std::optional<ProxyAddress> address = ProxyAddress::Parse(proxy);
  if (enable && !address) {
    RefuseProxy(proxy);
    return;
  }
  const std::optional<ProxyAddress> applied = enable ? address : std::nullopt;
  const BrowserSwitchPlan plan = ReadPlan();
  if (plan.winInetFollowsCall)
    SetAllConnectionsProxy(applied, bypass);
  else
    SetAllConnectionsProxy(std::nullopt, "");
  if (plan.firefox == FirefoxBackend::PrefsFile)
    SetFirefoxPrefs(applied, bypass);
  else if (plan.firefox == FirefoxBackend::Addon)
    WriteAddonHandoff(enable, address, label, bypass);
  if (enable) {
    ArmCrashRestore(plan.firefox);
    // Only the program itself (its path is known once start-up ran) asks
    // Windows to undo a session it could not end.
    if (!Paths().ExePath.empty()) SetRestoreAtLogon(Paths().ExePath);
  } else {
    DisarmCrashRestore();
    ClearRestoreAtLogon();
  }
}

std::string FirefoxNotCovered() {
  const BrowserSwitchPlan plan = ReadPlan();
  return FirefoxNotCoveredReason(plan.firefox,
                                 plan.firefox == FirefoxBackend::PrefsFile && !FindFirefoxProfile().empty(),
                                 plan.firefox == FirefoxBackend::Addon && !AddonHandoffPath().empty());
}
