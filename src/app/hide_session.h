// The hide session's Windows side: the current catalogue entry applied to the
// browsers, the watch (SessionWatch) fed its events and its verdicts carried
// out, the verifications through the entry's own proxy, every restore, and the
// busy state that keeps one sequence from starting inside another. The main
// window owns it and hands it the messages it listens for.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/change_watch.h"
#include "app/session_watch.h"

struct TServer;

class HideSession {
 public:
  // What the session needs of the window that owns it.
  struct Window {
    HWND handle = nullptr;                            // its timers and posted messages
    std::function<void()> busyChanged;                // gray or enable the session items
    std::function<void(const std::string&)> setHint;  // the tray hint alone, no balloon
    std::function<void()> close;                      // the close step: the program ends
    std::function<bool()> closed;
  };

  explicit HideSession(Window window) : window_(std::move(window)) {}
  HideSession(const HideSession&) = delete;
  HideSession& operator=(const HideSession&) = delete;

  // A pick (the selection dialog or the remembered country): the current entry,
  // verified. One made while a sequence is in progress is carried out after it.
  void Umbrix();
  void Umbrix1Click();
  void StopUmbrix1Click();
  // Exit, Alt+F4 and an accepted update: every browser back, nothing started meanwhile.
  void RestoreForExit();
  LRESULT QueryEndSession();
  void EndSession(bool ending);
  // Timers, notifications, power and end-of-session messages; false when the
  // message is not the session's.
  bool WatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // While a directory run, a session sequence or one of its message boxes is
  // in progress (busy), the session commands are grayed and picks wait.
  bool Busy() const { return busy_; }
  void SetBusy(bool busy);
  class BusyScope {
   public:
    explicit BusyScope(HideSession& session) : session_(session), was_(session.busy_) { session_.SetBusy(true); }
    ~BusyScope() { session_.SetBusy(was_); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    HideSession& session_;
    bool was_;
  };
  // A message box in the middle of a sequence: nothing else starts meanwhile.
  void ShowSessionBox(const std::string& text);

 private:
  bool Closed() const { return window_.closed && window_.closed(); }
  void ApplyProxy();
  void SwitchOn();
  void StartSession(const std::string& balloon);
  void StopSession();
  void Restore();
  void CarryOut(WatchVerdict verdict);
  CheckOutcome RunCheck();
  void CheckDue();
  void NetworkSettled();
  void GiveNewConnections();
  void LookAtProxySettings();
  void TakenBack();
  void CarryOutPick();
  int CheckSecondsSetting() const;
  void RestartWatchTimer();

  Window window_;
  bool busy_ = false;
  std::optional<const TServer*> pendingPick_;  // a pick made while busy
  std::unique_ptr<SessionWatch> watch_;
  std::unique_ptr<ChangeWatch> changes_;
};
