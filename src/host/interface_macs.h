// The Ethernet adapters of the system's interface table (IP Helper).
#pragma once

#include "host/mac_text.h"

// MAC texts of the Ethernet CSMA/CD rows, in table order (sorted by interface
// index). Empty when the table cannot be read or holds no row.
MacList ListInterfaceMacs();
