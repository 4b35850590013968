// Fonts and sizes of the program's windows. Positions are given for 96 dots
// per inch and scaled to the screen's.
#pragma once

#include <windows.h>

#include "host/unique_handle.h"

int ScreenDpi();
inline int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// A font by its character height in pixels at 96 dots per inch.
UniqueGdiObject MakeFont(const char* face, int pixelHeight, int dpi, bool bold = false, bool underline = false);

// The width and height `text` takes in `font`.
SIZE TextSize(HWND window, HFONT font, const char* text);
