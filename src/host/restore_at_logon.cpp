#include "host/restore_at_logon.h"

#include <windows.h>

#include "host/unique_handle.h"

void SetRestoreAtLogon(const std::string& exePath) {
  UniqueHKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                      key.put(), nullptr) != ERROR_SUCCESS)
    return;
  const std::string command = RestoreCommand(exePath);
  RegSetValueExA(key.get(), kRestoreValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
}

void ClearRestoreAtLogon() {
  UniqueHKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
  RegDeleteValueA(key.get(), kRestoreValueName);
}
