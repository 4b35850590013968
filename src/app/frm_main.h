// TfrmMain: the hidden main window. It owns the settings accessor, the activity
// log and the tray icon with its menu; it runs the start-up sequence and every
// path that ends the program, and shows the options and About pages.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/activity_log.h"
#include "app/directory_run.h"
#include "app/hide_session.h"
#include "app/main_controls.h"
#include "app/main_window_access.h"
#include "app/umbrix_status.h"
#include "base/settings.h"
#include "app/tray_callback.h"
#include "app/tray_icon.h"
#include "host/unique_handle.h"
#include "ui/link_label.h"

inline constexpr const char* kMainWindowClass = "TfrmMain";
// Posted by a second start to the running copy's main window.
inline constexpr const char* kAlreadyRunningMessage = "Nimvara.AlreadyRunning";

// A second start asks the running copy to show itself (it may sit hidden in
// the notification area's overflow).
void AskRunningCopyToShow();

class TfrmMain {
 public:
  TfrmMain() = default;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;
  ~TfrmMain();

  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }

  void InitMain();
  // The tray icon as it stands: the first busy image until the first status;
  // then the window's pages, still hidden.
  void ShowTrayIcon();
  void Report(const std::string& message);

  // The status of the whole program: tray image, hint, balloon, session items.
  void SetUmbrixStatus(int state, const std::string& text, int balloonIcon, const std::string& hint);
  void SetUmbrixItemEnabled(bool enabled);
  // The lines memBypass holds now, saved or not.
  std::vector<std::string> BypassLines() const;

  void ShowTour();

  // Shut-down paths.
  void Exit1Click();
  void Close();  // runs the close step, then destroys the window
  void Report1Click();

 private:
  bool InitSettings();
  bool InitInterface();
  void StartLog();
  void WriteLogHeader();
  void FormClose();
  void EndWithoutClosing();
  void ShowLogWriteFailure(const std::string& text);

  // The session items as the last status left them, all grayed while busy.
  void ApplySessionItems();

  // The window and its pages (frm_main_layout.cpp).
  void BuildInterface();
  void BuildTitleArea();
  void BuildGeneralPage(HWND page);
  void BuildBypassPage(HWND page);
  void BuildAboutPage(HWND page);
  void CentreAppName();
  HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                  int id, HFONT font = nullptr);
  void SelectPage(int index);
  void PaintTitleArea();
  LRESULT HitTest(LPARAM lParam);

  // Tray icon and menu (frm_main_tray.cpp).
  void BuildTrayMenu();
  void ctiControlMouse(LPARAM mouseMessage);
  void PopupMenuAt(POINT at, UINT alignment);
  void TrayCommand(int id);
  void SeeMyIP1Click();
  void Options1Click();
  void About1Click();
  void ShowMainWindow();
  void HideMainWindow();
  LRESULT AnswerQuery(HWND asker, int question, int index);
  void AlreadyRunning();

  // Options (frm_main_options.cpp).
  void LoadOptions();
  bool SaveOptions();
  void btnOKClick();
  void suiButton1Click();
  void FormShow();

  // About page and the title area's buttons (frm_main_about.cpp).
  void suiMainTitleBarMenuBtnClick();
  void suiMainTitleBarHelpBtnClick();
  void ulbWebsiteClick();
  void ulbContactUsClick();
  void ulbSeeMyIPClick();

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleCommand(int id, int code);

  HWND hwnd_ = nullptr;
  std::unique_ptr<IniSettings> settings_;
  std::unique_ptr<ActivityLog> log_;
  std::string helpFile_;
  bool VersionChanged = false;
  bool IsFirstRun = false;
  bool closed_ = false;
  SessionItems items_ = kSessionItemsAtStart;  // as the status setter wants them
  std::unique_ptr<HideSession> session_;
  std::unique_ptr<DirectoryRun> directory_;

  TrayIcon ctiControl;
  UniqueMenu ppmMain;
  UINT appQueryMessage_ = 0;
  UINT alreadyRunningMessage_ = 0;

  int dpi_ = 96;
  UniqueGdiObject font_, titleFont_, nameFont_, makerFont_;
  HWND pclMain = nullptr;
  std::array<HWND, 3> pages_{};
  HWND btnOK = nullptr, suiButton1 = nullptr;
  HWND menuButton_ = nullptr, helpButton_ = nullptr;
  HWND chkCountry = nullptr, chkStartWithWindows = nullptr, chkIE = nullptr, chkFirefox = nullptr,
       chkRestoreOwnSettings = nullptr;
  std::array<HWND, 2> rdgFirefox{};
  HWND memBypass = nullptr;
  HWND lblAppName = nullptr, lblMaker_ = nullptr;
  LinkLabel ulbWebsite, ulbContactUs, ulbSeeMyIP;
};
