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
#include "app/change_watch.h"
#include "app/session_watch.h"
#include "app/umbrix_status.h"
#include "base/settings.h"
#include "directory/directory_reply.h"
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

  // The hide session (frm_main_session.cpp): apply the current server, verify it.
  // The current entry to every selected browser; busy meanwhile, since the
  // switch may show a box.
  void ApplyProxy();
  // ApplyProxy, logged as "Umbrix ON".
  void SwitchOn();
  void Umbrix();
  void Umbrix1Click();
  void StopUmbrix1Click();

  // The session's watch (frm_main_watch.cpp): starts a switched session,
  // feeds the watch its events and carries out its verdicts.
  void StartSession(const std::string& balloon);
  void StopSession();
  bool WatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT QueryEndSession();
  void EndSession(bool ending);

  // The directory request and its reply (frm_main_directory.cpp).
  std::string SilentUpdate();
  bool ProcessUpdate(const std::string& reply);

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
  void CarryOut(WatchVerdict verdict);
  CheckOutcome RunCheck();
  void CheckDue();
  void LookAtProxySettings();
  int CheckSecondsSetting() const;
  void RestartWatchTimer();
  void ShowLogWriteFailure(const std::string& text);

  void Reconnect();
  bool FillCatalogue(const ReplyKeys& keys);
  // A message box in the middle of a sequence: nothing else starts meanwhile.
  void ShowSessionBox(const std::string& text);

  // While a directory run, a session sequence or one of its message boxes is
  // in progress (busy), the session commands are grayed and ignored. Restored
  // at the end of the scope.
  class BusyScope {
   public:
    explicit BusyScope(TfrmMain& form) : form_(form), was_(form.busy_) { form_.SetBusy(true); }
    ~BusyScope() { form_.SetBusy(was_); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    TfrmMain& form_;
    bool was_;
  };
  void SetBusy(bool busy);
  // The session items as the last status left them, all grayed while busy.
  void ApplySessionItems();
  void SelectFromCatalogue();

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
  bool busy_ = false;
  SessionItems items_ = kSessionItemsAtStart;  // as the status setter wants them
  int acceptedReplies_ = 0;  // directory runs that got a reply
  std::unique_ptr<SessionWatch> watch_;
  std::unique_ptr<ChangeWatch> changes_;

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
  HWND chkCountry = nullptr, chkStartWithWindows = nullptr, chkIE = nullptr, chkFirefox = nullptr;
  std::array<HWND, 2> rdgFirefox{};
  HWND memBypass = nullptr;
  HWND lblAppName = nullptr, lblMaker_ = nullptr;
  LinkLabel ulbWebsite, ulbContactUs, ulbSeeMyIP;
};

// The main window's status setter and bypass list for the rest of the program;
// they do nothing while no main window exists.
void SetUmbrixStatus(int state, const std::string& text, int balloonIcon, const std::string& hint);
void SetUmbrixItemEnabled(bool enabled);
std::vector<std::string> BypassLines();

// Control ids of the main window.
enum MainControlId : int {
  kIdMenuButton = 201,
  kIdHelpButton,
  kIdTabs,
  kIdCountry,
  kIdStartWithWindows,
  kIdBrowsersGroup,
  kIdIE,
  kIdFirefox,
  kIdFirefoxModeGroup,
  kIdPluginMode,
  kIdRestartFirefox,
  kIdBypassLabel,
  kIdBypass,
  kIdAppName,
  kIdMaker,
  kIdWebsite,
  kIdContactUs,
  kIdSeeMyIP,
};

inline constexpr int kTitleAreaHeight = 40;
