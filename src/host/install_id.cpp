#include "host/install_id.h"

#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "host/adapter_macs.h"
#include "host/install_id_choice.h"
#include "host/interface_macs.h"

namespace {

// "Pass" in the settings file; without a settings file nothing is remembered.
class SettingsPass : public PassStore {
 public:
  std::string Read() override {
    const IniSettings* settings = Settings();
    return settings ? settings->ReadString(kSectionConfig, kKeyPass, std::string()) : std::string();
  }
  void Write(const std::string& digest) override {
    if (IniSettings* settings = Settings()) settings->WriteString(kSectionConfig, kKeyPass, digest);
  }
};

}  // namespace

std::string GetInstallId() {
  try {
    // Both lists are always built, in this order, even when the first decides alone.
    const MacList interfaceMacs = ListInterfaceMacs();
    const MacList adapterMacs = ListAdapterMacs();
    SettingsPass pass;
    return InstallIdFrom(interfaceMacs, adapterMacs, pass);
  } catch (...) {
    return kNoInstallId;  // out of memory: no usable address
  }
}
