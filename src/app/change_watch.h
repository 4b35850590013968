// A thread that waits for the two system notifications the session's watch
// needs, address changes and writes under Internet Settings, and posts a
// message to the main window for each; the window decides what they mean.
#pragma once

#include <windows.h>

#include <thread>

#include "host/unique_handle.h"

class ChangeWatch {
 public:
  explicit ChangeWatch(HWND window);
  ~ChangeWatch();  // stops and joins the thread
  ChangeWatch(const ChangeWatch&) = delete;
  ChangeWatch& operator=(const ChangeWatch&) = delete;

 private:
  void Run();

  HWND window_;
  UniqueKernelHandle stop_;
  std::thread thread_;
};
