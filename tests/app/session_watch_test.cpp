#include "app/session_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/umbrix_status.h"

namespace {

// United States #1, United Kingdom #2, United States #3 and #4 after it: the
// country's entries stand in two runs.
std::vector<TServer> Servers() {
  return {{"#1", "10.0.0.1", 1, 1}, {"#2", "10.0.0.2", 2, 2}, {"#3", "10.0.0.3", 1, 3}, {"#4", "10.0.0.4", 1, 4},
          {"#5", "10.0.0.5", 2, 5}};
}

// One event fed to the watch, and what its verdict must hold.
struct Step {
  // LateFailed: the verification asked before the last one fails.
  enum Kind { Start, Ok, Failed, LateFailed, Denied, Due, Changed, Connection, Stop, EndQuery, EndCancel } kind;
  std::size_t entry = 0;   // Start: the entry; Changed: the clock in seconds
  std::vector<std::string> log;
  std::string hint;        // the hint of a status or the hint alone; "" when neither
  int balloon = -1;        // the status's balloon icon; -1: no status
  long switchTo = -1;
  bool reapply = false;
  bool verify = false;
  bool end = false;
  SessionState after = SessionState::Off;
};

struct Row {
  const char* name;
  int checkSeconds;
  std::vector<Step> steps;
};

void Play(const Row& row) {
  const std::vector<TServer> servers = Servers();
  SessionWatch watch(servers);
  unsigned ticket = 0, earlier = 0;
  const auto asked = [&](unsigned next) {
    earlier = ticket;
    ticket = next;
  };
  for (std::size_t i = 0; i < row.steps.size(); ++i) {
    const Step& s = row.steps[i];
    SCOPED_TRACE(std::string(row.name) + ", step " + std::to_string(i));
    WatchVerdict v;
    switch (s.kind) {
      case Step::Start: v = watch.Started(s.entry, "Umbrix - x", "", row.checkSeconds); break;
      case Step::Ok: v = watch.CheckDone(ticket, CheckOutcome::Ok); break;
      case Step::Failed: v = watch.CheckDone(ticket, CheckOutcome::Failed); break;
      case Step::LateFailed: v = watch.CheckDone(earlier, CheckOutcome::Failed); break;
      case Step::Denied: v = watch.CheckDone(ticket, CheckOutcome::Denied); break;
      case Step::Due: v = watch.CheckDue(); break;
      case Step::Changed: v = watch.SettingsChanged(static_cast<long long>(s.entry) * 1000); break;
      case Step::Connection: v = watch.ConnectionAppeared("Office VPN"); break;
      case Step::Stop: watch.Stopped(); break;
      case Step::EndQuery: watch.EndQueried(); break;
      case Step::EndCancel: v = watch.EndCancelled(); break;
    }
    EXPECT_EQ(v.log, s.log);
    const std::string hint = v.status ? v.status->hint : v.hint.value_or("");
    EXPECT_EQ(hint, s.hint);
    EXPECT_EQ(v.status ? v.status->balloon : -1, s.balloon);
    EXPECT_EQ(v.switchTo ? static_cast<long>(*v.switchTo) : -1, s.switchTo);
    EXPECT_EQ(v.reapply, s.reapply);
    EXPECT_EQ(v.verify.has_value(), s.verify);
    EXPECT_EQ(v.endProgram, s.end);
    EXPECT_EQ(watch.State(), s.after);
    if (v.verify) asked(*v.verify);
    // A fail-over is carried out by starting the new entry.
    if (v.switchTo) {
      const WatchVerdict next = watch.Started(*v.switchTo, "Umbrix - y", "", row.checkSeconds);
      EXPECT_TRUE(next.verify.has_value());
      asked(*next.verify);
    }
  }
}

using S = SessionState;
constexpr int kInfo = kBalloonInformation, kWarn = kBalloonWarning;
const char* const kUs1 = "Umbrix - United States #1";

}  // namespace

TEST(SessionWatch, EventsAndVerdicts) {
  const Step start{Step::Start, 0, {}, std::string(kUs1) + " (checking...)", kInfo, -1, false, true, false, S::Checking};
  const Step verified{Step::Ok, 0, {}, kUs1, -1, -1, false, false, false, S::Verified};
  const Step due{Step::Due, 0, {}, "", -1, -1, false, true, false, S::Verified};
  const std::vector<Row> rows = {
      {"start verified, watch check ok", 120,
       {start, verified, due, {Step::Ok, 0, {"Check: United States #1 OK"}, "", -1, -1, false, false, false, S::Verified}}},
      {"start not verified, a later check ok shows it verified", 120,
       {start,
        {Step::Failed, 0, {"Verify failed.", "Umbrix not verified"}, std::string(kUs1) + " (not verified)", kWarn,
         -1, false, false, false, S::NotVerified},
        {Step::Due, 0, {}, "", -1, -1, false, true, false, S::NotVerified},
        {Step::Ok, 0, {"Check: United States #1 OK"}, kUs1, kInfo, -1, false, false, false, S::Verified}}},
      {"denied at a watch check ends the program", 120,
       {start, verified, due,
        {Step::Denied, 0, {"Check: United States #1 failed", "Verify failed."}, "", -1, -1, false, false, true, S::Off}}},
      // #1 fails: #3 (same country, UK #2 skipped); #3 fails too: #4, from the
      // country's second run; #4 fails: nobody left, held on #4's proxy.
      {"fail-over order, then all failed and held", 120,
       {start, verified, due,
        {Step::Failed, 0, {"Check: United States #1 failed", "Failover: United States #3"}, "", -1, 2, false, false,
         false, S::Checking},
        {Step::Failed, 0, {"Verify failed.", "Umbrix not verified", "Failover: United States #4"}, "", -1, 3, false,
         false, false, S::Checking},
        {Step::Failed, 0, {"Verify failed.", "Umbrix not verified", "No server of United States answers"},
         "Umbrix - United States #4 (not verified)", kWarn, -1, false, false, false, S::Held},
        // The next check starts over: every other entry of the country again.
        {Step::Due, 0, {}, "", -1, -1, false, true, false, S::Held},
        {Step::Failed, 0, {"Check: United States #4 failed", "Failover: United States #1"}, "", -1, 0, false, false,
         false, S::Checking}}},
      // #1 fails and #3 takes over; the user then picks #4, which fails in
      // turn: #1 is tried again, the pick having begun afresh.
      {"a pick after failures clears what failed", 120,
       {start, verified, due,
        {Step::Failed, 0, {"Check: United States #1 failed", "Failover: United States #3"}, "", -1, 2, false, false,
         false, S::Checking},
        {Step::Ok, 0, {}, "Umbrix - United States #3", -1, -1, false, false, false, S::Verified},
        {Step::Start, 3, {}, "Umbrix - United States #4 (checking...)", kInfo, -1, false, true, false, S::Checking},
        {Step::Ok, 0, {}, "Umbrix - United States #4", -1, -1, false, false, false, S::Verified},
        {Step::Due, 0, {}, "", -1, -1, false, true, false, S::Verified},
        {Step::Failed, 0, {"Check: United States #4 failed", "Failover: United States #1"}, "", -1, 0, false, false,
         false, S::Checking}}},
      // Carried out when the check in flight ends: the late answer about the
      // old entry changes nothing, the pick's own verification counts.
      {"a pick during a check", 120,
       {start, verified, due,
        {Step::Start, 3, {}, "Umbrix - United States #4 (checking...)", kInfo, -1, false, true, false, S::Checking},
        {Step::LateFailed, 0, {}, "", -1, -1, false, false, false, S::Checking},
        {Step::Ok, 0, {}, "Umbrix - United States #4", -1, -1, false, false, false, S::Verified}}},
      {"settings taken back twice within a minute: stop fighting", 120,
       {start, verified,
        {Step::Changed, 100, {"Proxy settings changed by another program"}, "", -1, -1, true, false, false,
         S::Verified},
        {Step::Changed, 159, {"Proxy settings changed by another program"}, std::string(kUs1) + " (not in effect)",
         kWarn, -1, false, false, false, S::NotInEffect},
        {Step::Changed, 300, {}, "", -1, -1, false, false, false, S::NotInEffect},
        {Step::Due, 0, {}, "", -1, -1, false, false, false, S::NotInEffect}}},
      {"taken back a minute apart: applied again each time", 120,
       {start, verified,
        {Step::Changed, 100, {"Proxy settings changed by another program"}, "", -1, -1, true, false, false,
         S::Verified},
        {Step::Changed, 160, {"Proxy settings changed by another program"}, "", -1, -1, true, false, false,
         S::Verified}}},
      {"a new connection is applied to", 120,
       {start, verified, {Step::Connection, 0, {"New connection: Office VPN"}, "", -1, -1, true, false, false, S::Verified}}},
      {"stopped: nothing is watched", 120,
       {start, verified, {Step::Stop, 0, {}, "", -1, -1, false, false, false, S::Off},
        {Step::Due, 0, {}, "", -1, -1, false, false, false, S::Off},
        {Step::Changed, 1, {}, "", -1, -1, false, false, false, S::Off},
        {Step::Connection, 0, {}, "", -1, -1, false, false, false, S::Off}}},
      {"watch off with 0 seconds", 0, {start, verified, {Step::Due, 0, {}, "", -1, -1, false, false, false, S::Verified}}},
      // A check in flight when the end is asked is dropped; a cancelled end
      // applies the session again and looks at it.
      {"end of session cancelled", 120,
       {start, verified, due, {Step::EndQuery, 0, {}, "", -1, -1, false, false, false, S::Ending},
        {Step::Failed, 0, {}, "", -1, -1, false, false, false, S::Ending},
        {Step::Changed, 1, {}, "", -1, -1, false, false, false, S::Ending},
        {Step::EndCancel, 0, {}, "", -1, -1, true, true, false, S::Verified},
        {Step::Ok, 0, {"Check: United States #1 OK"}, "", -1, -1, false, false, false, S::Verified}}},
  };
  for (const Row& row : rows) Play(row);
}

TEST(SessionWatch, AStaleCheckIsDroppedAndFirefoxIsToldOncePerSession) {
  const std::vector<TServer> servers = Servers();
  SessionWatch watch(servers);
  const WatchVerdict first = watch.Started(0, "Umbrix - United States #1", "no Firefox profile found", 120);
  EXPECT_EQ(first.log, std::vector<std::string>{"Firefox is not covered: no Firefox profile found"});
  EXPECT_EQ(first.status->text, "Umbrix - United States #1\nFirefox is not covered: no Firefox profile found");
  // A new pick before the answer: the old verification's outcome is dropped.
  const WatchVerdict second = watch.Started(2, "Umbrix - United States #3", "no Firefox profile found", 120);
  EXPECT_TRUE(second.log.empty());
  EXPECT_EQ(second.status->text, "Umbrix - United States #3");
  EXPECT_TRUE(watch.CheckDone(*first.verify, CheckOutcome::Denied).log.empty());
  EXPECT_EQ(watch.State(), SessionState::Checking);
  EXPECT_EQ(watch.CheckDone(*second.verify, CheckOutcome::Ok).hint, "Umbrix - United States #3");
  watch.Stopped();
  EXPECT_EQ(watch.Started(0, "Umbrix ON", "no Firefox profile found", 120).log.size(), 1u);
}

TEST(SessionWatch, CheckSecondsZeroIsOffBelowTenIsTen) {
  const std::vector<std::pair<int, int>> cases = {{0, 0}, {1, 10}, {9, 10}, {10, 10}, {120, 120}, {-5, 120},
                                                     {2147483647, kMaxCheckSeconds}};
  for (const auto& [configured, used] : cases) EXPECT_EQ(WatchIntervalSeconds(configured), used) << configured;
}
