// Which adapter the installation identifier is taken from, and the identifier itself.
#pragma once

#include <string>

#include "host/mac_text.h"

// The identifier when no adapter address is usable.
inline constexpr const char* kNoInstallId = "999999999999999999999999";

// The remembered digest of the chosen adapter ("Pass" in the settings).
class PassStore {
 public:
  virtual ~PassStore() = default;
  virtual std::string Read() = 0;
  virtual void Write(const std::string& digest) = 0;
};

// interfaceMacs: the Ethernet rows of the interface table; adapterMacs: the NetBIOS
// (or SNMP) list. An adapter whose digest is remembered is kept while the interface
// table still shows it; otherwise the last adapter of adapterMacs is taken and
// pinned. With no Ethernet row at all the store is left alone.
std::string InstallIdFrom(const MacList& interfaceMacs, const MacList& adapterMacs, PassStore& pass);
