// What one per-connection proxy store holds, and which connections a switch writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "proxy/proxy_address.h"

inline constexpr unsigned kProxyTypeDirect = 1;  // PROXY_TYPE_DIRECT
inline constexpr unsigned kProxyTypeProxy = 2;   // PROXY_TYPE_PROXY

struct ConnectionProxyOptions {
  unsigned flags = kProxyTypeDirect;  // replaces the stored flags whole
  std::string server;                 // host:port for every protocol, empty for direct
  bool withBypass = false;            // a third option only when there is a bypass text
  std::string bypass;
};

// Without a proxy: direct access, server empty. The bypass text goes in
// unchanged apart from control characters, which never reach the registry.
ConnectionProxyOptions ProxyOptionsFor(const std::optional<ProxyAddress>& proxy, std::string_view bypass);

// The LAN setting ("") and each active dial-up or VPN connection in the
// platform's order: when a VPN drops, WinINet falls back to the LAN setting,
// which must then hold the session too.
std::vector<std::string> ConnectionsToWrite(const std::vector<std::string>& dialUp);

// A restore leaves no connection on the proxy: the LAN setting, every dial-up
// or VPN entry that was active at the switch and every one active now, each once.
std::vector<std::string> ConnectionsToRestore(const std::vector<std::string>& atSwitch,
                                              const std::vector<std::string>& activeNow);
