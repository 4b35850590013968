#include "e2e/nimvara_process.h"

#include <cstdio>

#include "host/probes.h"
#include "wine/test_support.h"

NimvaraProcess::~NimvaraProcess() {
  if (Running()) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

void NimvaraProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.get(), 99);
  WaitForSingleObject(process_.get(), 5000);
}

DWORD_PTR EndWindowsSession(HWND main, DWORD timeoutMs) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, timeoutMs, &answer)) return 0;
  DWORD_PTR ignored = 0;
  if (answer) SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, timeoutMs, &ignored);
  return answer;
}

bool NimvaraProcess::Start(const std::string& arguments) {
  const std::string exe = NimvaraExePath();
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  const std::string folder = exe.substr(0, exe.find_last_of('\\') + 1);
  // Under a loaded Wine a start now and then fails at once; a user would try again.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &info))
      break;
    std::fprintf(stderr, "nimvara.exe did not start (error %lu, attempt %d)\n", GetLastError(), attempt);
    if (attempt == 3) return false;
    Sleep(500);
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
  return true;
}

long NimvaraProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (!process_) return -1;
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return static_cast<long>(code);
}

bool NimvaraProcess::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

namespace {
struct Search {
  DWORD pid;
  const char* className;
  bool visibleOnly;
  HWND found;
  const char* caption = nullptr;  // any when null
};
BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[128] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  char caption[128] = {};
  if (search->caption) GetWindowTextA(hwnd, caption, sizeof(caption));
  if (pid == search->pid && lstrcmpA(cls, search->className) == 0 &&
      (!search->visibleOnly || IsWindowVisible(hwnd)) && (!search->caption || lstrcmpA(caption, search->caption) == 0)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND NimvaraProcess::FindWindowOfClass(const char* className, bool visibleOnly) const {
  Search search{id_, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND NimvaraProcess::WaitForWindow(const char* className, std::chrono::milliseconds timeout,
                                   bool visibleOnly) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindWindowOfClass(className, visibleOnly)) != nullptr; }, timeout);
  return found;
}

HWND NimvaraProcess::WaitForDialog(const char* caption, std::chrono::milliseconds timeout) const {
  Search search{id_, "#32770", true, nullptr, caption};
  WaitFor([&] {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, timeout);
  return search.found;
}

std::string NimvaraExePath() { return BuildDir() + "nimvara.exe"; }

std::string NimvaraDataDir() { return GetAppDataDir() + "Nimvara\\"; }

void ForgetPreviousRuns() { RemoveTree(NimvaraDataDir()); }
