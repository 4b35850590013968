// The hand-off file for the Firefox add-on, which does the switching inside Firefox.
#pragma once

#include <optional>
#include <string>

#include "proxy/proxy_address.h"

// The add-on's folder as its installer recorded it (read only, never written);
// empty when there is no entry or the folder does not exist.
std::string FindFirefoxAddon();

// The hand-off file: the recorded folder text + "umbrix.tmp" (no separator is
// added); empty when the add-on is not installed.
std::string AddonHandoffPath();

// Writes the six-line hand-off file. Silent when the add-on is not installed.
void WriteAddonHandoff(bool enable, const std::optional<ProxyAddress>& proxy, const std::string& label,
                       const std::string& bypass);
