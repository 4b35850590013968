// Keeps the test prefix's desktop open for the whole run. Wine closes a desktop
// a second after its last program ends, and the next program's first window
// starts a new desktop process that inherits that program's output handles:
// ctest then waits for it to go after every GUI test. Started by prefix.sh with
// its output on /dev/null, ended by the prefix's wineserver -k. Once its window
// (and so the desktop) is there, it creates the file named on its command line.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR readyFile, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "NimvaraTestDesktopKeeper";
  RegisterClassA(&wc);
  // Never shown: tests looking for windows see nothing of it.
  if (!CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr)) return 1;
  CloseHandle(CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
