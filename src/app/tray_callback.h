// How the tray icon reaches the main window. Kept free of other includes: the
// control tool includes it by path.
#pragma once

// WM_APP + 1, with the mouse message (WM_LBUTTONUP...) in lParam.
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;
