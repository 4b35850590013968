// TfrmUnblock: shown when no directory server gave a reply, most likely
// because a firewall keeps the program off the Internet.
#pragma once

#include <windows.h>

#include <functional>

inline constexpr const char* kUnblockCaption = "Nimvara Unblock";

// Control ids, for the buttons' handlers and for tests that press them.
enum UnblockControlId : int {
  kIdUnblockClose = IDCANCEL,  // Escape closes as the button does
  kIdUnblockReconnect = IDRETRY,
  kIdUnblockHelp = IDHELP,
  kIdUnblockCopy = 300,
  kIdUnblockImage,
  kIdUnblockMessage,
  kIdUnblockPathLabel,
  kIdUnblockPath,
};

// Shows the dialog modally and returns when it has closed. Reconnect closes it
// and then runs `reconnect` before returning.
void ShowUnblock(HWND owner, const std::function<void()>& reconnect);
