// Measures a tray program from outside, as the benchmark script needs it:
//   bench_probe start <exe> [seconds]  starts it and prints the milliseconds
//                                      until a new icon is in the system tray,
//                                      then its process id; it keeps running
//   bench_probe memory <pid>           prints its private bytes
//   bench_probe close <pid>            closes its top-level windows and waits
//                                      until the process has ended
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

// Wine's X11 driver shows each notification icon as a window of this class
// inside its "Wine System Tray" window.
constexpr const char* kTrayIconClass = "__winex11_tray_icon";

BOOL CALLBACK CollectIcon(HWND hwnd, LPARAM lParam) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  if (std::strcmp(cls, kTrayIconClass) == 0 && IsWindowVisible(hwnd))
    reinterpret_cast<std::set<HWND>*>(lParam)->insert(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectIconsBelow(HWND hwnd, LPARAM lParam) {
  CollectIcon(hwnd, lParam);
  EnumChildWindows(hwnd, CollectIcon, lParam);
  return TRUE;
}

std::set<HWND> TrayIcons() {
  std::set<HWND> icons;
  EnumWindows(CollectIconsBelow, reinterpret_cast<LPARAM>(&icons));
  return icons;
}

// An icon that was not there before; icons of programs gone meanwhile may vanish.
bool NewIconShown(const std::set<HWND>& before) {
  for (HWND icon : TrayIcons())
    if (!before.count(icon)) return true;
  return false;
}

int Start(const char* exe, int seconds) {
  const std::set<HWND> before = TrayIcons();
  // The program gets no handle of ours: a script that reads our output must
  // not wait for the program to end as well.
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER frequency, started, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  char commandLine[MAX_PATH + 2];
  std::snprintf(commandLine, sizeof(commandLine), "\"%s\"", exe);
  if (!CreateProcessA(exe, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "bench_probe: cannot start %s (%lu)\n", exe, GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(nul);
  for (;;) {
    QueryPerformanceCounter(&now);
    const double ms = 1000.0 * static_cast<double>(now.QuadPart - started.QuadPart) / frequency.QuadPart;
    if (NewIconShown(before)) {
      std::printf("%.1f %lu\n", ms, process.dwProcessId);
      CloseHandle(process.hProcess);
      return 0;
    }
    if (ms > seconds * 1000.0) break;
    Sleep(1);
  }
  std::fprintf(stderr, "bench_probe: no tray icon after %d s\n", seconds);
  TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  return 1;
}

int Memory(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 1;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  const BOOL ok = GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                       sizeof(counters));
  CloseHandle(process);
  if (!ok) return 1;
  // Windows fills both with the same commit charge; Wine only the older field.
  const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  std::printf("%llu\n", static_cast<unsigned long long>(bytes));
  return 0;
}

BOOL CALLBACK CloseWindowOf(HWND hwnd, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == static_cast<DWORD>(pid)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

int Close(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return 0;
  EnumWindows(CloseWindowOf, static_cast<LPARAM>(pid));
  const DWORD waited = WaitForSingleObject(process, 30000);
  CloseHandle(process);
  return waited == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "start") == 0) return Start(argv[2], argc > 3 ? std::atoi(argv[3]) : 60);
  if (argc == 3 && std::strcmp(argv[1], "memory") == 0) return Memory(std::strtoul(argv[2], nullptr, 10));
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) return Close(std::strtoul(argv[2], nullptr, 10));
  std::fprintf(stderr, "usage: bench_probe start <exe> [seconds] | memory <pid> | close <pid>\n");
  return 2;
}
