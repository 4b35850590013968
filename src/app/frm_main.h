// TfrmMain: the hidden main window. It owns the settings accessor and the
// activity log, runs the start-up sequence and every path that ends the program.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/activity_log.h"
#include "app/settings.h"

inline constexpr const char* kMainWindowClass = "TfrmMain";

class TfrmMain {
 public:
  TfrmMain() = default;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;
  ~TfrmMain();

  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }

  void InitMain();
  void Report(const std::string& message);

  // Shut-down paths.
  void Exit1Click();
  void Close();  // runs the close step, then destroys the window
  void Report1Click();

 private:
  bool InitSettings();
  bool InitInterface();
  void StartLog();
  void WriteLogHeader();
  void LoadOptions();
  void FormClose();
  void EndWithoutClosing();
  void ShowLogWriteFailure(const std::string& text);

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  std::unique_ptr<IniSettings> settings_;
  std::unique_ptr<ActivityLog> log_;
  std::string helpFile_;
  bool VersionChanged = false;
  bool IsFirstRun = false;
  bool closed_ = false;
};
