// The six-line hand-off file that tells the Firefox add-on what to do.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "proxy/proxy_address.h"

inline constexpr const char* kAddonRegistryKey = "Software\\Mozilla\\Firefox\\Extensions";
inline constexpr const char* kAddonId = "{5a3e91c2-6d04-11dd-b7a1-3c9f0e2d4b68}";
inline constexpr const char* kAddonHandoffName = "umbrix.tmp";

// "0", the hiding state ("-1" on, "0" off), label, bypass with ";" made ",",
// host and port (empty without a proxy), CR LF after each. Line breaks inside
// a field are dropped so that every field stays on its own line.
std::string AddonHandoffText(bool enable, const std::optional<ProxyAddress>& proxy, std::string_view label,
                             std::string_view bypass);
