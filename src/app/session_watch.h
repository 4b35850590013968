// The hide session's decisions while it is on: what a verification or a watch
// check leads to, which entry of the country takes over from a dead one, when
// to apply the session again and when to stop fighting another program over
// the proxy settings. The main window feeds it events and carries out the
// verdicts (frm_main_watch.cpp); nothing here touches the system.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "directory/server_catalogue.h"

// "CheckSeconds" as the watch uses it: 0 is off, 1..9 count as 10, a negative
// value is the default, and no interval is longer than a timer can wait.
inline constexpr int kDefaultCheckSeconds = 120;
inline constexpr int kMaxCheckSeconds = 2000000;
int WatchIntervalSeconds(int configured);

// Two foreign changes of the proxy settings this close together: stop fighting.
inline constexpr long long kStopFightingMs = 60 * 1000;

enum class CheckOutcome {
  Ok,      // the first answer was "OK"
  Failed,  // no "OK", and the second answer did not refuse the user
  Denied,  // the second answer contains "Access Denied"
};

enum class SessionState { Off, Checking, Verified, NotVerified, Held, NotInEffect, Ending };

struct StatusChange {
  int state = 0;
  std::string text;  // the balloon
  int balloon = 0;
  std::string hint;
  bool operator==(const StatusChange&) const = default;
};

// What the main window does, in this order: log the lines, apply an entry (or
// the current one again), set the status or only the hint, then start a
// verification; or end the program as a refused verification does.
struct WatchVerdict {
  std::vector<std::string> log;
  std::optional<std::size_t> switchTo;  // fail over: make this entry current and start it
  bool reapply = false;                 // the current entry, to every selected browser again
  std::optional<StatusChange> status;
  std::optional<std::string> hint;  // the tray hint alone, no balloon
  std::optional<unsigned> verify;   // run a verification, report its outcome with this ticket
  bool endProgram = false;          // "Verify failed." box, restore, close
};

class SessionWatch {
 public:
  // The catalogue's entries in reply order; kept by reference for the run.
  explicit SessionWatch(const std::vector<TServer>& servers) : servers_(servers) {}

  // A switch to `entry` has been applied ("Umbrix ON" logged). `balloon` is the
  // on balloon's text; `firefoxNotCovered` the reason a selected Firefox was
  // not switched, told once per session.
  WatchVerdict Started(std::size_t entry, const std::string& balloon, const std::string& firefoxNotCovered,
                       int checkSeconds);
  // A verification asked for has ended; one overtaken by a later switch, a
  // stop or the end of the session is dropped.
  WatchVerdict CheckDone(unsigned ticket, CheckOutcome outcome);
  // The timer, a wake from sleep or a network change: time to look again.
  WatchVerdict CheckDue();
  // The WinINet setting no longer holds what the session wrote (`nowMs`: a
  // steady clock).
  WatchVerdict SettingsChanged(long long nowMs);
  // A dial-up or VPN connection came up after the switch.
  WatchVerdict ConnectionAppeared(const std::string& name);
  // The user stopped hiding, or the browsers were restored for good.
  void Stopped();
  // Windows asks whether the session may end (the browsers are restored), and
  // then ends it or cancels the end.
  void EndQueried();
  WatchVerdict EndCancelled();

  SessionState State() const { return state_; }
  bool WatchOn() const { return on() && checkSeconds_ > 0; }
  int CheckSeconds() const { return checkSeconds_; }

 private:
  enum class CheckKind { Start, Failover, Watch };
  bool on() const { return state_ != SessionState::Off && state_ != SessionState::Ending; }
  std::string Label() const;
  WatchVerdict FailOver(WatchVerdict verdict);
  std::optional<std::size_t> NextInCountry() const;
  void AskCheck(WatchVerdict& verdict, CheckKind kind);
  StatusChange OnStatus(const std::string& text, int balloon, const char* hintSuffix) const;

  const std::vector<TServer>& servers_;
  SessionState state_ = SessionState::Off;
  SessionState beforeEnd_ = SessionState::Off;
  CheckKind pending_ = CheckKind::Start;
  std::optional<unsigned> checking_;  // the ticket of the verification in flight
  unsigned tickets_ = 0;
  bool failingOver_ = false;  // the next start is a fail-over's
  std::optional<std::size_t> current_;
  std::set<std::size_t> failed_;  // entries that did not answer since the user's last pick
  bool firefoxTold_ = false;
  int checkSeconds_ = 0;
  std::optional<long long> lastReapplyMs_;
};

// "Umbrix - " + label + suffix: the tray hints of a session.
inline constexpr const char* kHintChecking = " (checking...)";
inline constexpr const char* kHintNotVerified = " (not verified)";
inline constexpr const char* kHintNotInEffect = " (not in effect)";
