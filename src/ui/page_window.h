// A plain container for the controls of one page of a tab control. It sends
// its children's commands on to the window that handles them.
#pragma once

#include <windows.h>

HWND CreatePageWindow(HWND tab, const RECT& area, HWND commandTarget);
