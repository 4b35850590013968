// The main road, seen from outside: the catalogue from the stand-in directory,
// a pick in the selection dialog (or the remembered country), every browser
// switched to the chosen proxy and verified through the IP-check site, Stop,
// "&Umbrix", Exit, and every browser direct again. A real Firefox loads the
// IP-check page on the profile Nimvara wrote.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/tray_menu_items.h"
#include "directory/frm_select_ip.h"
#include "e2e/main_road_fixture.h"

namespace {

// The Linux path of a Windows path, as Wine maps it.
std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
  char* unix = toUnix ? toUnix(wide) : nullptr;
  const std::string path = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

// Loads `url` in Debian's headless Firefox on the profile; true once it ended
// normally. Wine starts the Linux helper but cannot wait for it: it writes a
// file when done.
bool LoadInFirefox(const std::string& profile, const std::string& url, const std::string& name) {
  const std::string done = StateDir() + name + ".done";
  DeleteFileA(done.c_str());
  std::string command = "python3 " + EnvVar("NIMVARA_SOURCE_DIR") + "/tools/firefox_headless.py \"" +
                        UnixPath(profile) + "\" " + url + " " + UnixPath(StateDir() + name + ".png") +
                        " --done " + UnixPath(done);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA("Z:\\usr\\bin\\python3", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  if (!WaitFor([&] { return FileExists(done); }, std::chrono::seconds(90))) return false;
  return ReadFileBytes(done) == "0\n";
}

// The address the IP-check site saw the front page asked from, last time.
std::string LastSeenFrom() {
  const std::string log = IpCheckLog();
  const std::size_t at = log.rfind("SEEN / from ");
  if (at == std::string::npos) return "(none)";
  return log.substr(at + 12, log.find('\n', at) - at - 12);
}

HWND SelectionDialog(const NimvaraProcess& nimvara) {
  return nimvara.WaitForWindow(kSelectIPWindowClass, std::chrono::seconds(20), true);
}

std::vector<std::string> ListRows(HWND dialog) {
  HWND list = GetDlgItem(dialog, kIdSelectIPList);
  std::vector<std::string> rows;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Across processes Wine hands the row back in UTF-16 whichever call asks.
    wchar_t wide[128] = {};
    char text[128] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    rows.push_back(text);
  }
  return rows;
}

int SelectedRow(HWND dialog) {
  return static_cast<int>(SendMessageA(GetDlgItem(dialog, kIdSelectIPList), LB_GETCURSEL, 0, 0));
}
bool CancelEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, kIdSelectIPCancel)); }

// As a user does: click a row, then OK (posted: the session runs inside the click).
void Pick(HWND dialog, int row) {
  SendMessageA(GetDlgItem(dialog, kIdSelectIPList), LB_SETCURSEL, row, 0);
  PostMessageA(GetDlgItem(dialog, kIdSelectIPOK), BM_CLICK, 0, 0);
}

std::vector<std::string> SessionItems(HWND main) {
  return {AskNimvara(main, kAskMenuItem, 0), AskNimvara(main, kAskMenuItem, 1), AskNimvara(main, kAskMenuItem, 2)};
}




struct RememberedCountry : MainRoad {
  RememberedCountry() { settings = "AutoSelectCountry=1\r\nLastCountry=2\r\n"; }
};
struct RememberedCountryGone : MainRoad {
  RememberedCountryGone() { settings = "AutoSelectCountry=1\r\nLastCountry=5\r\n"; }
};
struct RefusingProxy : MainRoad {
  // Country 0's only server is the refusing proxy.
  RefusingProxy() { settings = "AutoSelectCountry=1\r\nLastCountry=0\r\n"; }
};

}  // namespace

TEST_F(MainRoad, FirstStartPickSwitchedAndVerifiedStopUmbrixExitAllDirect) {
  Start();
  HWND dialog = SelectionDialog(nimvara);
  ASSERT_NE(dialog, nullptr);
  SaveScreenshot("select-ip");
  EXPECT_EQ(AskNimvara(main, kAskHint), "Please Select an IP Address");
  EXPECT_FALSE(CancelEnabled(dialog));
  EXPECT_EQ(ListRows(dialog), (std::vector<std::string>{"United States", "  #1 IP Address Series",
                                                        "  #2 IP Address Series", "United Kingdom",
                                                        "  #3 IP Address Series", "Unknown",
                                                        "  #4 IP Address Series"}));
  EXPECT_EQ(SelectedRow(dialog), 0);
  EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kIdSelectIPCountry), BM_GETCHECK, 0, 0), BST_CHECKED);

  Pick(dialog, 2);
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United States #2"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
  EXPECT_TRUE(Has(Log(), "] Select IP: United States #2\r\n"));
  EXPECT_TRUE(Has(Log(), "] Umbrix ON\r\n"));
  EXPECT_FALSE(Has(Log(), "Verify failed."));
  EXPECT_TRUE(Has(IpCheckLog(), "OK /ok.htm from 127.0.0.11\n"));
  EXPECT_TRUE(Has(Ini(), "AutoSelectCountry=1\r\n"));
  EXPECT_TRUE(Has(Ini(), "LastCountry=1\r\n"));
  EXPECT_EQ(SessionItems(main), (std::vector<std::string>{"0 &Umbrix", "1 &Stop Umbrix", "1 Select I&P"}));
  const LanProxy lan = QueryLanProxy();
  EXPECT_NE(lan.flags & PROXY_TYPE_PROXY, 0u);
  EXPECT_EQ(lan.server, "127.0.0.11:8080");
  EXPECT_TRUE(Has(UserJs(profile), "user_pref(\"network.proxy.socks\", \"127.0.0.11\");\r\n")) << UserJs(profile);
  ASSERT_TRUE(LoadInFirefox(profile, "http://127.0.0.4/", "firefox-through-proxy"));
  EXPECT_EQ(LastSeenFrom(), "127.0.0.11");

  // "Select I&P" opens the list again, Cancel enabled, on the row confirmed last.
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(kCmdSelectIP, 0), 0);
  dialog = SelectionDialog(nimvara);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(CancelEnabled(dialog));
  EXPECT_EQ(SelectedRow(dialog), 2);
  PostMessageA(GetDlgItem(dialog, kIdSelectIPCancel), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));

  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 's'));
  ASSERT_TRUE(WaitForHint(main, "Umbrix OFF"));
  EXPECT_EQ(SessionItems(main), (std::vector<std::string>{"1 &Umbrix", "0 &Stop Umbrix", "0 Select I&P"}));
  EXPECT_TRUE(Has(Log(), "] User stopped Umbrix\r\n"));
  ExpectAllDirect();

  // "&Umbrix" applies the same server again and verifies it: no "on" on trust.
  const int verifications = Count(IpCheckLog(), "OK /ok.htm from 127.0.0.11\n");
  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'u'));
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United States #2"));
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.11:8080");
  EXPECT_EQ(Count(Log(), "] Umbrix ON\r\n"), 2);
  EXPECT_EQ(Count(IpCheckLog(), "OK /ok.htm from 127.0.0.11\n"), verifications + 1);

  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'e'));
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  ExpectAllDirect();
  ASSERT_TRUE(LoadInFirefox(profile, "http://127.0.0.4/", "firefox-direct"));
  EXPECT_EQ(LastSeenFrom(), "127.0.0.1");
}

TEST_F(RememberedCountry, IsRePickedAtStartWithNoDialog) {
  Start();
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  EXPECT_EQ(nimvara.FindWindowOfClass(kSelectIPWindowClass, true), nullptr);
  EXPECT_TRUE(Has(Log(), "] Select IP: United Kingdom #3\r\n"));
  // The program answers while it verifies: the status comes first.
  EXPECT_TRUE(WaitFor([] { return Has(IpCheckLog(), "OK /ok.htm from 127.0.0.12\n"); }));
  EXPECT_EQ(QueryLanProxy().server, "127.0.0.12:8080");
}

TEST_F(RememberedCountryGone, OpensTheListWithCancelDisabledWhereAHeadingPicksItsCountry) {
  Start();
  HWND dialog = SelectionDialog(nimvara);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(CancelEnabled(dialog));
  EXPECT_EQ(AskNimvara(main, kAskHint), "Please Select an IP Address");
  EXPECT_TRUE(Has(Log(), "] No server of the remembered country 5 in the catalogue\r\n"));
  EXPECT_FALSE(Has(Log(), "Select IP:"));

  // A double click on a country heading acts as OK: a server of that country,
  // and the remembered country stays as it was.
  HWND list = GetDlgItem(dialog, kIdSelectIPList);
  const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const LPARAM at = MAKELPARAM(20, 3 * rowHeight + rowHeight / 2);  // row 3: "United Kingdom"
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    PostMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  ASSERT_TRUE(WaitForHint(main, "Umbrix - United Kingdom #3"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
  EXPECT_TRUE(Has(Log(), "] Select IP: United Kingdom #3\r\n"));
  EXPECT_TRUE(Has(Ini(), "LastCountry=5\r\n"));
  EXPECT_TRUE(Has(Ini(), "AutoSelectCountry=1\r\n"));
}

TEST_F(RefusingProxy, EndsTheProgramWithEveryBrowserDirect) {
  Start();
  HWND box = nullptr;
  // Found once its text is in: the box exists a moment before its controls.
  ASSERT_TRUE(WaitFor([&] { return (box = FindDialog("Nimvara")) != nullptr && !DialogText(box).empty(); },
                      std::chrono::seconds(20)));
  EXPECT_EQ(DialogText(box), "Verify failed. Please restart Nimvara!");
  ClickDialogButton(box, IDOK);
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  const std::string log = Log();
  EXPECT_TRUE(Has(log, "] Select IP: Unknown #4\r\n"));
  EXPECT_EQ(Count(log, "] Verify failed.\r\n"), 2);
  EXPECT_TRUE(Has(log, "] Closing...\r\n"));
  ExpectAllDirect();
}
