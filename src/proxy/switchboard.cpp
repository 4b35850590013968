#include "proxy/switchboard.h"

#include "base/message_box.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "host/restore_at_logon.h"
#include "proxy/applied_backends.h"
#include "proxy/crash_restore.h"
#include "proxy/firefox_addon.h"
#include "proxy/firefox_prefs.h"
#include "proxy/firefox_profile.h"
#include "proxy/own_settings_win.h"
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

// What this process has applied since its last restore. The settings file
// holds the same for a later process; this copy counts when the file cannot
// be written.
AppliedBackends gApplied;

AppliedBackends StoredApplied() {
  const IniSettings* settings = Settings();
  if (!settings) return {};
  return AppliedFromIni(
      [settings](const std::string& key) { return settings->ReadValue(kSectionApplied, key.c_str()); });
}

void StoreApplied() {
  IniSettings* settings = Settings();
  if (!settings) return;
  settings->EraseSection(kSectionApplied);
  if (!gApplied.Any()) return;
  for (const auto& [key, value] : AppliedIniEntries(gApplied))
    settings->WriteString(kSectionApplied, key.c_str(), value);
}

void RememberApply(const BrowserSwitchPlan& plan, const std::vector<std::string>& proxied) {
  gApplied = Union(gApplied, StoredApplied());
  AddApply(gApplied, plan, proxied);
  StoreApplied();
}

void Apply(const BrowserSwitchPlan& plan, const ProxyAddress& address, const std::string& label,
           const std::string& bypass) {
  RecordOwnSettings(plan.firefox == FirefoxBackend::PrefsFile, address.Host());
  std::vector<std::string> proxied;
  if (plan.winInetFollowsCall)
    proxied = SetAllConnectionsProxy(address, bypass);
  else
    SetAllConnectionsProxy(std::nullopt, "");
  // Remembered, and the safety nets set, before Firefox's file: its box may
  // wait for the user, and a kill then must still undo everything.
  RememberApply(plan, proxied);
  // Only the program itself (its path is known once start-up ran) asks
  // Windows to undo a session it could not end.
  if (!Paths().ExePath.empty()) SetRestoreAtLogon(Paths().ExePath);
  ArmCrashRestore(gApplied);
  if (plan.firefox == FirefoxBackend::PrefsFile)
    SetFirefoxPrefs(address, bypass);
  else if (plan.firefox == FirefoxBackend::Addon)
    WriteAddonHandoff(true, address, label, bypass);
  ArmCrashRestore(gApplied);  // with the file as it is now
}

// Everything applied, by this process or one that was killed, and what the
// options select now.
void Restore(const BrowserSwitchPlan& plan) {
  const RestorePlan restore = PlanRestore(Union(gApplied, StoredApplied()), plan);
  RecordOwnSettingsBeforeRestore(restore.firefoxPrefs);
  SetAllConnectionsProxy(std::nullopt, "", restore.connections);
  // One write of Firefox's file, with the user's own values when they are to come back.
  if (restore.firefoxPrefs) SetFirefoxPrefs(std::nullopt, "", FirefoxPutBackNow());
  if (restore.firefoxAddon) WriteAddonHandoff(false, std::nullopt, "", "");
  PutBackOwnSettings();
  gApplied = {};
  StoreApplied();
  DisarmCrashRestore();
  ClearRestoreAtLogon();
}

}  // namespace

void SetBrowserProxy(bool enable, const std::string& proxy, const std::string& label, const std::string& bypass) {
  // Checked once, here: the back-ends are only ever given a valid address.
  const std::optional<ProxyAddress> address = ProxyAddress::Parse(proxy);
  if (enable && !address) {
    RefuseProxy(proxy);
    return;
  }
  if (enable)
    Apply(ReadPlan(), *address, label, bypass);
  else
    Restore(ReadPlan());
}

void SetWinInetProxyAgain(const std::string& proxy, const std::string& bypass) {
  const std::optional<ProxyAddress> address = ProxyAddress::Parse(proxy);
  BrowserSwitchPlan plan = ReadPlan();
  if (!address || !plan.winInetFollowsCall) return;
  plan.firefox = FirefoxBackend::None;
  RememberApply(plan, SetAllConnectionsProxy(address, bypass));
}

bool WinInetSelected() { return ReadPlan().winInetFollowsCall; }

std::string FirefoxNotCovered() {
  const BrowserSwitchPlan plan = ReadPlan();
  return FirefoxNotCoveredReason(plan.firefox,
                                 plan.firefox == FirefoxBackend::PrefsFile && !FindFirefoxProfile().empty(),
                                 plan.firefox == FirefoxBackend::Addon && !AddonHandoffPath().empty());
}
