// Adapter addresses from the MIB-II interface table of the TCP/IP SNMP agent.
#pragma once

#include <windows.h>
#include <snmp.h>

#include "host/mac_text.h"

// The addresses of the Ethernet rows (first 6 bytes, all-zero ones left out), in
// the agent's order. Empty when the agent cannot be loaded or started.
MacList ListSnmpMacs();

using SnmpQueryProc = PFNSNMPEXTENSIONQUERY;

// The walk itself over an agent that is already started: GET-NEXT on ifNumber,
// then on ifType and ifPhysAddress row by row until the agent leaves the columns.
MacList ListSnmpMacsWith(SnmpQueryProc query);
