#include "host/install_id_choice.h"

#include "host/md5.h"

namespace {

// The last interface whose digest is the remembered one; duplicates make the last win.
std::string PinnedMac(const MacList& interfaceMacs, const std::string& pass) {
  std::string chosen;
  if (pass.empty()) return chosen;
  for (const std::string& mac : interfaceMacs)
    if (MD5Hex(mac) == pass) chosen = mac;
  return chosen;
}

}  // namespace

std::string InstallIdFrom(const MacList& interfaceMacs, const MacList& adapterMacs, PassStore& pass) {
  if (interfaceMacs.empty()) return kNoInstallId;
  std::string chosen = PinnedMac(interfaceMacs, pass.Read());
  if (chosen.empty()) {
    // A machine with a network card must not report the nines just because
    // NetBIOS and SNMP both came back empty: the interface table stands in.
    chosen = adapterMacs.empty() ? interfaceMacs.back() : adapterMacs.back();
    pass.Write(MD5Hex(chosen));
  }
  const std::string id = MacToDigits(chosen);
  return id.empty() ? kNoInstallId : id;
}
