// The hand-off file for the Firefox add-on, which does the switching inside Firefox.
#pragma once

#include <string>

// The add-on's folder as its installer recorded it (read only, never written);
// empty when there is no entry or the folder does not exist.
std::string FindFirefoxAddon();

// Writes the six-line hand-off file to the recorded folder text + "umbrix.tmp"
// (no separator is added). Silent when the add-on is not installed; writes
// nothing when a given proxy is not a valid host:port.
void WriteAddonHandoff(bool enable, const std::string& proxy, const std::string& label, const std::string& bypass);
