#include "proxy/addon_handoff_text.h"

#include "proxy/proxy_address.h"

namespace {

std::string Line(std::string_view field) { return WithoutControlChars(field) + "\r\n"; }

}  // namespace

std::string AddonHandoffText(bool enable, const std::optional<ProxyAddress>& proxy, std::string_view label,
                             std::string_view bypass) {
  std::string commas(bypass);
  for (char& c : commas)
    if (c == ';') c = ',';
  return Line("0") + Line(enable ? "-1" : "0") + Line(label) + Line(commas) + Line(proxy ? proxy->Host() : "") +
         Line(proxy ? proxy->Port() : "");
}
