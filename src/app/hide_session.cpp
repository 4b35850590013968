#include "app/hide_session.h"

#include "app/main_window_access.h"
#include "app/session_text.h"
#include "app/umbrix_status.h"
#include "app/watch_messages.h"
#include "base/message_box.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "directory/server_catalogue.h"
#include "directory/server_list.h"
#include "net/fetch_wait.h"
#include "nimvara_config.h"
#include "proxy/own_settings_win.h"
#include "proxy/switchboard.h"
#include "proxy/wininet_proxy.h"

namespace {

// The options' bypass lines and the fixed hosts, as every apply gives them.
std::string SessionBypass() {
  return BypassText(BypassLines(), nimvara::config::kBypassHost1, nimvara::config::kBypassHost2);
}

}  // namespace

void HideSession::SetBusy(bool busy) {
  const bool ended = busy_ && !busy;
  busy_ = busy;
  if (window_.busyChanged) window_.busyChanged();
  // Posted: the pick runs from the message loop, not inside the sequence's last steps.
  if (ended && pendingPick_ && window_.handle) PostMessageA(window_.handle, kPendingPickMessage, 0, 0);
}

void HideSession::ShowSessionBox(const std::string& text) {
  BusyScope busy(*this);
  ShowMessageBox(kProgramName, text, MessageKind::Error, mbOK);
}

int HideSession::CheckSecondsSetting() const {
  const IniSettings* settings = Settings();
  return settings ? settings->ReadInteger(kSectionConfig, kKeyCheckSeconds, kDefaultCheckSeconds)
                  : kDefaultCheckSeconds;
}

void HideSession::ApplyProxy() {
  const ServerCatalogue& catalogue = Catalogue();
  const TServer* server = catalogue.CurrentServer;
  if (!server) return;
  BusyScope busy(*this);  // the switch may show a box
  std::vector<std::string> hosts;
  for (const TServer& entry : catalogue.Servers) hosts.push_back(entry.Address);
  NoteProgramsProxyHosts(std::move(hosts));
  SetBrowserProxy(true, ProxyText(server->Address, catalogue.ProxyPort), ServerLabel(*server), SessionBypass());
}

void HideSession::SwitchOn() {
  ApplyProxy();
  Report("Umbrix ON");
}

void HideSession::Restore() {
  BusyScope busy(*this);  // its boxes must not let a pick switch the browsers back on
  SetBrowserProxy(false, "", "", "");
}

void HideSession::Umbrix() {
  const TServer* server = Catalogue().CurrentServer;
  if (!server || Closed()) return;
  if (busy_) {
    // The entry as picked: a fail-over meanwhile must not replace it.
    pendingPick_ = server;
    return;
  }
  pendingPick_.reset();
  SwitchOn();
  StartSession("Umbrix - " + ServerLabel(*server));
}

void HideSession::CarryOutPick() {
  if (!pendingPick_ || busy_ || Closed()) return;
  Catalogue().CurrentServer = *pendingPick_;
  Umbrix();
}

void HideSession::Umbrix1Click() {
  if (!Catalogue().CurrentServer || busy_) return;  // the item stays disabled until a pick
  SwitchOn();
  // Verified as a pick is: the tray does not say "on" on trust.
  StartSession("Umbrix ON");
}

void HideSession::StopUmbrix1Click() {
  if (busy_) return;
  StopSession();
  Restore();
  SetUmbrixStatus(kStatusOff, "User stopped Umbrix", kBalloonInformation, "");
  Report("User stopped Umbrix");
}

void HideSession::RestoreForExit() {
  // No check may put a proxy back while the restore shows its boxes.
  StopSession();
  pendingPick_.reset();
  Restore();
}

void HideSession::StartSession(const std::string& balloon) {
  const ServerCatalogue& catalogue = Catalogue();
  if (!catalogue.CurrentServer || Closed()) return;
  if (!watch_) watch_ = std::make_unique<SessionWatch>(catalogue.Servers);
  // The notifications are listened for from the first session on.
  if (!changes_) changes_ = std::make_unique<ChangeWatch>(window_.handle);
  const std::size_t entry = static_cast<std::size_t>(catalogue.CurrentServer - catalogue.Servers.data());
  WatchVerdict verdict = watch_->Started(entry, balloon, FirefoxNotCovered(), CheckSecondsSetting());
  RestartWatchTimer();  // measured from the switch
  CarryOut(std::move(verdict));
}

void HideSession::RestartWatchTimer() {
  KillTimer(window_.handle, kWatchTimer);
  KillTimer(window_.handle, kSettleTimer);  // a verification has just been asked for
  if (watch_ && watch_->WatchOn()) SetTimer(window_.handle, kWatchTimer, watch_->CheckSeconds() * 1000u, nullptr);
}

void HideSession::StopSession() {
  KillTimer(window_.handle, kWatchTimer);
  if (watch_) watch_->Stopped();
}

void HideSession::CarryOut(WatchVerdict verdict) {
  // A loop, not recursion: a fail-over's start yields the next verdict.
  for (;;) {
    for (const std::string& line : verdict.log) Report(line);
    if (verdict.switchTo) {
      ServerCatalogue& catalogue = Catalogue();
      const TServer& next = catalogue.Servers[*verdict.switchTo];
      catalogue.CurrentServer = &next;
      SwitchOn();
      verdict = watch_->Started(*verdict.switchTo, "Umbrix - " + ServerLabel(next), FirefoxNotCovered(),
                                CheckSecondsSetting());
      continue;
    }
    if (verdict.reapply) ApplyProxy();
    if (verdict.status)
      SetUmbrixStatus(verdict.status->state, verdict.status->text, verdict.status->balloon, verdict.status->hint);
    if (verdict.hint && window_.setHint) window_.setHint(*verdict.hint);
    if (verdict.endProgram) {
      ShowSessionBox("Verify failed. Please restart Nimvara!");
      if (Closed()) return;
      pendingPick_.reset();
      Restore();
      if (window_.close) window_.close();
      return;
    }
    if (!verdict.verify || Closed()) return;
    const unsigned ticket = *verdict.verify;
    CheckOutcome outcome = CheckOutcome::Failed;
    {
      BusyScope busy(*this);  // no session command while the network is waited for
      outcome = RunCheck();
    }
    if (Closed() || !watch_) return;
    // A pick made meanwhile replaces this entry: what it answered no longer
    // matters, unless the proxy refused the user's account itself.
    if (pendingPick_ && outcome != CheckOutcome::Denied) return;
    verdict = watch_->CheckDone(ticket, outcome);
  }
}

CheckOutcome HideSession::RunCheck() {
  // Through the entry's own proxy, named here: whatever WinINet holds, and
  // whichever browsers are switched. Only the bodies are judged.
  const ServerCatalogue& catalogue = Catalogue();
  if (!catalogue.CurrentServer) return CheckOutcome::Failed;
  const std::string proxy = ProxyText(catalogue.CurrentServer->Address, catalogue.ProxyPort);
  const std::string url = VerifyUrl(nimvara::config::kIpCheckHost);
  std::string body;
  FetchUrlWaiting(url, body, catalogue.ProxyUser.c_str(), catalogue.ProxyPassword.c_str(), proxy.c_str());
  if (IsVerifiedBody(body)) return CheckOutcome::Ok;
  if (Closed()) return CheckOutcome::Failed;
  FetchUrlWaiting(url, body, catalogue.ProxyUser.c_str(), catalogue.ProxyPassword.c_str(), proxy.c_str());
  return IsAccessDenied(body) ? CheckOutcome::Denied : CheckOutcome::Failed;
}

void HideSession::GiveNewConnections() {
  // A dial-up or VPN connection that came up since the switch gets the session
  // too, whether or not checks are on.
  if (!watch_ || Closed()) return;
  for (const std::string& name : DialUpConnectionsSinceSwitch()) CarryOut(watch_->ConnectionAppeared(name));
}

void HideSession::TakenBack() {
  CarryOut(watch_->SettingsChanged(static_cast<long long>(GetTickCount64())));
}

void HideSession::CheckDue() {
  if (!watch_ || Closed() || !watch_->WatchOn()) return;
  GiveNewConnections();
  // The check goes through the entry's proxy whatever WinINet holds: look at
  // WinINet too, in case another program took the setting back unnoticed.
  if (!Closed() && WinInetSelected() && !WinInetSessionInEffect()) TakenBack();
  if (Closed()) return;
  WatchVerdict verdict = watch_->CheckDue();
  if (verdict.verify) CarryOut(std::move(verdict));
}

void HideSession::NetworkSettled() {
  GiveNewConnections();
  CheckDue();
}

void HideSession::LookAtProxySettings() {
  // The program's own writes notify too: only a setting that differs from
  // what the session wrote counts.
  if (!watch_ || Closed() || WinInetSessionInEffect()) return;
  if (!busy_) {
    TakenBack();
    return;
  }
  // A sequence or one of its boxes is on: WinINet is put right at once all the
  // same, alone, so that no box of Firefox's stacks on the open one and no
  // check starts inside the sequence.
  const WatchVerdict verdict = watch_->SettingsChanged(static_cast<long long>(GetTickCount64()));
  for (const std::string& line : verdict.log) Report(line);
  if (verdict.reapply) {
    const ServerCatalogue& catalogue = Catalogue();
    if (const TServer* server = catalogue.CurrentServer)
      SetWinInetProxyAgain(ProxyText(server->Address, catalogue.ProxyPort), SessionBypass());
  }
  if (verdict.status)
    SetUmbrixStatus(verdict.status->state, verdict.status->text, verdict.status->balloon, verdict.status->hint);
}

bool HideSession::WatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  const HWND hwnd = window_.handle;
  switch (message) {
    case WM_TIMER:
      if (wParam != kWatchTimer && wParam != kSettleTimer && wParam != kSettingsTimer) return false;
      if (wParam != kWatchTimer) KillTimer(hwnd, wParam);  // once
      if (wParam == kSettingsTimer) {
        LookAtProxySettings();
      } else if (busy_) {
        // Another sequence or its box is on: check once it is over.
        SetTimer(hwnd, kSettleTimer, kSettleMs, nullptr);
      } else if (wParam == kSettleTimer) {
        NetworkSettled();
      } else {
        CheckDue();
      }
      return true;
    case kAddressChangedMessage:
      if (changes_) changes_->Rearm(message);
      // One change comes as several notifications, and the new address needs
      // a moment before anything answers through it.
      SetTimer(hwnd, kSettleTimer, kSettleMs, nullptr);
      return true;
    case kProxySettingsMessage:
      if (changes_) changes_->Rearm(message);
      SetTimer(hwnd, kSettingsTimer, kSettingsSettleMs, nullptr);
      return true;
    case kPendingPickMessage:
      CarryOutPick();
      return true;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
        SetTimer(hwnd, kSettleTimer, kSettleMs, nullptr);
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      EndSession(wParam != FALSE);
      return true;
  }
  (void)lParam;
  return false;
}

LRESULT HideSession::QueryEndSession() {
  // Restored now, while the answer is still ours to give; the program ends
  // only when the session really does. No box may hold up the log-off.
  if (watch_) watch_->EndQueried();
  KillTimer(window_.handle, kWatchTimer);
  pendingPick_.reset();
  SetMessageBoxesSilent(true);
  Restore();
  SetMessageBoxesSilent(false);
  return TRUE;
}

void HideSession::EndSession(bool ending) {
  if (ending) {
    if (window_.close) window_.close();
    return;
  }
  if (!watch_ || Closed()) return;
  // Windows cancelled the end: the session the user had, again.
  WatchVerdict verdict = watch_->EndCancelled();
  RestartWatchTimer();
  CarryOut(std::move(verdict));
}
