#include "app/change_watch.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include "app/watch_messages.h"

namespace {

constexpr const char* kInternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// One asynchronous notification, armed again after each signal. A source the
// system does not offer (Wine has no address notification) stays silent.
struct AddressSource {
  UniqueKernelHandle event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  OVERLAPPED overlapped{};
  bool armed = false;
  bool Arm() {
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event.get();
    HANDLE unused = nullptr;
    armed = event && NotifyAddrChange(&unused, &overlapped) == ERROR_IO_PENDING;
    return armed;
  }
  ~AddressSource() {
    // The cancelled request completes on its own: let it before the
    // OVERLAPPED goes.
    if (armed && CancelIPChangeNotify(&overlapped)) WaitForSingleObject(event.get(), 1000);
  }
};

struct RegistrySource {
  UniqueKernelHandle event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  UniqueHKey key;
  bool Arm() {
    if (!key && RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_NOTIFY, key.put()) != ERROR_SUCCESS)
      return false;
    return event && RegNotifyChangeKeyValue(key.get(), TRUE, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                                            event.get(), TRUE) == ERROR_SUCCESS;
  }
};

}  // namespace

ChangeWatch::ChangeWatch(HWND window) : window_(window), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (stop_) thread_ = std::thread([this] { Run(); });
}

ChangeWatch::~ChangeWatch() {
  if (!thread_.joinable()) return;
  SetEvent(stop_.get());
  thread_.join();
}

void ChangeWatch::Run() {
  AddressSource address;
  RegistrySource registry;
  const bool addressOn = address.Arm();
  const bool registryOn = registry.Arm();
  // The stop event first: it wins over a notification that came with it.
  HANDLE events[3] = {stop_.get()};
  DWORD count = 1;
  if (addressOn) events[count++] = address.event.get();
  if (registryOn) events[count++] = registry.event.get();
  for (;;) {
    const DWORD which = WaitForMultipleObjects(count, events, FALSE, INFINITE);
    if (which < WAIT_OBJECT_0 + 1 || which >= WAIT_OBJECT_0 + count) return;
    HANDLE signalled = events[which - WAIT_OBJECT_0];
    if (signalled == address.event.get()) {
      PostMessageA(window_, kAddressChangedMessage, 0, 0);
      if (!address.Arm()) return;
    } else {
      PostMessageA(window_, kProxySettingsMessage, 0, 0);
      if (!registry.Arm()) return;
    }
  }
}
