#include "app/change_watch.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include "app/watch_messages.h"

namespace {

constexpr const char* kInternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

}  // namespace

void ChangeWatch::AddressSource::Arm() {
  overlapped = OVERLAPPED{};
  overlapped.hEvent = event.get();
  HANDLE unused = nullptr;
  armed = event && NotifyAddrChange(&unused, &overlapped) == ERROR_IO_PENDING;
}

ChangeWatch::AddressSource::~AddressSource() {
  // The cancelled request completes on its own: let it before the OVERLAPPED goes.
  if (armed && CancelIPChangeNotify(&overlapped)) WaitForSingleObject(event.get(), 1000);
}

void ChangeWatch::RegistrySource::Arm() {
  // Armed from the main thread, which lives as long as the watch: the
  // notification ends with the thread that asked for it.
  if (!key && RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_NOTIFY, key.put()) != ERROR_SUCCESS) {
    armed = false;
    return;
  }
  armed = event && RegNotifyChangeKeyValue(key.get(), TRUE, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                                           event.get(), TRUE) == ERROR_SUCCESS;
}

ChangeWatch::ChangeWatch(HWND window) : window_(window) {
  address_.Arm();
  registry_.Arm();
}

ChangeWatch::~ChangeWatch() = default;

DWORD ChangeWatch::Events(HANDLE* events) const {
  DWORD count = 0;
  if (address_.armed) events[count++] = address_.event.get();
  if (registry_.armed) events[count++] = registry_.event.get();
  return count;
}

void ChangeWatch::Signalled(HANDLE event) {
  if (address_.armed && event == address_.event.get()) {
    PostMessageA(window_, kAddressChangedMessage, 0, 0);
    address_.Arm();
  } else if (registry_.armed && event == registry_.event.get()) {
    PostMessageA(window_, kProxySettingsMessage, 0, 0);
    registry_.Arm();
  }
}
