// Helpers shared by the tests that run under Wine.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "host/unique_handle.h"

// A fresh, empty folder for one test, removed with its content at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }  // ends with "\"
 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);

// The build folder as a Windows path (Z:\...\build\win64\), from the test's environment.
std::string BuildDir();
std::string EnvVar(const char* name);

// Polls until `condition` holds or `timeout` passes; true when it held.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A dialog box (class #32770) with the given caption, of any process.
HWND FindDialog(const std::string& caption);
// The text of a dialog's message: the largest static control that is not an icon.
std::string DialogText(HWND dialog);
// Clicks the dialog's button with the given control id.
void ClickDialogButton(HWND dialog, int id);

// Watches on its own thread for a dialog with `caption`, remembers its text and
// clicks `buttonId`. For code under test that shows a modal box on this thread.
class DialogAnswerer {
 public:
  DialogAnswerer(std::string caption, int buttonId);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;
  int Count() const { return count_; }
  std::string LastText() const;

 private:
  void Run();
  std::string caption_;
  int buttonId_;
  std::atomic<bool> stop_{false};
  std::atomic<int> count_{0};
  mutable CRITICAL_SECTION lock_;
  std::string lastText_;
  std::thread thread_;
};

// HKCU key removed with all its content when the guard goes.
class ScratchRegKey {
 public:
  explicit ScratchRegKey(std::string subKey);
  ~ScratchRegKey();
  const std::string& SubKey() const { return subKey_; }
 private:
  std::string subKey_;
};
