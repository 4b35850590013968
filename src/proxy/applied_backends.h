// What the applies since the last restore wrote: the dial-up or VPN entries
// given the proxy besides the LAN setting, and which Firefox back-end. A
// restore undoes all of it as well as what the options select now, so that
// unticking a browser mid-session, or a kill and "/restore", never leaves a
// browser on the proxy. Kept in the settings file for a later process.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "proxy/switch_plan.h"

inline constexpr const char* kSectionApplied = "Applied";

struct AppliedBackends {
  std::vector<std::string> connections;  // dial-up or VPN entries, in the order first written
  bool firefoxPrefs = false;
  bool firefoxAddon = false;

  bool Any() const { return !connections.empty() || firefoxPrefs || firefoxAddon; }
  bool operator==(const AppliedBackends&) const = default;
};

// One apply more: the entries WinINet was given the proxy on (none when it
// was not selected) and the Firefox back-end the plan ran.
void AddApply(AppliedBackends& applied, const BrowserSwitchPlan& plan, const std::vector<std::string>& proxiedEntries);
// Two records of the same session (memory and file) as one.
AppliedBackends Union(const AppliedBackends& a, const AppliedBackends& b);

struct RestorePlan {
  std::vector<std::string> connections;  // dial-up or VPN entries besides the LAN, which is always restored
  bool firefoxPrefs = false;
  bool firefoxAddon = false;
  bool operator==(const RestorePlan&) const = default;
};
// What a restore writes: whatever was applied, and the back-ends selected now.
RestorePlan PlanRestore(const AppliedBackends& applied, const BrowserSwitchPlan& now);

// The settings file's form: keys of section "Applied", entry names kept whole
// (outer blanks, quotes) through the INI's own trimming.
std::vector<std::pair<std::string, std::string>> AppliedIniEntries(const AppliedBackends& applied);
// Read back through `value` (a key's value, or nothing when it is missing).
// A damaged record reads as much as it holds: a restore then does at least that.
AppliedBackends AppliedFromIni(const std::function<std::optional<std::string>(const std::string& key)>& value);
