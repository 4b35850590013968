// The two system notifications the session's watch needs, address changes and
// writes under Internet Settings. Each one that fires is posted to the main
// window from the thread pool's wait thread, so that it arrives inside every
// modal loop (a dialog, a message box, the tray menu) as in the outer one; the
// window decides what it means and arms the source again when it handles the
// message.
#pragma once

#include <windows.h>

#include <atomic>

#include "host/unique_handle.h"

class ChangeWatch {
 public:
  explicit ChangeWatch(HWND window);
  ~ChangeWatch();  // cancels what is armed
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;

  // `message` (kAddressChangedMessage or kProxySettingsMessage) is being
  // handled: its source listens again if it was the one that fired. Called on
  // the interface thread, whose life the registry notification shares.
  void Rearm(UINT message);

 private:
  // A source the system does not offer (Wine has no address notification)
  // stays unarmed and silent.
  struct Source {
    Source(HWND window, UINT message) : window(window), message(message) {}
    HWND window;
    UINT message;
    UniqueKernelHandle event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueThreadPoolWait wait;  // after the event: unregistered before it closes
    std::atomic<bool> fired{false};
    bool armed = false;
    // Posts the message once when the event is set.
    bool Wait();
    static void CALLBACK Fired(void* context, BOOLEAN);
  };
  struct AddressSource : Source {
    using Source::Source;
    OVERLAPPED overlapped{};
    void Arm();
    ~AddressSource();
  };
  struct RegistrySource : Source {
    using Source::Source;
    UniqueHKey key;
    void Arm();
    ~RegistrySource() { wait.reset(); }  // before the key closes, which may set the event
  };

  AddressSource address_;
  RegistrySource registry_;
};
