#include "proxy/wininet_options.h"

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
  if (dialUp.empty()) return {std::string()};
  return dialUp;
}
