// The current user's WinINet proxy settings, which Internet Explorer and every
// browser that follows the system's settings use.
#pragma once

#include <windows.h>
#include <wininet.h>
#include <ras.h>

#include <optional>
#include <string>
#include <vector>

#include "proxy/proxy_address.h"

// With a proxy: the LAN setting and each active dial-up or VPN connection, for
// every protocol; returns the entries written besides the LAN. Without one:
// direct access for the LAN setting, every entry written since the switch,
// `alsoRestore` (entries an earlier process wrote) and every one active now.
std::vector<std::string> SetAllConnectionsProxy(const std::optional<ProxyAddress>& proxy, const std::string& bypass,
                                                const std::vector<std::string>& alsoRestore = {});
// Whether every connection the last apply wrote still holds its proxy (true
// when no apply is in force).
bool WinInetSessionInEffect();
// Active dial-up or VPN entries that no apply since the switch has written.
std::vector<std::string> DialUpConnectionsSinceSwitch();
// Stores one connection's option list (empty name: the LAN setting), then tells
// WinINet clients to reread. True when WinINet accepted the list.
bool SetConnectionProxy(const std::string& connectionName, const std::optional<ProxyAddress>& proxy,
                        const std::string& bypass);
// Stores one connection's option list (null: the LAN setting), then tells
// WinINet clients to reread whatever the store's outcome. Allocates nothing.
bool StoreOptionList(char* connection, INTERNET_PER_CONN_OPTIONA* options, DWORD count);
// Direct access as SetAllConnectionsProxy without a proxy writes it, but on
// the stack alone: for a crashing process.
void SetAllConnectionsDirectNow();
// Appends the entry names of the active dial-up connections; returns their count,
// 0 on any error (more than the buffer's 10 records included).
int EnumDialUpConnections(std::vector<std::string>& names);

// RASCONNA in its earliest layout; the platform's own size for the build's bitness.
struct RasConnV1 {
  DWORD dwSize;
  HRASCONN hrasconn;
  CHAR szEntryName[RAS_MaxEntryName + 1];
  CHAR szDeviceType[RAS_MaxDeviceType + 1];
  CHAR szDeviceName[RAS_MaxDeviceName + 1];
};
static_assert(sizeof(void*) != 4 || sizeof(RasConnV1) == 412, "the 32-bit record is 412 bytes");
inline constexpr DWORD kDialUpRecords = 10;

// The two platform calls, replaceable where Wine cannot play the situation (it
// reports no dial-up connection and ignores connection names and bypass lists).
// Null puts the platform's own function back.
using RasEnumConnectionsFn = DWORD(WINAPI*)(LPRASCONNA, LPDWORD, LPDWORD);
using InternetSetOptionFn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);
void SetRasEnumConnectionsForTest(RasEnumConnectionsFn fn);
void SetInternetSetOptionForTest(InternetSetOptionFn fn);
