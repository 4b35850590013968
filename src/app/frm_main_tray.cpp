// The tray icon's menu ppmMain, the status setter, and showing and hiding the
// main window.
#include <windows.h>
#include <commctrl.h>

#include "app/about_page_text.h"
#include "app/app_query.h"
#include "app/frm_main.h"
#include "app/tray_menu_items.h"
#include "app/umbrix_status.h"
#include "directory/server_catalogue.h"
#include "directory/show_server_list.h"
#include "host/probes.h"
#include "nimvara_config.h"

void TfrmMain::BuildTrayMenu() {
  ppmMain.reset(CreatePopupMenu());
  for (const TrayMenuItem& item : kTrayMenu)
    AppendMenuA(ppmMain.get(), MF_STRING | (item.enabledAtStart ? MF_ENABLED : MF_GRAYED), item.id, item.caption);
}

void TfrmMain::SetUmbrixStatus(int state, const std::string& text, int balloonIcon, const std::string& hint) {
  const std::optional<StatusLook> look = StatusLookFor(state, text, hint, Catalogue().CurrentServer != nullptr);
  if (!look) return;
  if (look->busy)
    ctiControl.ShowBusy();
  else
    ctiControl.ShowStatusImage(look->statusImage);
  ctiControl.SetHint(look->hint);
  ctiControl.ShowBalloon(BalloonFor(text, balloonIcon));
  if (!look->items) return;
  items_ = *look->items;
  ApplySessionItems();
}

void TfrmMain::SetUmbrixItemEnabled(bool enabled) {
  items_.umbrix = enabled;
  ApplySessionItems();
}

void TfrmMain::ApplySessionItems() {
  const bool busy = session_ && session_->Busy();
  const auto enable = [&](int id, bool on) {
    EnableMenuItem(ppmMain.get(), id, MF_BYCOMMAND | (on && !busy ? MF_ENABLED : MF_GRAYED));
  };
  enable(kCmdUmbrix, items_.umbrix);
  enable(kCmdSelectIP, items_.selectIP);
  enable(kCmdStopUmbrix, items_.stopUmbrix);
  if (btnOK) EnableWindow(btnOK, !busy);
}

void TfrmMain::ctiControlMouse(LPARAM mouseMessage) {
  // Either button opens the menu; a double click adds nothing, as the menu
  // has no default item.
  if (mouseMessage != WM_LBUTTONUP && mouseMessage != WM_RBUTTONUP) return;
  POINT at;
  GetCursorPos(&at);
  PopupMenuAt(at, GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
}

void TfrmMain::PopupMenuAt(POINT at, UINT alignment) {
  // The foreground and WM_NULL make the menu close when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(ppmMain.get(), alignment | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void TfrmMain::TrayCommand(int id) {
  // From a menu opened before the present sequence began.
  if (session_->Busy() && (id == kCmdUmbrix || id == kCmdStopUmbrix || id == kCmdSelectIP)) return;
  switch (id) {
    case kCmdUmbrix: session_->Umbrix1Click(); break;
    case kCmdStopUmbrix: session_->StopUmbrix1Click(); break;
    case kCmdSelectIP: ShowServerList(true); break;
    case kCmdSeeMyIP: SeeMyIP1Click(); break;
    case kCmdOptions: Options1Click(); break;
    case kCmdReport: Report1Click(); break;
    case kCmdHelp: ShowTour(); break;
    case kCmdAbout: About1Click(); break;
    case kCmdExit: Exit1Click(); break;
  }
}

void TfrmMain::SeeMyIP1Click() { OpenURL(IpCheckLink(nimvara::config::kIpCheckHost).url); }

void TfrmMain::Options1Click() { ShowMainWindow(); }

void TfrmMain::About1Click() {
  SelectPage(static_cast<int>(pages_.size()) - 1);
  ShowMainWindow();
}

void TfrmMain::ShowMainWindow() {
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
}

void TfrmMain::HideMainWindow() { ShowWindow(hwnd_, SW_HIDE); }

void TfrmMain::AlreadyRunning() {
  ctiControl.ShowBalloon(BalloonFor("Nimvara is already running", kBalloonInformation));
}

void AskRunningCopyToShow() {
  // Posted: a copy busy in a dialog answers once it gets to its messages.
  if (HWND running = FindWindowA(kMainWindowClass, nullptr))
    PostMessageA(running, RegisterWindowMessageA(kAlreadyRunningMessage), 0, 0);
}

LRESULT TfrmMain::AnswerQuery(HWND asker, int question, int index) {
  std::string answer;
  switch (question) {
    case kAskHint: answer = ctiControl.Hint(); break;
    case kAskMenuItem: {
      const UINT state = GetMenuState(ppmMain.get(), index, MF_BYPOSITION);
      char caption[64] = {};
      if (state == static_cast<UINT>(-1)) return 0;
      GetMenuStringA(ppmMain.get(), index, caption, sizeof(caption), MF_BYPOSITION);
      answer = (state & (MF_GRAYED | MF_DISABLED)) ? "0 " : "1 ";
      answer += caption;
      break;
    }
    case kAskPage: {
      char caption[64] = {};
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption;
      item.cchTextMax = sizeof(caption);
      SendMessageA(pclMain, TCM_GETITEMA, SendMessageA(pclMain, TCM_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(&item));
      answer = caption;
      break;
    }
    case kAskTrayImage: answer = ctiControl.ImageText(); break;
    case kAskTrayShown: answer.assign(1, ctiControl.Shown() ? '1' : '0'); break;
    case kAskBalloon: answer = ctiControl.BalloonText(); break;
    default: return 0;
  }
  if (!IsWindow(asker)) return 0;
  COPYDATASTRUCT data{static_cast<ULONG_PTR>(question), static_cast<DWORD>(answer.size()), answer.data()};
  // Any local program may name the asker: one that does not take the answer
  // must not hold the interface thread for longer than a moment.
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_), reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, kAppQueryReplyTimeoutMs, &ignored) != 0;
}
