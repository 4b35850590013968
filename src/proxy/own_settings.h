// The user's own proxy settings as they were before a session: recorded at its
// first apply and, when the user asks for it ("RestoreOwnSettings"), written
// back by every restore instead of direct access. Kept in the settings file,
// so that "/restore" and the crash restore find it too.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "proxy/pref_lines.h"

inline constexpr const char* kSectionOwnSettings = "OwnSettings";

// WinINet's per-connection values (INTERNET_PER_CONN_*).
inline constexpr unsigned kPerConnFlags = 1;
inline constexpr unsigned kPerConnProxyServer = 2;
inline constexpr unsigned kPerConnProxyBypass = 3;
inline constexpr unsigned kPerConnAutoConfigUrl = 4;
inline constexpr unsigned kFlagsDirect = 0x1;  // PROXY_TYPE_DIRECT

struct ConnectionSettings {
  std::string name;  // empty: the LAN setting
  unsigned flags = kFlagsDirect;
  std::string server;
  std::string bypass;
  std::string autoConfigUrl;
  bool operator==(const ConnectionSettings&) const = default;
};

struct OwnSettings {
  std::vector<ConnectionSettings> connections;   // the LAN setting first, then dial-up or VPN entries
  std::optional<std::vector<PrefLine>> firefox;  // none when Firefox's prefs file was not switched
  bool programsOwn = false;  // it named a proxy of the program's: a stale session, not the user's
  bool operator==(const OwnSettings&) const = default;
};

// Whether the record names one of `hosts` (the catalogue's proxies, the one
// being applied) as a proxy: then it is what a session of the program's left.
bool NamesProxyHost(const OwnSettings& own, const std::vector<std::string>& hosts);

// One option of a per-connection option list.
struct PerConnOption {
  unsigned option;
  unsigned flags;     // for kPerConnFlags
  std::string text;   // for the others
  bool operator==(const PerConnOption&) const = default;
};
// What writes a connection back as it was: every value, the empty ones too,
// so that nothing the session left stays.
std::vector<PerConnOption> PutBackOptions(const ConnectionSettings& connection);

// The settings file's form: keys of section "OwnSettings".
std::vector<std::pair<std::string, std::string>> OwnSettingsIniEntries(const OwnSettings& own);
// None when there is no record (no session since the last restore).
std::optional<OwnSettings> OwnSettingsFromIni(
    const std::function<std::optional<std::string>(const std::string& key)>& value);
