// A small read-only question a program on the same desktop (the end-to-end
// tests, nimvara_ctl) may ask the running program about what it shows. Menus
// and the tray's hint cannot be read from another process, so the program
// answers for them.
//
// Send the registered message kAppQueryMessage to the main window with
// wParam = the asking window and lParam = MAKELPARAM(question, index); the
// answer comes back to the asking window as WM_COPYDATA (dwData = question,
// the text without terminator) before SendMessage returns. The result of
// SendMessage is 1 when the question was understood and the answer taken; an
// asking window that does not take it within kAppQueryReplyTimeoutMs gets none.
#pragma once

inline constexpr const char* kAppQueryMessage = "Nimvara.AppQuery";
inline constexpr unsigned kAppQueryReplyTimeoutMs = 1000;

enum AppQuestion : int {
  kAskHint = 1,       // the tray hint
  kAskMenuItem = 2,   // item `index` of ppmMain: "1 " or "0 " (enabled) + caption
  kAskPage = 3,       // the caption of the selected page of pclMain
  kAskTrayImage = 4,  // "busy <frame>" or "status <image>"; "animating" is appended while cycling
  kAskTrayShown = 5,  // "1" when the shell accepted the icon, else "0"
  kAskBalloon = 6,    // the text of the last balloon the shell accepted
};
