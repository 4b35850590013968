#include "ui/page_window.h"

namespace {

constexpr const char* kPageClass = "TNimvaraPage";

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_NOTIFY) {
    if (HWND target = reinterpret_cast<HWND>(GetWindowLongPtrA(page, GWLP_USERDATA)))
      return SendMessageA(target, message, wParam, lParam);
  }
  return DefWindowProcA(page, message, wParam, lParam);
}

void RegisterPageClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExA(instance, kPageClass, &wc)) return;
  wc.lpfnWndProc = PageProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPageClass;
  RegisterClassExA(&wc);
}

}  // namespace

HWND CreatePageWindow(HWND tab, const RECT& area, HWND commandTarget) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterPageClass(instance);
  HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS, area.left,
                              area.top, area.right - area.left, area.bottom - area.top, tab, nullptr, instance,
                              nullptr);
  if (page) SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(commandTarget));
  return page;
}
