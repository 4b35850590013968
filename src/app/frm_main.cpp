#include "app/frm_main.h"

#include <shellapi.h>

#include "app/message_box.h"
#include "app/program.h"
#include "app/settings_keys.h"
#include "directory/silent_update.h"
#include "host/env_text.h"
#include "host/probes.h"
#include "proxy/firefox_prefs.h"
#include "proxy/switchboard.h"

TfrmMain::~TfrmMain() {
  SetReportSink(nullptr);
  SetSettings(nullptr);
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool TfrmMain::Create(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  RegisterClassExA(&wc);
  hwnd_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kMainWindowClass, kProgramName,
                          WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 378, 460,
                          nullptr, nullptr, instance, this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK TfrmMain::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TfrmMain*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TfrmMain*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      // The session is ending: put every browser back on direct access first.
      SetBrowserProxy(false, "", "", "");
      Close();
      return TRUE;
    case WM_DESTROY:
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void TfrmMain::InitMain() {
  if (!InitSettings() || !InitInterface()) return;
  StartLog();
  WriteLogHeader();
  if (VersionChanged) ResetFirefoxPrefs();
  Report("TimeZone: " + GetTimeZone());
  const std::string reply = SilentUpdate();
  if (!reply.empty()) ProcessUpdate(reply);
}

bool TfrmMain::InitSettings() {
  ProgramPaths& paths = Paths();
  paths.ExePath = GetExePath();
  paths.ExeDir = paths.ExePath.substr(0, paths.ExePath.find_last_of('\\') + 1);
  const std::string appData = GetAppDataDir();
  paths.DataDir = appData + kProgramName;
  // Without an application-data folder, "Nimvara" alone would land in the
  // current folder: treat it as a folder that cannot be created.
  if (appData.empty() || !EnsureFolder(paths.DataDir)) {
    ShowMessageBox(kProgramName, "Can not create Application Data Folder", MessageKind::Error, mbOK);
    EndWithoutClosing();
    return false;
  }
  paths.DataDir = AddBackslash(paths.DataDir);
  settings_ = std::make_unique<IniSettings>(paths.DataDir + "nimvara" + ".ini");
  SetSettings(settings_.get());
  log_ = std::make_unique<ActivityLog>(paths.DataDir + "report.txt",
                                       [this](const std::string& text) { ShowLogWriteFailure(text); });
  SetReportSink([this](const std::string& message) { Report(message); });

  bool written = true;
  if (settings_->ReadString(kSectionConfig, kKeyVersion, "") != kProgramVersion) {
    VersionChanged = true;
    written = settings_->WriteString(kSectionConfig, kKeyVersion, kProgramVersion);
  }
  if (written && settings_->ReadBool(kSectionConfig, kKeyFirstRun, kDefaultFirstRun)) {
    // Written at once: a start cut short later still counts as the first run.
    IsFirstRun = true;
    written = settings_->WriteBool(kSectionConfig, kKeyFirstRun, false);
  }
  if (!written) {
    ShowMessageBox(kProgramName, settings_->WriteErrorText(), MessageKind::Error, mbOK);
    EndWithoutClosing();
    return false;
  }
  helpFile_ = paths.ExeDir + "help.chm";
  paths.SkinFile = settings_->ReadString(kSectionConfig, kKeySkin, paths.ExeDir + "default.skn");
  return true;
}

bool TfrmMain::InitInterface() {
  const DWORD attributes = GetFileAttributesA(Paths().SkinFile.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    MessageBoxA(nullptr, "Can not find Skin File", "Error", MB_OK | MB_ICONERROR);
    Close();
    return false;
  }
  SetWindowTextA(hwnd_, kProgramName);
  LoadOptions();
  return true;
}

void TfrmMain::StartLog() { log_->Start(settings_->Path()); }

void TfrmMain::WriteLogHeader() {
  Report(kProgramName);
  Report(std::string("Version: ") + kProgramVersion);
  Report("OS: " + GetOSName());
  Report("Default Browser: " + GetDefaultBrowser());
}

void TfrmMain::LoadOptions() {
  // The option controls arrive with the options pages.
}

void TfrmMain::Report(const std::string& message) {
  if (log_) log_->Report(message);
}

void TfrmMain::ShowLogWriteFailure(const std::string& text) {
  ShowMessageBox(kProgramName, text, MessageKind::Error, mbOK);
}

void TfrmMain::Exit1Click() {
  SetBrowserProxy(false, "", "", "");
  Close();
}

void TfrmMain::Report1Click() {
  ShellExecuteA(nullptr, "OPEN", (Paths().DataDir + "report.txt").c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

void TfrmMain::Close() {
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  if (hwnd_) DestroyWindow(hwnd_);
}

void TfrmMain::FormClose() {
  Report("Closing...");
  SetReportSink(nullptr);
  SetSettings(nullptr);
  log_.reset();
  settings_.reset();
}

void TfrmMain::EndWithoutClosing() {
  // Start-up cannot go on and nothing is to be logged: end without the close step.
  closed_ = true;
  SetReportSink(nullptr);
  SetSettings(nullptr);
  log_.reset();
  settings_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
}
