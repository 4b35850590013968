// Drives a running nimvara.exe from a script: waits for it, opens its tray
// menu, chooses a menu item by its underlined letter as a user typing it would,
// or ends it the way Windows ends a session (the browsers are restored first).
// Usage: nimvara_ctl wait|endsession|menu|exit|ok [seconds]
//        nimvara_ctl choose <letter> [seconds]
// "ok" presses OK on the program's notice (the first-run tour) when one is up.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../src/app/tray_callback.h"

namespace {

HWND FindMain() { return FindWindowA("TfrmMain", "Nimvara"); }

HWND WaitForMain(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND main = FindMain()) return main;
    Sleep(100);
  }
  return nullptr;
}

struct MenuSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMenu(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<MenuSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  if (pid == search->pid && std::strcmp(cls, "#32768") == 0 && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Clicks the tray icon (right button) and waits for the popup menu to show.
HWND OpenTrayMenu(HWND main, int seconds) {
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  PostMessageA(main, kTrayCallbackMessage, 1, WM_RBUTTONUP);
  for (int i = 0; i < seconds * 10; ++i) {
    MenuSearch search{pid, nullptr};
    EnumWindows(MatchMenu, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(100);
  }
  return nullptr;
}

// Types the item's underlined letter into the open menu.
bool Choose(HWND main, char letter, int seconds) {
  HWND menu = OpenTrayMenu(main, seconds);
  if (!menu) return false;
  // A key typed while the menu is still being set up can go unseen: type it
  // again while the menu stays open.
  for (int attempt = 0; attempt < 3; ++attempt) {
    PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(letter), 1);
    for (int i = 0; i < 20; ++i) {
      if (!IsWindowVisible(menu)) return true;
      Sleep(100);
    }
  }
  return false;
}

// The program's own dialogs are titled "Nimvara", like its main window, but
// are of the dialog class.
bool PressOkOnNotice(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND notice = FindWindowA("#32770", "Nimvara")) {
      HWND ok = GetDlgItem(notice, IDOK);
      return PostMessageA(ok ? ok : notice, ok ? BM_CLICK : WM_COMMAND, ok ? 0 : IDOK, 0) != FALSE;
    }
    Sleep(100);
  }
  return false;
}

bool WaitForProcessEnd(HWND main, int seconds) {
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return true;
  const bool ended = WaitForSingleObject(process, seconds * 1000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: nimvara_ctl wait|endsession|menu|exit|ok [seconds] | choose <letter> [seconds]\n");
    return 2;
  }
  const bool choose = std::strcmp(argv[1], "choose") == 0;
  if (choose && (argc < 3 || argv[2][0] == '\0')) {
    std::fprintf(stderr, "nimvara_ctl: choose needs the item's letter\n");
    return 2;
  }
  const int secondsArg = choose ? 3 : 2;
  const int seconds = argc > secondsArg ? std::atoi(argv[secondsArg]) : 30;
  HWND main = WaitForMain(seconds);
  if (!main) {
    std::fprintf(stderr, "nimvara_ctl: Nimvara is not running\n");
    return 1;
  }
  if (std::strcmp(argv[1], "endsession") == 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, seconds * 1000, &answer);
    WaitForProcessEnd(main, seconds);
    return answer ? 0 : 1;
  }
  if (std::strcmp(argv[1], "ok") == 0) return PressOkOnNotice(seconds) ? 0 : 1;
  if (std::strcmp(argv[1], "menu") == 0) return OpenTrayMenu(main, seconds) ? 0 : 1;
  if (choose) return Choose(main, argv[2][0], seconds) ? 0 : 1;
  if (std::strcmp(argv[1], "exit") == 0) {
    // "&Exit" of the tray menu: the program restores the browsers and ends.
    if (!Choose(main, 'e', seconds)) return 1;
    return WaitForProcessEnd(main, seconds) ? 0 : 1;
  }
  return 0;
}
