#include "directory/frm_select_ip.h"

TfrmSelectIP::~TfrmSelectIP() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool TfrmSelectIP::Create(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSelectIPWindowClass;
  RegisterClassExA(&wc);
  hwnd_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kSelectIPWindowClass, "Select IP",
                          WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 344, 340,
                          nullptr, nullptr, instance, nullptr);
  return hwnd_ != nullptr;
}
