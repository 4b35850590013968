#include "proxy/own_settings.h"

#include <algorithm>

#include "base/ini_value.h"

namespace {

constexpr const char* kKeyConnections = "Connections";
constexpr const char* kKeyFirefoxPrefs = "FirefoxPrefs";
constexpr const char* kKeyProgramsOwn = "ProgramsOwn";
constexpr unsigned kFlagsKnown = 0xF;
// RAS lists at most ten active entries; a damaged file must not make more.
constexpr int kMaxRecorded = 64;

std::string ConnectionKey(int index, const char* field) { return "Connection" + std::to_string(index) + field; }
std::string PrefKey(int index) { return "FirefoxPref" + std::to_string(index); }

// The hosts a WinINet server text names: "host:port", or per protocol
// "http=host:port;https=host:port".
std::vector<std::string> ServerHosts(std::string_view server) {
  std::vector<std::string> hosts;
  while (!server.empty()) {
    const std::size_t end = std::min(server.find(';'), server.size());
    std::string_view entry = server.substr(0, end);
    server.remove_prefix(std::min(end + 1, server.size()));
    if (const std::size_t equals = entry.find('='); equals != std::string_view::npos) entry.remove_prefix(equals + 1);
    if (const std::size_t colon = entry.rfind(':'); colon != std::string_view::npos) entry = entry.substr(0, colon);
    if (!entry.empty()) hosts.emplace_back(entry);
  }
  return hosts;
}

bool IsProxyHostPref(const std::string& name) {
  return name == "network.proxy.http" || name == "network.proxy.ssl" || name == "network.proxy.ftp" ||
         name == "network.proxy.socks" || name == "network.proxy.gopher";
}

}  // namespace

bool NamesProxyHost(const OwnSettings& own, const std::vector<std::string>& hosts) {
  const auto known = [&hosts](std::string_view host) {
    return !host.empty() && std::find(hosts.begin(), hosts.end(), host) != hosts.end();
  };
  for (const ConnectionSettings& connection : own.connections)
    for (const std::string& host : ServerHosts(connection.server))
      if (known(host)) return true;
  if (own.firefox)
    for (const PrefLine& pref : *own.firefox)
      if (IsProxyHostPref(pref.name) && pref.value.size() >= 2 && known(std::string_view(pref.value).substr(1, pref.value.size() - 2)))
        return true;
  return false;
}

std::vector<PerConnOption> PutBackOptions(const ConnectionSettings& connection) {
  return {{kPerConnFlags, connection.flags, ""},
          {kPerConnProxyServer, 0, connection.server},
          {kPerConnProxyBypass, 0, connection.bypass},
          {kPerConnAutoConfigUrl, 0, connection.autoConfigUrl}};
}

std::vector<std::pair<std::string, std::string>> OwnSettingsIniEntries(const OwnSettings& own) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.emplace_back(kKeyConnections, std::to_string(own.connections.size()));
  for (std::size_t i = 0; i < own.connections.size(); ++i) {
    const ConnectionSettings& c = own.connections[i];
    const int n = static_cast<int>(i) + 1;
    entries.emplace_back(ConnectionKey(n, "Name"), IniSafeText(c.name));
    entries.emplace_back(ConnectionKey(n, "Flags"), std::to_string(c.flags));
    entries.emplace_back(ConnectionKey(n, "Server"), IniSafeText(c.server));
    entries.emplace_back(ConnectionKey(n, "Bypass"), IniSafeText(c.bypass));
    entries.emplace_back(ConnectionKey(n, "AutoConfigUrl"), IniSafeText(c.autoConfigUrl));
  }
  if (own.firefox) {
    entries.emplace_back(kKeyFirefoxPrefs, std::to_string(own.firefox->size()));
    for (std::size_t i = 0; i < own.firefox->size(); ++i)
      entries.emplace_back(PrefKey(static_cast<int>(i) + 1),
                           IniSafeText((*own.firefox)[i].name + "=" + (*own.firefox)[i].value));
  }
  entries.emplace_back(kKeyProgramsOwn, IniBoolText(own.programsOwn));
  return entries;
}

std::optional<OwnSettings> OwnSettingsFromIni(
    const std::function<std::optional<std::string>(const std::string& key)>& value) {
  const std::optional<std::string> count = value(kKeyConnections);
  if (!count) return std::nullopt;
  const auto text = [&value](const std::string& key) { return FromIniSafeText(value(key).value_or("")); };
  OwnSettings own;
  const int connections = std::clamp(ParseIniInteger(*count, 0), 0, kMaxRecorded);
  for (int n = 1; n <= connections; ++n) {
    ConnectionSettings c;
    c.name = text(ConnectionKey(n, "Name"));
    // Only the four PROXY_TYPE_* bits; none of them is direct access.
    c.flags = static_cast<unsigned>(ParseIniInteger(value(ConnectionKey(n, "Flags")).value_or(""), 0)) & kFlagsKnown;
    if (c.flags == 0) c.flags = kFlagsDirect;
    c.server = text(ConnectionKey(n, "Server"));
    c.bypass = text(ConnectionKey(n, "Bypass"));
    c.autoConfigUrl = text(ConnectionKey(n, "AutoConfigUrl"));
    own.connections.push_back(std::move(c));
  }
  if (const std::optional<std::string> prefs = value(kKeyFirefoxPrefs)) {
    own.firefox.emplace();
    const int n = std::clamp(ParseIniInteger(*prefs, 0), 0, kMaxRecorded);
    for (int i = 1; i <= n; ++i) {
      const std::string line = text(PrefKey(i));
      const std::size_t equals = line.find('=');
      // Read back through the prefs reader: only a value Firefox would take is ever written out again.
      if (equals == std::string::npos) continue;
      const std::vector<PrefLine> parsed =
          ParsePrefLines("user_pref(\"" + line.substr(0, equals) + "\", " + line.substr(equals + 1) + ");");
      if (parsed.size() == 1) own.firefox->push_back(parsed[0]);
    }
  }
  own.programsOwn = value(kKeyProgramsOwn).value_or("0") == "1";
  return own;
}
