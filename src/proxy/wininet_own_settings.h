// One connection's whole WinINet proxy setting, read and written back as the
// user had it: flags, proxy server, bypass list and auto-config URL.
#pragma once

#include <string>

#include "proxy/own_settings.h"

// False when WinINet refuses the query; `connection.name` says which (empty: LAN).
bool ReadConnectionSettings(ConnectionSettings& connection);
// Stores every value, then tells WinINet clients to reread. True when stored.
bool WriteConnectionSettings(const ConnectionSettings& connection);
