// Starts the real nimvara.exe and watches it from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "host/unique_handle.h"

class NimvaraProcess {
 public:
  NimvaraProcess() = default;
  ~NimvaraProcess();  // kills the process when it is still running
  NimvaraProcess(const NimvaraProcess&) = delete;
  NimvaraProcess& operator=(const NimvaraProcess&) = delete;

  // With `arguments` after the quoted program path (the one switch).
  bool Start(const std::string& arguments = "");
  // Ends it as a task manager does: no chance to clean up.
  void Kill();
  // The exit code, or -1 when the process did not end in time.
  long WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));
  bool Running() const;
  DWORD Id() const { return id_; }
  // A top-level window of this process with the given class, waiting for it.
  HWND WaitForWindow(const char* className, std::chrono::milliseconds timeout = std::chrono::seconds(15),
                     bool visibleOnly = false) const;
  HWND FindWindowOfClass(const char* className, bool visibleOnly = false) const;
  // A visible dialog of this process with this caption, waiting for it.
  HWND WaitForDialog(const char* caption, std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;

 private:
  UniqueKernelHandle process_;
  DWORD id_ = 0;
};

std::string NimvaraExePath();
// Ends the Windows session for the program as Windows does: the query, then,
// when the program agrees, the end itself. The program's answer to the query
// (0 when it gave none in time).
DWORD_PTR EndWindowsSession(HWND main, DWORD timeoutMs = 10000);
// The program's data folder in this Wine prefix: AppData\Roaming\Nimvara\.
std::string NimvaraDataDir();
// The data folder removed, as on a machine where the program never ran.
void ForgetPreviousRuns();
