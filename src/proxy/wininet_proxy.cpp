#include "proxy/wininet_proxy.h"

#include <cstring>

#include "proxy/wininet_options.h"

namespace {

RasEnumConnectionsFn gRasEnumConnections = &RasEnumConnectionsA;
InternetSetOptionFn gInternetSetOption = &InternetSetOptionA;

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

  INTERNET_PER_CONN_OPTION_LISTA list = {};
  list.dwSize = sizeof(list);
  list.pszConnection = connection;
  list.dwOptionCount = bypass ? 3 : 2;
  list.dwOptionError = 0;
  list.pOptions = options;

  const BOOL stored = gInternetSetOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list));
  gInternetSetOption(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
  gInternetSetOption(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
  return stored != FALSE;
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

void SetRasEnumConnectionsForTest(RasEnumConnectionsFn fn) {
  gRasEnumConnections = fn ? fn : &RasEnumConnectionsA;
}

void SetInternetSetOptionForTest(InternetSetOptionFn fn) { gInternetSetOption = fn ? fn : &InternetSetOptionA; }

void SetAllConnectionsProxy(const std::optional<ProxyAddress>& proxy, const std::string& bypass) {
  std::vector<std::string> dialUp;
  EnumDialUpConnections(dialUp);
  for (const std::string& connection : ConnectionsToWrite(dialUp)) SetConnectionProxy(connection, proxy, bypass);
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
  RasConnV1 records[kDialUpRecords] = {};
  const DWORD count = EnumDialUpRecords(records);
  char noServer[1] = "";
  if (count == 0) StoreOptions(nullptr, kProxyTypeDirect, noServer, nullptr);
  for (DWORD i = 0; i < count; ++i) StoreOptions(records[i].szEntryName, kProxyTypeDirect, noServer, nullptr);
}

int EnumDialUpConnections(std::vector<std::string>& names) {
  RasConnV1 records[kDialUpRecords] = {};
  const DWORD count = EnumDialUpRecords(records);
  for (DWORD i = 0; i < count; ++i)
    names.emplace_back(records[i].szEntryName, strnlen(records[i].szEntryName, sizeof(records[i].szEntryName)));
  return static_cast<int>(count);
}
