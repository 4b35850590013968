// Asks the running program what it shows (tray hint, menu items, page, tray
// image) through its read-only query, and drives its tray icon as a user's
// mouse and keyboard would.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_query.h"

class NimvaraProcess;

// The program's answer, or "?" when it gave none.
std::string AskNimvara(HWND main, AppQuestion question, int index = 0);

// Sends the tray icon's mouse message (WM_LBUTTONUP, WM_RBUTTONUP...).
void ClickTrayIcon(HWND main, UINT mouseMessage);
// The program's open popup menu, waiting for it; null when none opens in time.
HWND WaitForPopupMenu(const NimvaraProcess& nimvara, DWORD timeoutMs = 5000);
// Opens the tray menu with the right button and types `letter`.
bool ChooseTrayItem(const NimvaraProcess& nimvara, HWND main, char letter);
// Closes an open popup menu as Escape would.
void CloseMenu(HWND menu);

// Saves the X screen as <NIMVARA_SHOTS_DIR>/<name>.png (a Linux folder) for a
// person to look at; nothing when that variable is not set.
void SaveScreenshot(const std::string& name);
