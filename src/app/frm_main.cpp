#include "app/frm_main.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/app_query.h"
#include "base/message_box.h"
#include "base/program.h"
#include "base/settings_keys.h"
#include "app/tray_menu_items.h"
#include "app/umbrix_status.h"
#include "directory/show_server_list.h"
#include "host/env_text.h"
#include "host/probes.h"
#include "host/text_file.h"
#include "proxy/firefox_prefs.h"
#include "proxy/switchboard.h"
#include "ui/ui_metrics.h"

namespace {
TfrmMain* gMainForm = nullptr;
}  // namespace

TfrmMain::~TfrmMain() {
  if (gMainForm == this) {
    gMainForm = nullptr;
    SetUmbrixStarter(nullptr);
  }
  SetReportSink(nullptr);
  SetSettings(nullptr);
  ctiControl.Remove();
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

  // A fixed dialog border and no system caption: the title area with its menu
  // and help buttons is part of the window, and there is no minimise,
  // maximise or close button.
  constexpr DWORD style = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
  constexpr DWORD exStyle = WS_EX_CONTROLPARENT;
  dpi_ = ScreenDpi();
  RECT frame{0, 0, Scaled(372, dpi_), Scaled(437, dpi_)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  hwnd_ = CreateWindowExA(exStyle, kMainWindowClass, kProgramName, style,
                          (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                          width, height, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  gMainForm = this;
  HideSession::Window window;
  window.handle = hwnd_;
  window.busyChanged = [this] { ApplySessionItems(); };
  window.setHint = [this](const std::string& hint) { ctiControl.SetHint(hint); };
  window.close = [this] { Close(); };
  window.closed = [this] { return closed_; };
  session_ = std::make_unique<HideSession>(std::move(window));
  directory_ = std::make_unique<DirectoryRun>(
      DirectoryRun::Window{hwnd_, [this] { return closed_; }, [this] { Exit1Click(); }}, *session_);
  SetUmbrixStarter([this] { session_->Umbrix(); });
  appQueryMessage_ = RegisterWindowMessageA(kAppQueryMessage);
  alreadyRunningMessage_ = RegisterWindowMessageA(kAlreadyRunningMessage);
  BuildTrayMenu();
  ctiControl.Create(hwnd_, kTrayCallbackMessage);
  return true;
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
  if (message == ctiControl.TaskbarCreatedMessage() && message != 0) {
    ctiControl.TaskbarCreated();
    return 0;
  }
  if (message == appQueryMessage_ && message != 0)
    return AnswerQuery(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
  if (message == alreadyRunningMessage_ && message != 0) {
    AlreadyRunning();
    return 0;
  }
  if (LRESULT result = 0; session_ && session_->WatchMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case kTrayCallbackMessage:
      ctiControlMouse(lParam);
      return 0;
    case WM_TIMER:
      if (wParam == TrayIcon::kAnimationTimer) ctiControl.NextFrame();
      return 0;
    case WM_COMMAND:
      if (HandleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == pclMain && header->code == TCN_SELCHANGE)
        SelectPage(static_cast<int>(SendMessageA(pclMain, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case WM_SHOWWINDOW:
      if (wParam) FormShow();
      break;
    case WM_SYSCOMMAND:
      // Minimised means hidden: the tray icon stays.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        HideMainWindow();
        return 0;
      }
      break;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) HideMainWindow();
      break;
    case WM_NCHITTEST:
      return HitTest(lParam);
    case WM_PAINT:
      PaintTitleArea();
      return 0;
    case WM_CLOSE:
      // Alt+F4 on the shown window ends the program as Exit does: the browsers first.
      Exit1Click();
      return 0;
    case WM_QUERYENDSESSION:
      return session_ ? session_->QueryEndSession() : TRUE;
    case WM_DESTROY:
      ctiControl.Remove();
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool TfrmMain::HandleCommand(int id, int code) {
  if (id >= kCmdUmbrix && id <= kCmdExit) {
    TrayCommand(id);
    return true;
  }
  if (code != BN_CLICKED) return false;  // STN_CLICKED has the same value
  switch (id) {
    case IDOK: btnOKClick(); return true;
    case IDCANCEL: suiButton1Click(); return true;
    case kIdMenuButton: suiMainTitleBarMenuBtnClick(); return true;
    case kIdHelpButton: suiMainTitleBarHelpBtnClick(); return true;
    case kIdWebsite: ulbWebsiteClick(); return true;
    case kIdContactUs: ulbContactUsClick(); return true;
    case kIdSeeMyIP: ulbSeeMyIPClick(); return true;
  }
  return false;
}

void TfrmMain::InitMain() {
  // Other programs' messages get in wherever a step waits on the shell or shows
  // a box; an end of session among them closes the window, and start-up stops.
  const auto open = [this] { return !closed_; };
  if (!open() || !InitSettings()) return;
  ShowTrayIcon();
  if (!open() || !InitInterface() || !open()) return;
  StartLog();
  WriteLogHeader();
  if (VersionChanged && open()) ResetFirefoxPrefs();
  if (!open()) return;
  Report("TimeZone: " + GetTimeZone());
  if (log_) log_->EndHeader();  // what every new report.txt begins with
  if (IsFirstRun) ShowTour();
  if (!open()) return;
  SetUmbrixStatus(kStatusBusy, "SilentUpdate. Please wait...", kBalloonInformation, "");
  if (!open()) return;
  const std::string reply = directory_->SilentUpdate();
  if (!reply.empty() && open()) directory_->ProcessUpdate(reply);
}

void TfrmMain::ShowTrayIcon() {
  // Added once the settings are open, not at the window's creation: adding it
  // lets other programs' messages in, and an end of session arriving then
  // needs the settings to restore the browsers. The window stays hidden.
  ctiControl.Show();
  // The pages come after the icon, which need not wait for the common
  // controls to load; nothing shows them before InitInterface.
  if (hwnd_ && !closed_) BuildInterface();
}

bool TfrmMain::InitSettings() {
  ProgramPaths& paths = Paths();
  paths.ExePath = GetExePath();
  paths.ExeDir = paths.ExePath.substr(0, paths.ExePath.find_last_of('\\') + 1);
  std::wstring refusal;
  const std::string appData = GetAppDataDir(&refusal);
  if (!refusal.empty()) {
    // Wide: the folder's name is exactly what the ANSI calls cannot spell.
    MessageBoxW(nullptr, refusal.c_str(), L"Nimvara", MB_OK | MB_ICONERROR);
    EndWithoutClosing();
    return false;
  }
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
  const std::string& skin = Paths().SkinFile;
  if (!PathExists(skin) || IsFolder(skin)) {
    MessageBoxA(nullptr, "Can not find Skin File", "Error", MB_OK | MB_ICONERROR);
    Close();
    return false;
  }
  CentreAppName();
  SetWindowTextA(hwnd_, kProgramName);
  LoadOptions();
  return true;
}

void TfrmMain::StartLog() {
  if (log_ && settings_) log_->Start(settings_->Path());
}

void TfrmMain::WriteLogHeader() {
  Report(kProgramName);
  Report(std::string("Version: ") + kProgramVersion);
  Report("OS: " + GetOSName());
  Report("Default Browser: " + GetDefaultBrowser());
}

void TfrmMain::Report(const std::string& message) {
  if (log_) log_->Report(message);
}

void TfrmMain::ShowLogWriteFailure(const std::string& text) {
  ShowMessageBox(kProgramName, text, MessageKind::Error, mbOK);
}

void TfrmMain::Exit1Click() {
  session_->RestoreForExit();
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

void SetUmbrixStatus(int state, const std::string& text, int balloonIcon, const std::string& hint) {
  if (gMainForm) gMainForm->SetUmbrixStatus(state, text, balloonIcon, hint);
}

void SetUmbrixItemEnabled(bool enabled) {
  if (gMainForm) gMainForm->SetUmbrixItemEnabled(enabled);
}

std::vector<std::string> BypassLines() { return gMainForm ? gMainForm->BypassLines() : std::vector<std::string>{}; }
