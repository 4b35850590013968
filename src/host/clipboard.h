// Plain text onto the clipboard.
#pragma once

#include <windows.h>

#include <string>

// Replaces the clipboard's content with `text` as CF_TEXT; false when the
// clipboard could not be opened or filled.
bool SetClipboardText(HWND owner, const std::string& text);
