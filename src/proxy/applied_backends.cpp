#include "proxy/applied_backends.h"

#include <algorithm>
#include <cstdlib>

#include "base/ini_value.h"

namespace {

constexpr const char* kKeyFirefoxPrefs = "FirefoxPrefs";
constexpr const char* kKeyFirefoxAddon = "FirefoxAddon";
constexpr const char* kKeyConnections = "Connections";
constexpr const char* kKeyConnection = "Connection";
// RAS lists at most ten active entries at a time; a long session may meet more.
constexpr int kMaxRemembered = 64;

void AddEntry(std::vector<std::string>& names, const std::string& name) {
  if (name.empty() || std::find(names.begin(), names.end(), name) != names.end()) return;
  if (names.size() < kMaxRemembered) names.push_back(name);
}

}  // namespace

void AddApply(AppliedBackends& applied, const BrowserSwitchPlan& plan, const std::vector<std::string>& proxiedEntries) {
  for (const std::string& name : proxiedEntries) AddEntry(applied.connections, name);
  applied.firefoxPrefs = applied.firefoxPrefs || plan.firefox == FirefoxBackend::PrefsFile;
  applied.firefoxAddon = applied.firefoxAddon || plan.firefox == FirefoxBackend::Addon;
}

AppliedBackends Union(const AppliedBackends& a, const AppliedBackends& b) {
  AppliedBackends both = a;
  for (const std::string& name : b.connections) AddEntry(both.connections, name);
  both.firefoxPrefs = a.firefoxPrefs || b.firefoxPrefs;
  both.firefoxAddon = a.firefoxAddon || b.firefoxAddon;
  return both;
}

RestorePlan PlanRestore(const AppliedBackends& applied, const BrowserSwitchPlan& now) {
  RestorePlan plan;
  plan.connections = applied.connections;
  plan.firefoxPrefs = applied.firefoxPrefs || now.firefox == FirefoxBackend::PrefsFile;
  plan.firefoxAddon = applied.firefoxAddon || now.firefox == FirefoxBackend::Addon;
  return plan;
}

std::vector<std::pair<std::string, std::string>> AppliedIniEntries(const AppliedBackends& applied) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.emplace_back(kKeyFirefoxPrefs, applied.firefoxPrefs ? "1" : "0");
  entries.emplace_back(kKeyFirefoxAddon, applied.firefoxAddon ? "1" : "0");
  entries.emplace_back(kKeyConnections, std::to_string(applied.connections.size()));
  for (std::size_t i = 0; i < applied.connections.size(); ++i)
    entries.emplace_back(kKeyConnection + std::to_string(i + 1), IniSafeText(applied.connections[i]));
  return entries;
}

AppliedBackends AppliedFromIni(const std::function<std::optional<std::string>(const std::string& key)>& value) {
  AppliedBackends applied;
  applied.firefoxPrefs = value(kKeyFirefoxPrefs).value_or("0") == "1";
  applied.firefoxAddon = value(kKeyFirefoxAddon).value_or("0") == "1";
  const int count = std::atoi(value(kKeyConnections).value_or("0").c_str());
  for (int i = 1; i <= std::min(count, kMaxRemembered); ++i)
    if (const std::optional<std::string> name = value(kKeyConnection + std::to_string(i)))
      AddEntry(applied.connections, FromIniSafeText(*name));
  return applied;
}
