#include "proxy/wininet_proxy.h"

#include <cstring>

#include "proxy/wininet_options.h"
#include "proxy/wininet_own_settings.h"

namespace {

RasEnumConnectionsFn gRasEnumConnections = &RasEnumConnectionsA;
InternetSetOptionFn gInternetSetOption = &InternetSetOptionA;

// What the applies since the last restore wrote. The dial-up names are kept in
// fixed storage: a crashing process reads them without allocating.
struct AppliedSession {
  bool applied = false;
  std::string server;                        // host:port of the last apply
  std::vector<std::string> lastConnections;  // what the last apply wrote ("" the LAN)
  char dialUp[kDialUpRecords][RAS_MaxEntryName + 1] = {};
  DWORD dialUpCount = 0;  // every entry written since the switch
};
AppliedSession gApplied;

bool WasAppliedTo(const char* name) {
  for (DWORD i = 0; i < gApplied.dialUpCount; ++i)
    if (std::strcmp(gApplied.dialUp[i], name) == 0) return true;
  return false;
}

void RememberApply(const ProxyAddress& proxy, const std::vector<std::string>& dialUp) {
  gApplied.applied = true;
  gApplied.server = proxy.Text();
  gApplied.lastConnections = ConnectionsToWrite(dialUp);
  for (const std::string& name : dialUp) {
    if (WasAppliedTo(name.c_str()) || gApplied.dialUpCount == kDialUpRecords) continue;
    strncpy(gApplied.dialUp[gApplied.dialUpCount], name.c_str(), RAS_MaxEntryName);
    ++gApplied.dialUpCount;
  }
}

void ForgetApply() {
  gApplied.applied = false;
  gApplied.server.clear();
  gApplied.lastConnections.clear();
  gApplied.dialUpCount = 0;
}

std::vector<std::string> AppliedDialUps() {
  std::vector<std::string> names;
  for (DWORD i = 0; i < gApplied.dialUpCount; ++i) names.emplace_back(gApplied.dialUp[i]);
  return names;
}

// Flags and server of one connection as WinINet reads them now.
bool HoldsProxy(const std::string& connection, const std::string& server) {
  ConnectionSettings now;
  now.name = connection;
  return ReadConnectionSettings(now) && (now.flags & PROXY_TYPE_PROXY) != 0 && now.server == server;
}

// One per-connection store (null connection: the LAN setting; null bypass:
// two options only), then the two notifications whatever its outcome.
bool StoreOptions(char* connection, DWORD flags, char* server, char* bypass) {
  INTERNET_PER_CONN_OPTIONA options[3] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[0].Value.dwValue = flags;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[1].Value.pszValue = server;
  options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
  options[2].Value.pszValue = bypass;

  return StoreOptionList(connection, options, bypass ? 3 : 2);
}

// The active dial-up connections, 0 on any error. One call: more than ten
// active connections count as none.
DWORD EnumDialUpRecords(RasConnV1 (&records)[kDialUpRecords]) {
  records[0].dwSize = sizeof(RasConnV1);
  DWORD bytes = sizeof(records);
  DWORD count = 0;
  if (gRasEnumConnections(reinterpret_cast<LPRASCONNA>(records), &bytes, &count) != 0) return 0;
  return count > kDialUpRecords ? 0 : count;
}

}  // namespace

bool StoreOptionList(char* connection, INTERNET_PER_CONN_OPTIONA* options, DWORD count) {
  INTERNET_PER_CONN_OPTION_LISTA list = {};
  list.dwSize = sizeof(list);
  list.pszConnection = connection;
  list.dwOptionCount = count;
  list.dwOptionError = 0;
  list.pOptions = options;
  const BOOL stored = gInternetSetOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list));
  gInternetSetOption(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
  gInternetSetOption(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
  return stored != FALSE;
}

void SetRasEnumConnectionsForTest(RasEnumConnectionsFn fn) {
  gRasEnumConnections = fn ? fn : &RasEnumConnectionsA;
}

void SetInternetSetOptionForTest(InternetSetOptionFn fn) { gInternetSetOption = fn ? fn : &InternetSetOptionA; }

std::vector<std::string> SetAllConnectionsProxy(const std::optional<ProxyAddress>& proxy, const std::string& bypass,
                                                const std::vector<std::string>& alsoRestore) {
  std::vector<std::string> dialUp;
  EnumDialUpConnections(dialUp);
  if (!proxy) {
    std::vector<std::string> written = AppliedDialUps();
    written.insert(written.end(), alsoRestore.begin(), alsoRestore.end());
    for (const std::string& connection : ConnectionsToRestore(written, dialUp))
      SetConnectionProxy(connection, proxy, bypass);
    ForgetApply();
    return {};
  }
  for (const std::string& connection : ConnectionsToWrite(dialUp)) SetConnectionProxy(connection, proxy, bypass);
  RememberApply(*proxy, dialUp);
  return dialUp;
}

bool WinInetSessionInEffect() {
  if (!gApplied.applied) return true;
  for (const std::string& connection : gApplied.lastConnections)
    if (!HoldsProxy(connection, gApplied.server)) return false;
  return true;
}

std::vector<std::string> DialUpConnectionsSinceSwitch() {
  std::vector<std::string> now, added;
  if (!gApplied.applied) return added;
  EnumDialUpConnections(now);
  for (const std::string& name : now)
    if (!WasAppliedTo(name.c_str())) added.push_back(name);
  return added;
}

bool SetConnectionProxy(const std::string& connectionName, const std::optional<ProxyAddress>& proxy,
                        const std::string& bypass) {
  const ConnectionProxyOptions plan = ProxyOptionsFor(proxy, bypass);
  // The list points into these copies; WinINet wants writable texts.
  std::string connection = connectionName, server = plan.server, bypassText = plan.bypass;
  return StoreOptions(connection.empty() ? nullptr : connection.data(), plan.flags, server.data(),
                      plan.withBypass ? bypassText.data() : nullptr);
}

void SetAllConnectionsDirectNow() {
  // As ConnectionsToRestore orders them: the LAN, the entries written since
  // the switch, then the other active ones. (Entries of an earlier process
  // were restored at this one's start.)
  RasConnV1 records[kDialUpRecords] = {};
  const DWORD count = EnumDialUpRecords(records);
  char noServer[1] = "";
  StoreOptions(nullptr, kProxyTypeDirect, noServer, nullptr);
  for (DWORD i = 0; i < gApplied.dialUpCount; ++i)
    StoreOptions(gApplied.dialUp[i], kProxyTypeDirect, noServer, nullptr);
  for (DWORD i = 0; i < count; ++i)
    if (records[i].szEntryName[0] != '\0' && !WasAppliedTo(records[i].szEntryName))
      StoreOptions(records[i].szEntryName, kProxyTypeDirect, noServer, nullptr);
}

int EnumDialUpConnections(std::vector<std::string>& names) {
  RasConnV1 records[kDialUpRecords] = {};
  const DWORD count = EnumDialUpRecords(records);
  for (DWORD i = 0; i < count; ++i)
    names.emplace_back(records[i].szEntryName, strnlen(records[i].szEntryName, sizeof(records[i].szEntryName)));
  return static_cast<int>(count);
}
