#include "proxy/firefox_addon.h"

#include <windows.h>

#include <vector>

#include "host/unique_handle.h"
#include "proxy/addon_handoff_text.h"
#include "host/text_file.h"

namespace {

std::string ReadRegistryText(HKEY key, const char* name) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    return {};
  return std::string(data.data());  // up to the first NUL
}

}  // namespace

std::string FindFirefoxAddon() {
  UniqueHKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAddonRegistryKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return {};
  const std::string folder = ReadRegistryText(key.get(), kAddonId);
  return IsFolder(folder) ? folder : std::string();
}

std::string AddonHandoffPath() {
  const std::string folder = FindFirefoxAddon();
  return folder.empty() ? std::string() : folder + kAddonHandoffName;
}

void WriteAddonHandoff(bool enable, const std::optional<ProxyAddress>& proxy, const std::string& label,
                       const std::string& bypass) {
  const std::string path = AddonHandoffPath();
  if (!path.empty()) ReplaceFileWhole(path, AddonHandoffText(enable, proxy, label, bypass));
}
