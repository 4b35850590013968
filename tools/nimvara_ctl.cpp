// Drives a running nimvara.exe from a script: waits for it, opens its tray
// menu, chooses a menu item by its underlined letter as a user typing it would,
// or ends it the way Windows ends a session (the browsers are restored first).
// Usage: nimvara_ctl wait|endsession|menu|exit|ok|list [seconds]
//        nimvara_ctl choose <letter> [seconds]
//        nimvara_ctl pick <row> [seconds]
// "ok" presses OK on the program's notice (the first-run tour) when one is up.
// "list" waits for the server selection dialog; "pick" selects a row of its
// list and presses OK, as a user clicking them would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/tray_callback.h"
#include "directory/frm_select_ip.h"

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

BOOL CALLBACK MatchSelection(HWND hwnd, LPARAM lParam) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  if (std::strcmp(cls, kSelectIPWindowClass) != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hwnd;
  return FALSE;
}

// The shown selection dialog (the hidden instance of the program never shows).
HWND WaitForSelection(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    HWND found = nullptr;
    EnumWindows(MatchSelection, reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    Sleep(100);
  }
  return nullptr;
}

bool Pick(int row, int seconds) {
  HWND dialog = WaitForSelection(seconds);
  if (!dialog) return false;
  HWND list = GetDlgItem(dialog, kIdSelectIPList);
  if (SendMessageA(list, LB_SETCURSEL, row, 0) == LB_ERR) return false;
  // Posted: the hide session starts inside the click and takes its time.
  return PostMessageA(GetDlgItem(dialog, kIdSelectIPOK), BM_CLICK, 0, 0) != FALSE;
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
    std::fprintf(stderr,
                 "usage: nimvara_ctl wait|endsession|menu|exit|ok|list [seconds] | choose <letter> [seconds] | "
                 "pick <row> [seconds]\n");
    return 2;
  }
  const bool choose = std::strcmp(argv[1], "choose") == 0;
  const bool pick = std::strcmp(argv[1], "pick") == 0;
  if ((choose || pick) && (argc < 3 || argv[2][0] == '\0')) {
    std::fprintf(stderr, "nimvara_ctl: %s needs its argument\n", argv[1]);
    return 2;
  }
  const int secondsArg = choose || pick ? 3 : 2;
  const int seconds = argc > secondsArg ? std::atoi(argv[secondsArg]) : 30;
  HWND main = WaitForMain(seconds);
  if (!main) {
    std::fprintf(stderr, "nimvara_ctl: Nimvara is not running\n");
    return 1;
  }
  if (std::strcmp(argv[1], "endsession") == 0) {
    DWORD_PTR answer = 0;
    // The query restores the browsers; the program ends with the session itself.
    SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, seconds * 1000, &answer);
    DWORD_PTR ignored = 0;
    if (answer) SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, seconds * 1000, &ignored);
    WaitForProcessEnd(main, seconds);
    return answer ? 0 : 1;
  }
  if (std::strcmp(argv[1], "ok") == 0) return PressOkOnNotice(seconds) ? 0 : 1;
  if (std::strcmp(argv[1], "menu") == 0) return OpenTrayMenu(main, seconds) ? 0 : 1;
  if (choose) return Choose(main, argv[2][0], seconds) ? 0 : 1;
  if (pick) return Pick(std::atoi(argv[2]), seconds) ? 0 : 1;
  if (std::strcmp(argv[1], "list") == 0) return WaitForSelection(seconds) ? 0 : 1;
  if (std::strcmp(argv[1], "exit") == 0) {
    // "&Exit" of the tray menu: the program restores the browsers and ends.
    if (!Choose(main, 'e', seconds)) return 1;
    return WaitForProcessEnd(main, seconds) ? 0 : 1;
  }
  return 0;
}
