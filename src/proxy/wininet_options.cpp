#include "proxy/wininet_options.h"

#include <algorithm>

#include "proxy/proxy_address.h"

ConnectionProxyOptions ProxyOptionsFor(const std::optional<ProxyAddress>& proxy, std::string_view bypass) {
  ConnectionProxyOptions options;
  options.flags = proxy ? kProxyTypeProxy : kProxyTypeDirect;
  options.server = proxy ? proxy->Text() : std::string();
  options.bypass = WithoutControlChars(bypass);
  options.withBypass = !options.bypass.empty();
  return options;
}

std::vector<std::string> ConnectionsToWrite(const std::vector<std::string>& dialUp) {
  return ConnectionsToRestore({}, dialUp);
}

std::vector<std::string> ConnectionsToRestore(const std::vector<std::string>& atSwitch,
                                              const std::vector<std::string>& activeNow) {
  std::vector<std::string> connections{std::string()};
  for (const std::vector<std::string>* list : {&atSwitch, &activeNow})
    for (const std::string& name : *list)
      if (!name.empty() && std::find(connections.begin(), connections.end(), name) == connections.end())
        connections.push_back(name);
  return connections;
}
