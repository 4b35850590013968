#include "proxy/wininet_proxy.h"

#include <gtest/gtest.h>

#include <raserror.h>

#include <algorithm>
#include <cstring>

#include "proxy_win_support.h"

namespace {

// A stand-in for RasEnumConnectionsA: remembers what it was asked and answers
// with the names of `gActive` (or "buffer too small" when they do not fit).
std::vector<std::string> gActive;
int gEnumCalls = 0;
DWORD gSeenFirstSize = 0, gSeenBytes = 0;

DWORD WINAPI FakeRasEnum(LPRASCONNA buffer, LPDWORD bytes, LPDWORD count) {
  ++gEnumCalls;
  auto* records = reinterpret_cast<RasConnV1*>(buffer);
  gSeenFirstSize = records[0].dwSize;
  gSeenBytes = *bytes;
  const DWORD needed = static_cast<DWORD>(gActive.size() * sizeof(RasConnV1));
  *count = static_cast<DWORD>(gActive.size());
  if (needed > *bytes) {
    *bytes = needed;
    return ERROR_BUFFER_TOO_SMALL;
  }
  for (std::size_t i = 0; i < gActive.size(); ++i) {
    records[i].dwSize = sizeof(RasConnV1);
    strncpy(records[i].szEntryName, gActive[i].c_str(), RAS_MaxEntryName);
  }
  return 0;
}

struct WinInetProxy : ::testing::Test {
  void SetUp() override {
    gActive.clear();
    gEnumCalls = 0;
    ResetLanToDirect();
  }
  void TearDown() override { ResetLanToDirect(); }
};

}  // namespace

TEST_F(WinInetProxy, ApplyThenRestoreOnTheLanSetting) {
  {
    OptionRecorder recorder(/*forward=*/true);
    SetAllConnectionsProxy(ProxyAddress::Parse("127.0.0.22:3128"), "a.example,b.example,");
    const std::vector<SetOptionCall> stores = recorder.Stores();
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_TRUE(stores[0].lan);
    EXPECT_EQ(stores[0].count, 3u);
    EXPECT_EQ(stores[0].bypass, "a.example,b.example,");
  }
  LanProxy lan = QueryLanProxy();
  EXPECT_EQ(lan.flags & (PROXY_TYPE_PROXY | PROXY_TYPE_DIRECT), static_cast<DWORD>(PROXY_TYPE_PROXY));
  EXPECT_EQ(lan.server, "127.0.0.22:3128");
  const std::string storedBypass = lan.bypass;
  // Wine 8 keeps no bypass list (the recorder saw it sent); Windows reads it back.
  if (!storedBypass.empty()) {
    EXPECT_EQ(storedBypass, "a.example,b.example,");
  }
  {
    OptionRecorder recorder(/*forward=*/true);
    SetAllConnectionsProxy(std::nullopt, "");
    const std::vector<SetOptionCall> stores = recorder.Stores();
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].count, 2u);  // the bypass list is not sent
    EXPECT_EQ(stores[0].optionIds, (std::vector<DWORD>{INTERNET_PER_CONN_FLAGS, INTERNET_PER_CONN_PROXY_SERVER}));
  }
  lan = QueryLanProxy();
  EXPECT_EQ(lan.flags & (PROXY_TYPE_PROXY | PROXY_TYPE_DIRECT), static_cast<DWORD>(PROXY_TYPE_DIRECT));
  EXPECT_EQ(lan.server, "");
  EXPECT_EQ(lan.bypass, storedBypass);  // left as it was
}

TEST_F(WinInetProxy, OneStoreThenRefreshThenSettingsChanged) {
  OptionRecorder recorder(/*forward=*/false);
  EXPECT_TRUE(SetConnectionProxy("", ProxyAddress::Parse("10.9.8.7:8080"), "intranet,"));
  const std::vector<SetOptionCall>& calls = recorder.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].option, static_cast<DWORD>(INTERNET_OPTION_PER_CONNECTION_OPTION));
  EXPECT_EQ(calls[0].bufferSize, sizeof(INTERNET_PER_CONN_OPTION_LISTA));
  EXPECT_EQ(calls[0].listSize, sizeof(INTERNET_PER_CONN_OPTION_LISTA));
  EXPECT_EQ(calls[0].optionError, 0u);
  EXPECT_EQ(calls[0].optionIds, (std::vector<DWORD>{INTERNET_PER_CONN_FLAGS, INTERNET_PER_CONN_PROXY_SERVER,
                                                    INTERNET_PER_CONN_PROXY_BYPASS}));
  EXPECT_EQ(calls[0].flags, static_cast<DWORD>(PROXY_TYPE_PROXY));  // alone: no auto-detect, no script
  EXPECT_EQ(calls[0].server, "10.9.8.7:8080");
  EXPECT_EQ(calls[0].bypass, "intranet,");
  EXPECT_EQ(calls[1].option, static_cast<DWORD>(INTERNET_OPTION_REFRESH));
  EXPECT_EQ(calls[2].option, static_cast<DWORD>(INTERNET_OPTION_SETTINGS_CHANGED));
}

TEST_F(WinInetProxy, ARefusedListIsFalseAndTheNotificationsStillGo) {
  OptionRecorder recorder(/*forward=*/false, /*answer=*/FALSE);
  EXPECT_FALSE(SetConnectionProxy("", ProxyAddress::Parse("h:1"), ""));
  ASSERT_EQ(recorder.Calls().size(), 3u);
  EXPECT_EQ(recorder.Calls()[0].count, 2u);  // empty bypass: two options
  EXPECT_EQ(recorder.Calls()[2].option, static_cast<DWORD>(INTERNET_OPTION_SETTINGS_CHANGED));
}

TEST_F(WinInetProxy, TheCrashTimeRestoreWritesWhatARestoreWrites) {
  SetRasEnumConnectionsForTest(&FakeRasEnum);
  for (const std::vector<std::string>& active : {std::vector<std::string>{}, {"Office VPN", "Modem"}}) {
    gActive = active;
    std::vector<SetOptionCall> restore, crash;
    {
      OptionRecorder recorder(/*forward=*/false);
      SetAllConnectionsProxy(std::nullopt, "");
      restore = recorder.Calls();
    }
    {
      OptionRecorder recorder(/*forward=*/false);
      SetAllConnectionsDirectNow();
      crash = recorder.Calls();
    }
    ASSERT_EQ(crash.size(), restore.size());
    ASSERT_EQ(crash.size(), 3 * (active.size() + 1));  // the LAN too
    for (std::size_t i = 0; i < crash.size(); ++i) {
      EXPECT_EQ(crash[i].option, restore[i].option);
      EXPECT_EQ(crash[i].connection, restore[i].connection);
      EXPECT_EQ(crash[i].lan, restore[i].lan);
      EXPECT_EQ(crash[i].count, restore[i].count);
      EXPECT_EQ(crash[i].flags, restore[i].flags);
      EXPECT_EQ(crash[i].server, "");
    }
    EXPECT_EQ(crash[0].flags, static_cast<DWORD>(PROXY_TYPE_DIRECT));
    EXPECT_EQ(crash[0].count, 2u);
  }
}

TEST_F(WinInetProxy, TheLanAndEachActiveDialUpConnection) {
  SetRasEnumConnectionsForTest(&FakeRasEnum);
  gActive = {"Office VPN", "Modem"};
  OptionRecorder recorder(/*forward=*/false);
  EXPECT_EQ(SetAllConnectionsProxy(ProxyAddress::Parse("127.0.0.22:3128"), "x,"), gActive);
  EXPECT_EQ(gEnumCalls, 1);
  EXPECT_EQ(gSeenFirstSize, sizeof(RasConnV1));
  EXPECT_EQ(gSeenBytes, kDialUpRecords * sizeof(RasConnV1));
  const std::vector<SetOptionCall> stores = recorder.Stores();
  ASSERT_EQ(stores.size(), 3u);
  EXPECT_TRUE(stores[0].lan);
  EXPECT_EQ(stores[1].connection, "Office VPN");
  EXPECT_EQ(stores[2].connection, "Modem");
  for (const SetOptionCall& s : stores) EXPECT_EQ(s.server, "127.0.0.22:3128");
  std::vector<std::string> names{"kept"};
  EXPECT_EQ(EnumDialUpConnections(names), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "Office VPN", "Modem"}));  // appended
}

TEST_F(WinInetProxy, ARestoreWritesTheLanAndTheEntriesActiveAtTheSwitch) {
  SetRasEnumConnectionsForTest(&FakeRasEnum);
  gActive = {"Office VPN"};
  SetInternetSetOptionForTest(nullptr);
  SetAllConnectionsProxy(ProxyAddress::Parse("127.0.0.22:3128"), "");
  EXPECT_TRUE(WinInetSessionInEffect());  // Wine ignores the name: the store reached the LAN
  EXPECT_TRUE(DialUpConnectionsSinceSwitch().empty());
  gActive = {"Office VPN", "Modem"};
  EXPECT_EQ(DialUpConnectionsSinceSwitch(), std::vector<std::string>{"Modem"});
  // Another program puts the setting back: no longer in effect.
  SetConnectionProxy("", std::nullopt, "");
  EXPECT_FALSE(WinInetSessionInEffect());
  // The VPN went down before the restore: its entry and the LAN are still
  // written, and so is an entry an earlier (killed) process wrote.
  gActive = {};
  OptionRecorder recorder(/*forward=*/false);
  SetAllConnectionsProxy(std::nullopt, "", {"Killed VPN"});
  const std::vector<SetOptionCall> stores = recorder.Stores();
  ASSERT_EQ(stores.size(), 3u);
  EXPECT_TRUE(stores[0].lan);
  EXPECT_EQ(stores[1].connection, "Office VPN");
  EXPECT_EQ(stores[2].connection, "Killed VPN");
  EXPECT_EQ(stores[1].flags, static_cast<DWORD>(PROXY_TYPE_DIRECT));
  EXPECT_TRUE(WinInetSessionInEffect());  // nothing applied any more
}

TEST_F(WinInetProxy, TenConnectionsFitElevenFallBackToTheLan) {
  SetRasEnumConnectionsForTest(&FakeRasEnum);
  for (int i = 0; i < 10; ++i) gActive.push_back("Line " + std::to_string(i));
  {
    OptionRecorder recorder(/*forward=*/false);
    SetAllConnectionsProxy(ProxyAddress::Parse("h:1"), "");
    EXPECT_EQ(recorder.Stores().size(), 11u);  // the LAN and ten entries
  }
  gActive.push_back("Line 10");
  gEnumCalls = 0;
  OptionRecorder recorder(/*forward=*/false);
  SetAllConnectionsProxy(ProxyAddress::Parse("h:1"), "");
  EXPECT_EQ(gEnumCalls, 1);  // no second try with a larger buffer
  ASSERT_EQ(recorder.Stores().size(), 1u);
  EXPECT_TRUE(recorder.Stores()[0].lan);
  std::vector<std::string> names;
  EXPECT_EQ(EnumDialUpConnections(names), 0);
  EXPECT_TRUE(names.empty());
}

TEST_F(WinInetProxy, WineReportsNoDialUpConnection) {
  std::vector<std::string> names;
  EXPECT_EQ(EnumDialUpConnections(names), 0);
  EXPECT_TRUE(names.empty());
}
