// TfrmUpdate: downloads the new installer and starts it.
#pragma once

#include <windows.h>

// Shows the update dialog modally. True when the new installer has been
// started: the caller then ends the program with the browsers restored.
bool ShowUpdateDialog(HWND owner);
