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
#include "proxy/user_js_text.h"
#include "proxy/wininet_proxy.h"

namespace {

// Copied here beforehand: a crashing process may have a broken heap, so the
// filter allocates nothing of its own.
struct PendingFile {
  char file[MAX_PATH];
  char text[1024];
  DWORD size;
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
  WriteFile(file, pending.text, pending.size, &written, nullptr);
  CloseHandle(file);
}

void RunPendingRestore() {
  // Once, even when several threads fail together.
  if (InterlockedExchange(&gArmed, 0) == 0) return;
  SetAllConnectionsDirectNow();
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
    // Only the program's own applied file: never one the user kept in its place.
    if (profile.empty() || UserJsFormOf(ReadWholeFile(profile + kUserJsName)) != UserJsForm::Apply) return;
    file = profile + kUserJsName;
    text = UserJsText(std::nullopt, "");
  } else if (firefox == FirefoxBackend::Addon) {
    file = AddonHandoffPath();
    text = AddonHandoffText(false, std::nullopt, "", "");
  }
}

void PreparePending(PendingFile& pending, FirefoxBackend firefox) {
  std::string file, text;
  PrepareFirefoxFile(firefox, file, text);
  pending.file[0] = '\0';
  pending.size = 0;
  if (!file.empty() && file.size() < sizeof(pending.file) && text.size() <= sizeof(pending.text)) {
    std::memcpy(pending.file, file.c_str(), file.size() + 1);
    std::memcpy(pending.text, text.data(), text.size());
    pending.size = static_cast<DWORD>(text.size());
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
  InterlockedExchange(&gArmed, 1);
}

void DisarmCrashRestore() { InterlockedExchange(&gArmed, 0); }
