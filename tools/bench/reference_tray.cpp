// The smallest tray program worth comparing with: a hidden window, one
// notification-area icon and a message loop. Closing the window ends it.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "NimvaraBenchReference";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA(wc.lpszClassName, "Reference", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                            nullptr, instance, nullptr);
  if (!hwnd) return 1;

  NOTIFYICONDATAA icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = hwnd;
  icon.uID = 1;
  icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  icon.uCallbackMessage = kTrayMessage;
  icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpynA(icon.szTip, "Reference", sizeof(icon.szTip));
  Shell_NotifyIconA(NIM_ADD, &icon);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return 0;
}
