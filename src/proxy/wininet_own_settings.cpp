#include "proxy/wininet_own_settings.h"

#include <windows.h>
#include <wininet.h>

#include "host/unique_handle.h"
#include "proxy/wininet_proxy.h"

namespace {

constexpr DWORD kMaxOptions = 4;  // flags, server, bypass list, auto-config URL

// WinINet allocates the texts it answers with; the caller frees them.
std::string TakeText(LPSTR text) {
  UniqueGlobalMemory owned(reinterpret_cast<HGLOBAL>(text));
  return text ? std::string(text) : std::string();
}

}  // namespace

bool ReadConnectionSettings(ConnectionSettings& connection) {
  INTERNET_PER_CONN_OPTIONA options[4] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
  options[3].dwOption = INTERNET_PER_CONN_AUTOCONFIG_URL;
  INTERNET_PER_CONN_OPTION_LISTA list{};
  list.dwSize = sizeof(list);
  list.pszConnection = connection.name.empty() ? nullptr : const_cast<char*>(connection.name.c_str());
  list.dwOptionCount = 4;
  list.pOptions = options;
  DWORD size = sizeof(list);
  if (!InternetQueryOptionA(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size)) return false;
  connection.flags = options[0].Value.dwValue;
  connection.server = TakeText(options[1].Value.pszValue);
  connection.bypass = TakeText(options[2].Value.pszValue);
  connection.autoConfigUrl = TakeText(options[3].Value.pszValue);
  return true;
}

bool WriteConnectionSettings(const ConnectionSettings& connection) {
  return StoreConnectionOptions(connection.name, PutBackOptions(connection));
}

bool StoreConnectionOptions(const std::string& name, const std::vector<PerConnOption>& wanted) {
  INTERNET_PER_CONN_OPTIONA options[kMaxOptions] = {};
  DWORD count = 0;
  for (const PerConnOption& option : wanted) {
    if (count == kMaxOptions) break;
    options[count].dwOption = option.option;
    if (option.option == kPerConnFlags)
      options[count].Value.dwValue = option.flags;
    else
      options[count].Value.pszValue = const_cast<char*>(option.text.c_str());
    ++count;
  }
  return StoreOptionList(name.empty() ? nullptr : const_cast<char*>(name.c_str()), options, count);
}

static_assert(kPerConnFlags == INTERNET_PER_CONN_FLAGS && kPerConnProxyServer == INTERNET_PER_CONN_PROXY_SERVER &&
              kPerConnProxyBypass == INTERNET_PER_CONN_PROXY_BYPASS &&
              kPerConnAutoConfigUrl == INTERNET_PER_CONN_AUTOCONFIG_URL && kFlagsDirect == PROXY_TYPE_DIRECT);
