#include "host/adapter_macs.h"

#include <cstring>

#include "host/snmp_macs.h"
#include "host/unique_handle.h"

namespace {

static_assert(sizeof(LANA_ENUM) == 256, "LANA enumeration buffer");
constexpr std::size_t kAdapterStatusSize = 600;  // the status and room for 30 names

// A command that cannot be given counts as failed.
bool RunCommand(NetbiosProc netbios, NCB& ncb) { return netbios != nullptr && netbios(&ncb) == NRC_GOODRET; }

// The number of LANAs, or -1 when the enumeration fails.
int EnumerateLanas(NetbiosProc netbios, LANA_ENUM& lanas) {
  NCB ncb{};
  ncb.ncb_command = NCBENUM;
  ncb.ncb_buffer = reinterpret_cast<PUCHAR>(&lanas);
  ncb.ncb_length = sizeof(lanas);
  if (!RunCommand(netbios, ncb)) return -1;
  return lanas.length;
}

bool ResetLana(NetbiosProc netbios, UCHAR lana) {
  NCB ncb{};
  ncb.ncb_command = NCBRESET;
  ncb.ncb_lana_num = lana;
  return RunCommand(netbios, ncb);
}

void AddAdapterAddress(NetbiosProc netbios, UCHAR lana, MacList& macs) {
  unsigned char status[kAdapterStatusSize] = {};
  NCB ncb{};
  ncb.ncb_command = NCBASTAT;
  ncb.ncb_lana_num = lana;
  std::memcpy(ncb.ncb_callname, "*               ", NCBNAMSZ);
  ncb.ncb_buffer = status;
  ncb.ncb_length = sizeof(status);
  if (RunCommand(netbios, ncb)) macs.push_back(MacText(status, 6));  // the adapter address leads
}

}  // namespace

NetbiosProc SystemNetbios() {
  // Kept for the life of the process once found.
  static const UniqueModule module(LoadLibraryA("netapi32.dll"));
  static const NetbiosProc proc =
      module ? reinterpret_cast<NetbiosProc>(reinterpret_cast<void*>(GetProcAddress(module.get(), "Netbios")))
             : nullptr;
  return proc;
}

MacList ListAdapterMacsWith(NetbiosProc netbios, const std::function<MacList()>& snmpWalk) {
  MacList macs;
  LANA_ENUM lanas{};
  const int adapterCount = EnumerateLanas(netbios, lanas);
  for (int i = 0; i < adapterCount; ++i) {
    const UCHAR lana = lanas.lana[i];
    if (ResetLana(netbios, lana)) AddAdapterAddress(netbios, lana, macs);
  }
  if (adapterCount <= 0) return snmpWalk();
  return macs;
}

MacList ListAdapterMacs() {
  try {
    return ListAdapterMacsWith(SystemNetbios(), ListSnmpMacs);
  } catch (...) {
    return {};  // out of memory: the list is only shorter
  }
}
