// One connection's whole WinINet proxy setting, read and written back as the
// user had it: flags, proxy server, bypass list and auto-config URL.
#pragma once

#include <string>
#include <vector>

#include "proxy/own_settings.h"

// False when WinINet refuses the query; `connection.name` says which (empty: LAN).
bool ReadConnectionSettings(ConnectionSettings& connection);
// Stores every value, then tells WinINet clients to reread. True when stored.
bool WriteConnectionSettings(const ConnectionSettings& connection);
// The same for an option list made beforehand; allocates nothing, so that a
// crashing process can call it.
bool StoreConnectionOptions(const std::string& name, const std::vector<PerConnOption>& wanted);
