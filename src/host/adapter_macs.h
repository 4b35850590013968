// Adapter addresses as NetBIOS reports them, or the SNMP interface table when
// NetBIOS offers no adapter.
#pragma once

#include <windows.h>
#include <nb30.h>

#include <functional>

#include "host/mac_text.h"

MacList ListAdapterMacs();

using NetbiosProc = UCHAR(WINAPI*)(PNCB);

// "Netbios" of netapi32.dll, loaded on first use and kept; null when unavailable.
NetbiosProc SystemNetbios();

// ListAdapterMacs with the NetBIOS entry point and the fallback walk given:
// snmpWalk runs only when the LANA enumeration fails or lists no LANA.
MacList ListAdapterMacsWith(NetbiosProc netbios, const std::function<MacList()>& snmpWalk);
