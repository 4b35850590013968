#include "ui/link_label.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/ui_metrics.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
}

LinkLabel::~LinkLabel() {
  if (hwnd_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
}

bool LinkLabel::Create(HWND parent, int id, const std::string& caption, int x, int y, int pixelHeight,
                       int dpi) {
  font_ = MakeFont("Tahoma", pixelHeight, dpi, false, true);
  const HFONT font = static_cast<HFONT>(font_.get());
  const SIZE size = TextSize(parent, font, caption.c_str());
  hwnd_ = CreateWindowExA(0, "STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX,
                          Scaled(x, dpi), Scaled(y, dpi), size.cx + 1, size.cy + 1, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!hwnd_) return false;
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT CALLBACK LinkLabel::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    reinterpret_cast<LinkLabel*>(self)->hwnd_ = nullptr;
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  return reinterpret_cast<LinkLabel*>(self)->HandleMessage(message, wParam, lParam);
}

LRESULT LinkLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, IDC_HAND));
      return TRUE;
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&track);
        InvalidateRect(hwnd_, nullptr, TRUE);
      }
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
  }
  return DefSubclassProc(hwnd_, message, wParam, lParam);
}

void LinkLabel::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT area;
  GetClientRect(hwnd_, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  char caption[256] = {};
  GetWindowTextA(hwnd_, caption, sizeof(caption));
  const HGDIOBJ old = SelectObject(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, hot_ ? kLinkHotColour : kLinkColour);
  DrawTextA(dc, caption, -1, &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(hwnd_, &ps);
}
