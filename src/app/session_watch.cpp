#include "app/session_watch.h"

#include "app/umbrix_status.h"
#include "directory/server_list.h"

int WatchIntervalSeconds(int configured) {
  if (configured < 0) return kDefaultCheckSeconds;
  if (configured == 0) return 0;
  return configured < 10 ? 10 : configured > kMaxCheckSeconds ? kMaxCheckSeconds : configured;
}

std::string SessionWatch::Label() const { return current_ ? ServerLabel(servers_[*current_]) : std::string(); }

StatusChange SessionWatch::OnStatus(const std::string& text, int balloon, const char* hintSuffix) const {
  return StatusChange{kStatusOn, text, balloon, "Umbrix - " + Label() + hintSuffix};
}

void SessionWatch::AskCheck(WatchVerdict& verdict, CheckKind kind) {
  pending_ = kind;
  checking_ = ++tickets_;
  verdict.verify = checking_;
}

WatchVerdict SessionWatch::Started(std::size_t entry, const std::string& balloon,
                                   const std::string& firefoxNotCovered, int checkSeconds) {
  WatchVerdict verdict;
  const bool failover = failingOver_;
  failingOver_ = false;
  if (entry >= servers_.size()) return verdict;
  // The user's own pick begins afresh: entries that failed before may answer now.
  if (!failover) failed_.clear();
  current_ = entry;
  checkSeconds_ = WatchIntervalSeconds(checkSeconds);
  lastReapplyMs_.reset();
  state_ = SessionState::Checking;
  std::string text = balloon;
  if (!firefoxNotCovered.empty() && !firefoxTold_) {
    // Once per session: a fail-over or a new pick does not repeat it.
    firefoxTold_ = true;
    const std::string line = "Firefox is not covered: " + firefoxNotCovered;
    verdict.log.push_back(line);
    text += "\n" + line;
  }
  verdict.status = OnStatus(text, kBalloonInformation, kHintChecking);
  AskCheck(verdict, failover ? CheckKind::Failover : CheckKind::Start);
  return verdict;
}

WatchVerdict SessionWatch::CheckDone(unsigned ticket, CheckOutcome outcome) {
  WatchVerdict verdict;
  if (!on() || checking_ != ticket) return verdict;
  checking_.reset();
  const bool watch = pending_ == CheckKind::Watch;
  if (outcome == CheckOutcome::Denied) {
    if (watch) verdict.log.push_back("Check: " + Label() + " failed");
    verdict.log.insert(verdict.log.end(), watch ? 1 : 2, "Verify failed.");
    verdict.endProgram = true;
    state_ = SessionState::Off;
    return verdict;
  }
  if (outcome == CheckOutcome::Ok) {
    failed_.erase(*current_);
    if (watch) verdict.log.push_back("Check: " + Label() + " OK");
    if (state_ == SessionState::Checking)
      verdict.hint = "Umbrix - " + Label();
    else if (state_ != SessionState::Verified)
      verdict.status = OnStatus("Umbrix - " + Label(), kBalloonInformation, "");
    state_ = SessionState::Verified;
    return verdict;
  }
  failed_.insert(*current_);
  if (watch) {
    verdict.log.push_back("Check: " + Label() + " failed");
    return FailOver(std::move(verdict));
  }
  verdict.log = {"Verify failed.", "Umbrix not verified"};
  if (pending_ == CheckKind::Failover) return FailOver(std::move(verdict));
  // A pick of the user's own that does not answer: shown, not replaced.
  state_ = SessionState::NotVerified;
  verdict.status = OnStatus("Umbrix not verified", kBalloonWarning, kHintNotVerified);
  return verdict;
}

std::optional<std::size_t> SessionWatch::NextInCountry() const {
  // Every entry of the country, wherever it stands in the catalogue, in order
  // from the one after the current entry round to the one before it.
  const std::size_t count = servers_.size();
  const int country = servers_[*current_].Country;
  for (std::size_t step = 1; step < count; ++step) {
    const std::size_t at = (*current_ + step) % count;
    if (servers_[at].Country == country && !servers_[at].IsCountryRow && !failed_.count(at)) return at;
  }
  return std::nullopt;
}

WatchVerdict SessionWatch::FailOver(WatchVerdict verdict) {
  if (const std::optional<std::size_t> next = NextInCountry()) {
    verdict.log.push_back("Failover: " + ServerLabel(servers_[*next]));
    verdict.switchTo = next;
    failingOver_ = true;
    state_ = SessionState::Checking;
    return verdict;
  }
  // Never direct by itself: that would show the user's own address. The
  // browsers stay on the last proxy, and the next check starts afresh.
  const std::string country = CountryName(servers_[*current_].Country);
  verdict.log.push_back("No server of " + country + " answers");
  verdict.status = OnStatus("No server of " + country +
                                " answers. Browsing is held until you stop hiding or select another server.",
                            kBalloonWarning, kHintNotVerified);
  state_ = SessionState::Held;
  failed_.clear();
  return verdict;
}

WatchVerdict SessionWatch::CheckDue() {
  WatchVerdict verdict;
  if (!WatchOn() || checking_ || state_ == SessionState::NotInEffect) return verdict;
  AskCheck(verdict, CheckKind::Watch);
  return verdict;
}

WatchVerdict SessionWatch::SettingsChanged(long long nowMs) {
  WatchVerdict verdict;
  if (!on() || state_ == SessionState::NotInEffect) return verdict;
  const std::string line = "Proxy settings changed by another program";
  verdict.log.push_back(line);
  if (lastReapplyMs_ && nowMs - *lastReapplyMs_ < kStopFightingMs) {
    // Taken back again at once: the other program wants it. Keep its setting
    // and say that the session is not in effect.
    state_ = SessionState::NotInEffect;
    checking_.reset();
    verdict.status = OnStatus(line, kBalloonWarning, kHintNotInEffect);
    return verdict;
  }
  lastReapplyMs_ = nowMs;
  verdict.reapply = true;
  return verdict;
}

WatchVerdict SessionWatch::ConnectionAppeared(const std::string& name) {
  WatchVerdict verdict;
  if (!on() || state_ == SessionState::NotInEffect) return verdict;
  verdict.log.push_back("New connection: " + name);
  verdict.reapply = true;
  return verdict;
}

void SessionWatch::Stopped() {
  state_ = SessionState::Off;
  checking_.reset();
  failingOver_ = false;
  firefoxTold_ = false;
  lastReapplyMs_.reset();
}

void SessionWatch::EndQueried() {
  if (state_ == SessionState::Ending) return;
  beforeEnd_ = state_;
  state_ = SessionState::Ending;
  checking_.reset();
}

WatchVerdict SessionWatch::EndCancelled() {
  WatchVerdict verdict;
  if (state_ != SessionState::Ending) return verdict;
  state_ = beforeEnd_;
  if (!on() || state_ == SessionState::NotInEffect) return verdict;
  // The browsers were restored for an end that did not come: the session
  // again, and a look at whether it still answers.
  verdict.reapply = true;
  if (state_ == SessionState::Checking)
    AskCheck(verdict, pending_);
  else if (checkSeconds_ > 0)
    AskCheck(verdict, CheckKind::Watch);
  return verdict;
}
