// What the session's watch listens for besides the timer and the power
// broadcast: ChangeWatch posts these to the main window when a notification
// fires, whichever message loop is running then. Under Wine (no address
// changes) a test posts the same message.
#pragma once

#include <windows.h>

inline constexpr UINT kAddressChangedMessage = WM_APP + 40;  // an adapter's address changed
inline constexpr UINT kProxySettingsMessage = WM_APP + 41;   // something wrote Internet Settings
inline constexpr UINT kPendingPickMessage = WM_APP + 42;     // a pick waited for a sequence to end

// The main window's timers besides the tray animation (1).
inline constexpr UINT_PTR kWatchTimer = 2;     // every "CheckSeconds"
inline constexpr UINT_PTR kSettleTimer = 3;    // a check once the network has settled after a change or a wake
inline constexpr UINT_PTR kSettingsTimer = 4;  // a look at the proxy settings once the writer is done
inline constexpr UINT kSettleMs = 2000;
inline constexpr UINT kSettingsSettleMs = 300;
