#include "proxy/own_settings_win.h"

#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "host/text_file.h"
#include "proxy/firefox_prefs.h"
#include "proxy/firefox_profile.h"
#include "proxy/own_settings.h"
#include "proxy/user_js_text.h"
#include "proxy/wininet_own_settings.h"
#include "proxy/wininet_proxy.h"

namespace {

constexpr const char* kPrefsJsName = "prefs.js";
constexpr const char* kPutBackText = "Own proxy settings restored";
constexpr const char* kStaleText = "Own proxy settings not restored: they named a Nimvara proxy (direct access instead)";

std::vector<std::string> gProgramsHosts;

struct PendingConnection {
  std::string name;
  std::vector<PerConnOption> options;
};
// Made while the crash restore is disarmed, only read once it is armed.
std::vector<PendingConnection> gPendingConnections;

std::optional<OwnSettings> StoredRecord(const IniSettings& settings) {
  return OwnSettingsFromIni(
      [&settings](const std::string& key) { return settings.ReadValue(kSectionOwnSettings, key.c_str()); });
}

// The values in force in the default profile: user.js (with the lines an
// earlier version set aside, which come back first), then prefs.js.
std::optional<std::vector<PrefLine>> FirefoxInForce() {
  const std::string profile = FindFirefoxProfile();
  if (profile.empty()) return std::nullopt;
  std::optional<std::string> userJs, setAside;
  ReadFileIfAny(profile + kUserJsName, userJs);
  ReadFileIfAny(profile + kUserJsName + kUserJsBackupSuffix, setAside);
  const UserJsOwnLines own = OwnUserJsLines(userJs, setAside);
  const std::string read = (own.setAsideTakenBack ? own.lines : std::string()) + userJs.value_or(std::string());
  return FirefoxPrefsInForce(read, ReadWholeFile(profile + kPrefsJsName));
}

// The record to write back, when the user asks for one and it is the user's.
std::optional<OwnSettings> RecordToPutBack(const IniSettings& settings, bool report) {
  std::optional<OwnSettings> own = StoredRecord(settings);
  if (!own || !settings.ReadBool(kSectionConfig, kKeyRestoreOwnSettings, kDefaultRestoreOwnSettings))
    return std::nullopt;
  if (own->programsOwn || NamesProxyHost(*own, gProgramsHosts)) {
    if (report) Report(kStaleText);
    return std::nullopt;
  }
  return own;
}

}  // namespace

void RecordOwnSettings(bool firefoxPrefs, const std::string& appliedHost) {
  IniSettings* settings = Settings();
  if (!settings || StoredRecord(*settings)) return;
  OwnSettings own;
  std::vector<std::string> names{std::string()};
  EnumDialUpConnections(names);
  for (const std::string& name : names) {
    ConnectionSettings connection;
    connection.name = name;
    if (ReadConnectionSettings(connection)) own.connections.push_back(std::move(connection));
  }
  if (firefoxPrefs) own.firefox = FirefoxInForce();
  std::vector<std::string> hosts = gProgramsHosts;
  if (!appliedHost.empty()) hosts.push_back(appliedHost);
  own.programsOwn = NamesProxyHost(own, hosts);
  for (const auto& [key, value] : OwnSettingsIniEntries(own))
    settings->WriteString(kSectionOwnSettings, key.c_str(), value);
}

void RecordOwnSettingsBeforeRestore(bool firefoxPrefs) {
  const IniSettings* settings = Settings();
  if (settings && settings->ReadBool(kSectionConfig, kKeyRestoreOwnSettings, kDefaultRestoreOwnSettings))
    RecordOwnSettings(firefoxPrefs, "");
}

void PutBackOwnSettings() {
  IniSettings* settings = Settings();
  if (!settings) return;
  const std::optional<OwnSettings> own = RecordToPutBack(*settings, true);
  settings->EraseSection(kSectionOwnSettings);
  if (!own) return;
  for (const ConnectionSettings& connection : own->connections) WriteConnectionSettings(connection);
  Report(kPutBackText);
}

void NoteProgramsProxyHosts(std::vector<std::string> hosts) { gProgramsHosts = std::move(hosts); }

std::optional<std::vector<PrefLine>> FirefoxPutBackNow() {
  const IniSettings* settings = Settings();
  const std::optional<OwnSettings> own = settings ? RecordToPutBack(*settings, false) : std::nullopt;
  return own ? own->firefox : std::nullopt;
}

void PrepareOwnSettingsNow() {
  gPendingConnections.clear();
  const IniSettings* settings = Settings();
  const std::optional<OwnSettings> own = settings ? RecordToPutBack(*settings, false) : std::nullopt;
  if (!own) return;
  for (const ConnectionSettings& connection : own->connections)
    gPendingConnections.push_back({connection.name, PutBackOptions(connection)});
}

void PutBackOwnSettingsNow() {
  for (const PendingConnection& connection : gPendingConnections)
    StoreConnectionOptions(connection.name, connection.options);
}
