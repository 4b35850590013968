#include "proxy/wininet_proxy.h"

#include <cstring>

#include "proxy/wininet_options.h"

namespace {

RasEnumConnectionsFn gRasEnumConnections = &RasEnumConnectionsA;
InternetSetOptionFn gInternetSetOption = &InternetSetOptionA;

}  // namespace

void SetRasEnumConnectionsForTest(RasEnumConnectionsFn fn) {
  gRasEnumConnections = fn ? fn : &RasEnumConnectionsA;
}

void SetInternetSetOptionForTest(InternetSetOptionFn fn) { gInternetSetOption = fn ? fn : &InternetSetOptionA; }

void SetAllConnectionsProxy(bool enable, const std::string& proxy, const std::string& bypass) {
  std::vector<std::string> dialUp;
  EnumDialUpConnections(dialUp);
  for (const std::string& connection : ConnectionsToWrite(dialUp))
    SetConnectionProxy(enable, connection, proxy, bypass);
}

bool SetConnectionProxy(bool enable, const std::string& connectionName, const std::string& proxy,
                        const std::string& bypass) {
  const ConnectionProxyOptions plan = ProxyOptionsFor(enable, proxy, bypass);
  // The list points into these copies; WinINet wants writable texts.
  std::string connection = connectionName, server = plan.server, bypassText = plan.bypass;

  INTERNET_PER_CONN_OPTIONA options[3] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[0].Value.dwValue = plan.flags;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[1].Value.pszValue = server.data();
  options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
  options[2].Value.pszValue = bypassText.data();

  INTERNET_PER_CONN_OPTION_LISTA list = {};
  list.dwSize = sizeof(list);
  list.pszConnection = connection.empty() ? nullptr : connection.data();  // null: the LAN setting
  list.dwOptionCount = plan.withBypass ? 3 : 2;
  list.dwOptionError = 0;
  list.pOptions = options;

  const BOOL stored = gInternetSetOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list));
  gInternetSetOption(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
  gInternetSetOption(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
  return stored != FALSE;
}

int EnumDialUpConnections(std::vector<std::string>& names) {
  RasConnV1 records[kDialUpRecords] = {};
  records[0].dwSize = sizeof(RasConnV1);
  DWORD bytes = sizeof(records);
  DWORD count = 0;
  // One call: more than ten active connections count as none.
  if (gRasEnumConnections(reinterpret_cast<LPRASCONNA>(records), &bytes, &count) != 0) return 0;
  if (count > kDialUpRecords) return 0;
  for (DWORD i = 0; i < count; ++i)
    names.emplace_back(records[i].szEntryName, strnlen(records[i].szEntryName, sizeof(records[i].szEntryName)));
  return static_cast<int>(count);
}
