#include "proxy/applied_backends.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Options {
  bool ie, firefox;
  int mode;
  BrowserSwitchPlan Plan() const { return PlanBrowserSwitch(ie, firefox, mode); }
};

// Read back as the settings file would hand the values over.
AppliedBackends RoundTrip(const AppliedBackends& applied) {
  std::map<std::string, std::string> file;
  for (const auto& [key, value] : AppliedIniEntries(applied)) file[key] = value;
  return AppliedFromIni([&](const std::string& key) -> std::optional<std::string> {
    const auto found = file.find(key);
    return found == file.end() ? std::nullopt : std::optional<std::string>(found->second);
  });
}

}  // namespace

TEST(AppliedBackends, WhatARestoreWritesAfterTheOptionsChanged) {
  const Options restart{true, true, 1}, plugin{true, true, 0}, noFirefox{true, false, 1}, noIE{false, true, 1},
      none{false, false, 0};
  struct Row {
    const char* name;
    std::vector<Options> applies;          // one apply each, in order
    std::vector<std::string> entries;      // dial-up entries active at every apply
    Options now;                           // the options at the restore
    RestorePlan expected;
  } rows[] = {
      {"unchanged prefs file", {restart}, {}, restart, {{}, true, false}},
      {"Firefox unticked mid-session", {restart}, {}, noFirefox, {{}, true, false}},
      {"add-on unticked mid-session", {plugin}, {}, none, {{}, false, true}},
      {"mode changed mid-session: both files", {restart}, {}, plugin, {{}, true, true}},
      {"re-applied after the change: both files", {restart, plugin}, {}, plugin, {{}, true, true}},
      {"Firefox ticked only now", {noFirefox}, {}, restart, {{}, true, false}},
      {"nothing of Firefox, ever", {noFirefox}, {}, noFirefox, {{}, false, false}},
      {"VPN entries, IE unticked since", {restart}, {"Office VPN", "Modem"}, noIE, {{"Office VPN", "Modem"}, true, false}},
      // With IE unticked, the apply wrote direct access to the entries: nothing to remember.
      {"entries not given the proxy", {noIE}, {"Office VPN"}, noIE, {{}, true, false}},
      {"no apply at all", {}, {}, plugin, {{}, false, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AppliedBackends applied;
    for (const Options& options : row.applies)
      AddApply(applied, options.Plan(), options.ie ? row.entries : std::vector<std::string>{});
    EXPECT_EQ(PlanRestore(applied, row.now.Plan()), row.expected);
    // A later process (/restore after a kill) reads the same from the settings file.
    EXPECT_EQ(PlanRestore(RoundTrip(applied), row.now.Plan()), row.expected);
  }
}

TEST(AppliedBackends, MemoryAndFileJoinAndEntriesStayUnique) {
  AppliedBackends memory, file;
  AddApply(memory, PlanBrowserSwitch(true, true, 1), {"VPN", "VPN", ""});
  AddApply(file, PlanBrowserSwitch(true, true, 0), {"Modem", "VPN"});
  const AppliedBackends both = Union(memory, file);
  EXPECT_EQ(both.connections, (std::vector<std::string>{"VPN", "Modem"}));
  EXPECT_TRUE(both.firefoxPrefs);
  EXPECT_TRUE(both.firefoxAddon);
  // Names come back whole through the INI's trimming of values.
  AppliedBackends odd;
  AddApply(odd, PlanBrowserSwitch(true, false, 0), {" \"My VPN\" = 100% "});
  EXPECT_EQ(AppliedIniEntries(odd).back().second, "%20%22My%20VPN%22%20=%20100%25%20");
  EXPECT_EQ(RoundTrip(odd), odd);
  // A damaged record reads what it holds.
  const AppliedBackends damaged = AppliedFromIni([](const std::string& key) -> std::optional<std::string> {
    if (key == "Connections") return "3";
    if (key == "Connection2") return "Modem";
    return std::nullopt;
  });
  EXPECT_EQ(damaged.connections, std::vector<std::string>{"Modem"});
  EXPECT_FALSE(damaged.firefoxPrefs);
}
