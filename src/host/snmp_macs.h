// Adapter addresses from the MIB-II interface table of the TCP/IP SNMP agent.
#pragma once

#include "host/mac_text.h"

// The addresses of the Ethernet rows (first 6 bytes, all-zero ones left out), in
// the agent's order. Empty when the agent cannot be loaded or started.
MacList ListSnmpMacs();
