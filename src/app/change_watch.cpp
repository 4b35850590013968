#include "app/change_watch.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include "app/watch_messages.h"

namespace {

constexpr const char* kInternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

}  // namespace

bool ChangeWatch::Source::Wait() {
  wait.reset();  // the last one fired once and is done
  HANDLE handle = nullptr;
  // In the wait thread itself: a post needs no worker of its own.
  if (!RegisterWaitForSingleObject(&handle, event.get(), Fired, this, INFINITE,
                                   WT_EXECUTEONLYONCE | WT_EXECUTEINWAITTHREAD))
    return false;
  wait.reset(handle);
  return true;
}

void CALLBACK ChangeWatch::Source::Fired(void* context, BOOLEAN) {
  auto* source = static_cast<Source*>(context);
  source->fired = true;
  PostMessageA(source->window, source->message, 0, 0);
}

void ChangeWatch::AddressSource::Arm() {
  overlapped = OVERLAPPED{};
  overlapped.hEvent = event.get();
  HANDLE unused = nullptr;
  armed = event && NotifyAddrChange(&unused, &overlapped) == ERROR_IO_PENDING && Wait();
}

ChangeWatch::AddressSource::~AddressSource() {
  // No post from here on; the cancelled request completes on its own: let it
  // before the OVERLAPPED goes.
  wait.reset();
  if (armed && !fired && CancelIPChangeNotify(&overlapped)) WaitForSingleObject(event.get(), 1000);
}

void ChangeWatch::RegistrySource::Arm() {
  if (!key && RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_NOTIFY, key.put()) != ERROR_SUCCESS) {
    armed = false;
    return;
  }
  armed = event &&
          RegNotifyChangeKeyValue(key.get(), TRUE, REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME, event.get(),
                                  TRUE) == ERROR_SUCCESS &&
          Wait();
}

ChangeWatch::ChangeWatch(HWND window)
    : address_(window, kAddressChangedMessage), registry_(window, kProxySettingsMessage) {
  address_.Arm();
  registry_.Arm();
}

ChangeWatch::~ChangeWatch() = default;

void ChangeWatch::Rearm(UINT message) {
  // A message that did not come from a fired source (another program may post
  // it) leaves the pending notification as it is.
  if (message == kAddressChangedMessage && address_.fired.exchange(false)) address_.Arm();
  if (message == kProxySettingsMessage && registry_.fired.exchange(false)) registry_.Arm();
}
