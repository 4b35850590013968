// Drives a running nimvara.exe from a script: waits for it, or ends it the way
// Windows ends a session (the browsers are restored first).
// Usage: nimvara_ctl wait|endsession [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindMain() { return FindWindowA("TfrmMain", "Nimvara"); }

HWND WaitForMain(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND main = FindMain()) return main;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: nimvara_ctl wait|endsession [seconds]\n");
    return 2;
  }
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  HWND main = WaitForMain(seconds);
  if (!main) {
    std::fprintf(stderr, "nimvara_ctl: Nimvara is not running\n");
    return 1;
  }
  if (std::strcmp(argv[1], "endsession") == 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, seconds * 1000, &answer);
    if (process) {
      WaitForSingleObject(process, seconds * 1000);
      CloseHandle(process);
    }
    return answer ? 0 : 1;
  }
  return 0;
}
