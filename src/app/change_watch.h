// The two system notifications the session's watch needs, address changes and
// writes under Internet Settings, as events for the message loop to wait on.
// Each one that fires becomes a message to the main window, which decides what
// it means. They need no thread of their own, which under Wine costs about a
// megabyte of memory for as long as it lives.
#pragma once

#include <windows.h>

#include "host/unique_handle.h"

class ChangeWatch {
 public:
  static constexpr DWORD kMaxEvents = 2;

  explicit ChangeWatch(HWND window);
  ~ChangeWatch();  // cancels what is armed
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;

  // The armed events, into `events` (room for kMaxEvents): their count.
  DWORD Events(HANDLE* events) const;
  // One of them fired: its message goes to the window and it is armed again.
  void Signalled(HANDLE event);

 private:
  // A source the system does not offer (Wine has no address notification)
  // stays unarmed and silent.
  struct AddressSource {
    UniqueKernelHandle event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    bool armed = false;
    void Arm();
    ~AddressSource();
  };
  struct RegistrySource {
    UniqueKernelHandle event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueHKey key;
    bool armed = false;
    void Arm();
  };

  HWND window_;
  AddressSource address_;
  RegistrySource registry_;
};
