// The Windows side of the session's watch: the timer, the wake from sleep, the
// address and proxy-setting notifications and the end of the Windows session
// become events of SessionWatch; its verdicts become log lines, switches,
// statuses and verifications here.
#include "app/frm_main.h"

#include "app/session_text.h"
#include "app/umbrix_status.h"
#include "app/watch_messages.h"
#include "base/settings_keys.h"
#include "directory/server_catalogue.h"
#include "directory/server_list.h"
#include "net/fetch_wait.h"
#include "nimvara_config.h"
#include "proxy/switchboard.h"
#include "proxy/wininet_proxy.h"

int TfrmMain::CheckSecondsSetting() const {
  return settings_ ? settings_->ReadInteger(kSectionConfig, kKeyCheckSeconds, kDefaultCheckSeconds)
                   : kDefaultCheckSeconds;
}

void TfrmMain::StartSession(const std::string& balloon) {
  const ServerCatalogue& catalogue = Catalogue();
  if (!catalogue.CurrentServer || closed_) return;
  if (!watch_) watch_ = std::make_unique<SessionWatch>(catalogue.Servers);
  // The notifications are listened for from the first session on.
  if (!changes_) changes_ = std::make_unique<ChangeWatch>(hwnd_);
  const std::size_t entry = static_cast<std::size_t>(catalogue.CurrentServer - catalogue.Servers.data());
  WatchVerdict verdict = watch_->Started(entry, balloon, FirefoxNotCovered(), CheckSecondsSetting());
  RestartWatchTimer();  // measured from the switch
  CarryOut(std::move(verdict));
}

void TfrmMain::RestartWatchTimer() {
  KillTimer(hwnd_, kWatchTimer);
  KillTimer(hwnd_, kSettleTimer);  // a verification has just been asked for
  if (watch_ && watch_->WatchOn()) SetTimer(hwnd_, kWatchTimer, watch_->CheckSeconds() * 1000u, nullptr);
}

void TfrmMain::StopSession() {
  KillTimer(hwnd_, kWatchTimer);
  if (watch_) watch_->Stopped();
}

void TfrmMain::CarryOut(WatchVerdict verdict) {
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
    if (verdict.hint) ctiControl.SetHint(*verdict.hint);
    if (verdict.endProgram) {
      ShowSessionBox("Verify failed. Please restart Nimvara!");
      if (closed_) return;
      SetBrowserProxy(false, "", "", "");
      Close();
      return;
    }
    if (!verdict.verify || closed_) return;
    const unsigned ticket = *verdict.verify;
    CheckOutcome outcome = CheckOutcome::Failed;
    {
      BusyScope busy(*this);  // no session command while the network is waited for
      outcome = RunCheck();
    }
    if (closed_ || !watch_) return;
    verdict = watch_->CheckDone(ticket, outcome);
  }
}

CheckOutcome TfrmMain::RunCheck() {
  // Through whatever proxy WinINet holds now; only the bodies are judged.
  const ServerCatalogue& catalogue = Catalogue();
  const std::string url = VerifyUrl(nimvara::config::kIpCheckHost);
  std::string body;
  FetchUrlWaiting(url, body, catalogue.ProxyUser.c_str(), catalogue.ProxyPassword.c_str());
  if (IsVerifiedBody(body)) return CheckOutcome::Ok;
  if (closed_) return CheckOutcome::Failed;
  FetchUrlWaiting(url, body, catalogue.ProxyUser.c_str(), catalogue.ProxyPassword.c_str());
  return IsAccessDenied(body) ? CheckOutcome::Denied : CheckOutcome::Failed;
}

void TfrmMain::CheckDue() {
  if (!watch_ || closed_) return;
  WatchVerdict verdict = watch_->CheckDue();
  if (!verdict.verify) return;
  // A dial-up or VPN connection that came up since the switch gets the session too.
  for (const std::string& name : DialUpConnectionsSinceSwitch()) CarryOut(watch_->ConnectionAppeared(name));
  CarryOut(std::move(verdict));
}

void TfrmMain::LookAtProxySettings() {
  // The program's own writes notify too: only a setting that differs from
  // what the session wrote counts.
  if (!watch_ || closed_ || WinInetSessionInEffect()) return;
  CarryOut(watch_->SettingsChanged(static_cast<long long>(GetTickCount64())));
}

bool TfrmMain::WatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_TIMER:
      if (wParam != kWatchTimer && wParam != kSettleTimer && wParam != kSettingsTimer) return false;
      if (wParam != kWatchTimer) KillTimer(hwnd_, wParam);  // once
      if (busy_) {
        // Another sequence or its box is on: look once it is over.
        if (wParam == kSettingsTimer)
          SetTimer(hwnd_, kSettingsTimer, kSettingsSettleMs, nullptr);
        else
          SetTimer(hwnd_, kSettleTimer, kSettleMs, nullptr);
      } else if (wParam == kSettingsTimer) {
        LookAtProxySettings();
      } else {
        CheckDue();
      }
      return true;
    case kAddressChangedMessage:
      if (changes_) changes_->Rearm(message);
      // One change comes as several notifications, and the new address needs
      // a moment before anything answers through it.
      SetTimer(hwnd_, kSettleTimer, kSettleMs, nullptr);
      return true;
    case kProxySettingsMessage:
      if (changes_) changes_->Rearm(message);
      SetTimer(hwnd_, kSettingsTimer, kSettingsSettleMs, nullptr);
      return true;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
        SetTimer(hwnd_, kSettleTimer, kSettleMs, nullptr);
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      EndSession(wParam != FALSE);
      return true;
  }
  (void)lParam;
  return false;
}

LRESULT TfrmMain::QueryEndSession() {
  // Restored now, while the answer is still ours to give; the program ends
  // only when the session really does.
  if (watch_) watch_->EndQueried();
  KillTimer(hwnd_, kWatchTimer);
  SetBrowserProxy(false, "", "", "");
  return TRUE;
}

void TfrmMain::EndSession(bool ending) {
  if (ending) {
    Close();
    return;
  }
  if (!watch_ || closed_) return;
  // Windows cancelled the end: the session the user had, again.
  WatchVerdict verdict = watch_->EndCancelled();
  RestartWatchTimer();
  CarryOut(std::move(verdict));
}
