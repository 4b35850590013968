// Program entry: one instance per session, two windows, the start-up sequence,
// then the message loop until the main window closes. The one command-line
// switch, "/restore", only puts the browsers back.
#include <windows.h>

#include "app/frm_main.h"
#include "app/restore_switch.h"
#include "base/settings_keys.h"
#include "directory/frm_select_ip.h"
#include "host/restore_at_logon.h"
#include "proxy/crash_restore.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const bool restore = IsRestoreSwitch(commandLine ? commandLine : "");
  // Held for the life of the process and never closed: it is the instance guard.
  CreateMutexA(nullptr, TRUE, kInstanceMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // A running copy owns the browsers' settings: a restore started meanwhile
    // leaves them, and the copy, alone.
    if (!restore) AskRunningCopyToShow();
    return 0;
  }
  if (restore) {
    RunRestoreSwitch();
    return 0;
  }
  InstallCrashRestore();

  TfrmMain frmMain;
  if (!frmMain.Create(instance)) return 1;
  TfrmSelectIP frmSelectIP;
  frmSelectIP.Create(instance);

  frmMain.InitMain();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Tab, Enter and Escape work in the shown main window as in a dialog.
    if (frmMain.Handle() && IsWindowVisible(frmMain.Handle()) && IsDialogMessageA(frmMain.Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
