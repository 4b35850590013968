#include "proxy/crash_restore.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "host/text_file.h"
#include "proxy/addon_handoff_text.h"
#include "proxy/firefox_addon.h"
#include "proxy/firefox_prefs.h"
#include "proxy/firefox_profile.h"
#include "proxy/own_settings_win.h"
#include "proxy/user_js_text.h"
#include "proxy/wininet_proxy.h"

namespace {

// Copied here beforehand: a crashing process may have a broken heap, so the
// filter allocates nothing of its own.
// The texts are made while the filter is disarmed and only read by it.
struct PendingFile {
  char file[MAX_PATH];
  std::string text;
};

// Firefox's prefs file and the add-on's hand-off file: a session may have
// written both when the options changed in its course.
PendingFile gPending[2];
volatile LONG gArmed = 0;
LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;
std::terminate_handler gPreviousTerminate = nullptr;

void WritePendingFile(const PendingFile& pending) {
  if (pending.file[0] == '\0') return;
  HANDLE file = CreateFileA(pending.file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, pending.text.data(), static_cast<DWORD>(pending.text.size()), &written, nullptr);
  CloseHandle(file);
}

void RunPendingRestore() {
  // Once, even when several threads fail together.
  if (InterlockedExchange(&gArmed, 0) == 0) return;
  SetAllConnectionsDirectNow();
  PutBackOwnSettingsNow();
  for (const PendingFile& pending : gPending) WritePendingFile(pending);
}

LONG WINAPI RestoreOnCrash(EXCEPTION_POINTERS* exception) {
  RunPendingRestore();
  return gPreviousFilter ? gPreviousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// A C++ exception that nothing catches ends in terminate, not in the filter.
[[noreturn]] void RestoreOnTerminate() {
  RunPendingRestore();
  if (gPreviousTerminate) gPreviousTerminate();
  std::abort();
}

// The Firefox file to put back and its off state; none when the back-end has
// nothing of the program's to undo.
void PrepareFirefoxFile(FirefoxBackend firefox, std::string& file, std::string& text) {
  if (firefox == FirefoxBackend::PrefsFile) {
    const std::string profile = FindFirefoxProfile();
    std::optional<std::string> current;
    if (profile.empty() || !ReadFileIfAny(profile + kUserJsName, current) || !current) return;
    // Only an applied block is undone; the user's own lines stay as they are.
    const UserJsParts parts = SplitUserJs(*current);
    if (parts.form != UserJsForm::Apply) return;
    file = profile + kUserJsName;
    text = UserJsWith(parts.own, RestoreBlock(parts.own, FirefoxPutBackNow()));
  } else if (firefox == FirefoxBackend::Addon) {
    file = AddonHandoffPath();
    text = AddonHandoffText(false, std::nullopt, "", "");
  }
}

void PreparePending(PendingFile& pending, FirefoxBackend firefox) {
  std::string file, text;
  PrepareFirefoxFile(firefox, file, text);
  pending.file[0] = '\0';
  pending.text.clear();
  if (!file.empty() && file.size() < sizeof(pending.file)) {
    std::memcpy(pending.file, file.c_str(), file.size() + 1);
    pending.text = std::move(text);
  }
}

}  // namespace

void InstallCrashRestore() {
  static bool installed = false;  // a second filter would hand on to itself
  if (installed) return;
  installed = true;
  gPreviousFilter = SetUnhandledExceptionFilter(&RestoreOnCrash);
  gPreviousTerminate = std::set_terminate(&RestoreOnTerminate);
}

void ArmCrashRestore(const AppliedBackends& applied) {
  InterlockedExchange(&gArmed, 0);
  PreparePending(gPending[0], applied.firefoxPrefs ? FirefoxBackend::PrefsFile : FirefoxBackend::None);
  PreparePending(gPending[1], applied.firefoxAddon ? FirefoxBackend::Addon : FirefoxBackend::None);
  PrepareOwnSettingsNow();
  InterlockedExchange(&gArmed, 1);
}

void DisarmCrashRestore() { InterlockedExchange(&gArmed, 0); }
