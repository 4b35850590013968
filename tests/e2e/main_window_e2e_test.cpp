// The main window as a user meets it from the tray menu: its frame, the
// options on the General and Bypass pages, the About page and the title area.
#include <gtest/gtest.h>

#include "e2e/app_query_client.h"
#include "e2e/nimvara_process.h"
#include "e2e/ui_fixture.h"
#include "host/probes.h"
#include "proxy/user_js_text.h"
#include "wine/test_support.h"

namespace {

struct ControlSearch {
  const char* cls;
  std::string text;
  HWND found;
  bool anyText = false;
};

BOOL CALLBACK MatchControl(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ControlSearch*>(lParam);
  char cls[64] = {}, text[256] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  GetWindowTextA(hwnd, text, sizeof(text));
  if (lstrcmpiA(cls, search->cls) == 0 && (search->anyText || search->text == text)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A control anywhere in the window, by its class and caption.
HWND FindControl(HWND main, const char* cls, const std::string& text) {
  ControlSearch search{cls, text, nullptr};
  EnumChildWindows(main, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first control of a class, whatever its text.
HWND FindControlOfClass(HWND main, const char* cls) {
  ControlSearch search{cls, "", nullptr, true};
  EnumChildWindows(main, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Checked(HWND box) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
  return state == BST_CHECKED;
}

void Click(HWND control) { PostMessageA(control, BM_CLICK, 0, 0); }

// Clicks a check box or radio button and waits until the click has landed.
bool ClickTo(HWND box, bool checked) {
  Click(box);
  return WaitFor([&] { return Checked(box) == checked; }, std::chrono::seconds(5));
}

std::string Text(HWND control) {
  char text[4096] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                      &ignored);
  return text;
}

void Type(HWND edit, const std::string& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000, &ignored);
}

std::string Ini(const char* section, const char* key) {
  char value[1024] = {};
  GetPrivateProfileStringA(section, key, "(missing)", value, sizeof(value),
                           (NimvaraDataDir() + "nimvara.ini").c_str());
  return value;
}

struct MainWindow : RunningNimvara {
  // A visible unblock dialog takes the activation whenever the main window
  // hides, and the tray menu then misses typed letters now and then.
  bool CloseUnblock() const override { return true; }
  // Opens the window from the tray menu by the item's letter.
  bool Open(char letter) {
    // Right after the window was hidden, Wine now and then opens no menu for
    // the first click: click again.
    for (int attempt = 0; attempt < 2; ++attempt)
      if (ChooseTrayItem(nimvara, main, letter) && WaitFor([&] { return IsWindowVisible(main) != FALSE; }))
        return true;
    return false;
  }
  // The arrow keys on the page control, as a user moves between its tabs.
  bool MoveToPage(const std::string& caption) {
    static const std::string order[] = {"&General", "&Bypass", "&About"};
    const auto indexOf = [&](const std::string& page) {
      for (int i = 0; i < 3; ++i)
        if (order[i] == page) return i;
      return -1;
    };
    HWND tabs = FindControlOfClass(main, "SysTabControl32");
    for (int i = 0; i < 3 && AskNimvara(main, kAskPage) != caption; ++i) {
      const WPARAM key = indexOf(caption) < indexOf(AskNimvara(main, kAskPage)) ? VK_LEFT : VK_RIGHT;
      PostMessageA(tabs, WM_KEYDOWN, key, 1);
      PostMessageA(tabs, WM_KEYUP, key, 0xC0000001);
      WaitFor([&] { return false; }, std::chrono::milliseconds(150));
    }
    return AskNimvara(main, kAskPage) == caption;
  }
  bool Press(const char* caption) {
    HWND button = FindControl(main, "Button", caption);
    if (!button) return false;
    Click(button);
    return WaitFor([&] { return !IsWindowVisible(main); });
  }
};

// Five stored sites, so that a shorter list leaves stale keys behind.
struct OptionsPages : MainWindow {
  std::string InitialSettings() const override {
    return "[Bypass]\r\nCounter=5\r\n1=old1.example\r\n2=old2.example\r\n3=old3.example\r\n4=old4.example\r\n"
           "5=old5.example\r\n";
  }
};

constexpr const char* kStoredList =
    "old1.example\r\nold2.example\r\nold3.example\r\nold4.example\r\nold5.example";
constexpr const char* kCountry = "Always choose the country I  selected last time";

}  // namespace

TEST_F(MainWindow, HasTheDialogFrameSizeAndButtons) {
  EXPECT_FALSE(IsWindowVisible(main));
  ASSERT_TRUE(Open('o'));
  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, 372);
  EXPECT_EQ(client.bottom, 437);
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  RECT frame;
  GetWindowRect(main, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  HWND ok = FindControl(main, "Button", "&OK");
  HWND cancel = FindControl(main, "Button", "&Cancel");
  ASSERT_TRUE(ok && cancel);
  RECT r;
  GetWindowRect(ok, &r);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 96);
  EXPECT_EQ(r.top, 401);
  EXPECT_EQ(r.right - r.left, 66);
  EXPECT_EQ(r.bottom - r.top, 25);
  GetWindowRect(cancel, &r);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 216);
  EXPECT_EQ(r.top, 401);
  EXPECT_TRUE(Press("&Cancel"));
}

TEST_F(OptionsPages, OkSavesEveryOptionAndTheRunValue) {
  ASSERT_TRUE(Open('o'));
  EXPECT_EQ(AskNimvara(main, kAskPage), "&About");  // the page selected at start
  SaveScreenshot("page-about");

  ASSERT_TRUE(MoveToPage("&Bypass"));
  HWND bypass = FindControlOfClass(main, "Edit");
  ASSERT_NE(bypass, nullptr);
  EXPECT_EQ(Text(bypass), kStoredList);
  SaveScreenshot("page-bypass");
  const std::string longSite(150, 'w');  // far wider than the list: stays one site
  Type(bypass, "a.example\r\n\r\n" + longSite + ".example\r\n");

  ASSERT_TRUE(MoveToPage("&General"));
  SaveScreenshot("page-general");
  HWND country = FindControl(main, "Button", kCountry);
  HWND start = FindControl(main, "Button", "&Start with Windows");
  HWND ie = FindControl(main, "Button", "Internet Explorer / Chrome");
  HWND firefox = FindControl(main, "Button", "Firefox");
  HWND plugin = FindControl(main, "Button", "Plugin Mode");
  HWND restart = FindControl(main, "Button", "Restart Firefox");
  ASSERT_TRUE(country && start && ie && firefox && plugin && restart);
  EXPECT_NE(FindControl(main, "Button", "Apply to Browsers:"), nullptr);
  // A fresh file: everything ticked but the Run value, Plugin Mode chosen.
  EXPECT_TRUE(Checked(country));
  EXPECT_FALSE(Checked(start));
  EXPECT_TRUE(Checked(ie));
  EXPECT_TRUE(Checked(firefox));
  EXPECT_TRUE(Checked(plugin));
  EXPECT_FALSE(Checked(restart));

  ASSERT_TRUE(ClickTo(country, false));
  ASSERT_TRUE(ClickTo(start, true));
  ASSERT_TRUE(ClickTo(ie, false));
  ASSERT_TRUE(ClickTo(restart, true));
  EXPECT_FALSE(Checked(plugin));
  ASSERT_TRUE(Press("&OK"));

  EXPECT_EQ(Ini("Config", "AutoSelectCountry"), "0");
  EXPECT_EQ(Ini("Config", "BrowserIE"), "0");
  EXPECT_EQ(Ini("Config", "BrowserFirefox"), "1");
  EXPECT_EQ(Ini("Config", "FirefoxControlMode"), "1");
  EXPECT_EQ(Ini("Bypass", "Counter"), "3");
  EXPECT_EQ(Ini("Bypass", "1"), "a.example");
  EXPECT_EQ(Ini("Bypass", "2"), "");
  EXPECT_EQ(Ini("Bypass", "3"), longSite + ".example");
  EXPECT_EQ(Ini("Bypass", "4"), "old4.example");  // above Counter: left alone
  EXPECT_EQ(Ini("Bypass", "5"), "old5.example");
  // Quoted, so that a path with blanks is not taken for a shorter one.
  const std::string quoted = "\"" + NimvaraExePath() + "\"";
  EXPECT_EQ(lstrcmpiA(RunValue().c_str(), quoted.c_str()), 0) << RunValue();

  // The next showing is filled from what was saved, on the page left open.
  ASSERT_TRUE(Open('o'));
  EXPECT_EQ(AskNimvara(main, kAskPage), "&General");
  EXPECT_FALSE(Checked(country));
  EXPECT_TRUE(Checked(start));
  EXPECT_FALSE(Checked(ie));
  EXPECT_TRUE(Checked(restart));

  // Unticking "Start with Windows" removes the Run value.
  ASSERT_TRUE(ClickTo(start, false));
  ASSERT_TRUE(Press("&OK"));
  EXPECT_EQ(RunValue(), "(none)");
}

namespace {

struct UnknownFirefoxMode : MainWindow {
  std::string InitialSettings() const override { return "FirefoxControlMode=2\r\n"; }
};

}  // namespace

// The switchboard hands any mode but 1 to the add-on: the page says so, and OK
// stores the mode it shows.
TEST_F(UnknownFirefoxMode, ShowsPluginModeAndOkStoresIt) {
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(MoveToPage("&General"));
  EXPECT_TRUE(Checked(FindControl(main, "Button", "Plugin Mode")));
  EXPECT_FALSE(Checked(FindControl(main, "Button", "Restart Firefox")));
  ASSERT_TRUE(Press("&OK"));
  EXPECT_EQ(Ini("Config", "FirefoxControlMode"), "0");
}

TEST_F(OptionsPages, CancelWritesNothingAndTheNextShowingRefills) {
  const std::string before = SettingsText();
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(MoveToPage("&General"));
  HWND country = FindControl(main, "Button", kCountry);
  HWND start = FindControl(main, "Button", "&Start with Windows");
  ASSERT_TRUE(country && start);
  ASSERT_TRUE(ClickTo(country, false));
  ASSERT_TRUE(ClickTo(start, true));
  ASSERT_TRUE(MoveToPage("&Bypass"));
  HWND list = FindControlOfClass(main, "Edit");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Text(list), kStoredList);
  Type(list, "typed.example");
  ASSERT_TRUE(Press("&Cancel"));

  EXPECT_EQ(SettingsText(), before);
  EXPECT_EQ(RunValue(), "(none)");
  // Until the window shows again the typed lines are what the list holds.
  EXPECT_EQ(Text(list), "typed.example");
  ASSERT_TRUE(Open('o'));
  EXPECT_EQ(Text(list), kStoredList);
  EXPECT_TRUE(Checked(country));
  EXPECT_FALSE(Checked(start));
  ASSERT_TRUE(Press("&Cancel"));
  EXPECT_EQ(SettingsText(), before);
}

TEST_F(MainWindow, AboutAlwaysOpensOnTheAboutPageAndOptionsOnTheLastOne) {
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(MoveToPage("&Bypass"));
  ASSERT_TRUE(Press("&Cancel"));
  ASSERT_TRUE(Open('o'));
  EXPECT_EQ(AskNimvara(main, kAskPage), "&Bypass");
  ASSERT_TRUE(Press("&Cancel"));
  ASSERT_TRUE(Open('a'));
  EXPECT_EQ(AskNimvara(main, kAskPage), "&About");
  ASSERT_TRUE(MoveToPage("&General"));
  ASSERT_TRUE(Press("&OK"));
  ASSERT_TRUE(Open('a'));
  EXPECT_EQ(AskNimvara(main, kAskPage), "&About");
  ASSERT_TRUE(Press("&Cancel"));
}

TEST_F(MainWindow, TheAboutPageCentresTheNameAndShowsTheMakerAndLinks) {
  ASSERT_TRUE(Open('a'));
  HWND name = FindControl(main, "Static", "Nimvara 1.05");
  ASSERT_NE(name, nullptr);
  HWND page = GetParent(name);
  RECT pageArea, label;
  GetClientRect(page, &pageArea);
  GetWindowRect(name, &label);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&label), 2);
  EXPECT_GT(label.right - label.left, 40);
  EXPECT_EQ(label.left, (pageArea.right - (label.right - label.left)) / 2);
  EXPECT_EQ(label.top, 52);

  HWND maker = FindControl(main, "Static", "Nimvara Labs");
  ASSERT_NE(maker, nullptr);
  EXPECT_EQ(GetParent(maker), page);
  RECT makerRect;
  GetWindowRect(maker, &makerRect);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&makerRect), 2);
  EXPECT_EQ(makerRect.left, 127);
  EXPECT_EQ(makerRect.top, 87);
  for (const char* link : {"http://127.0.0.1/", "Contact Us", "SEE my IP - 127.0.0.4"}) {
    HWND label = FindControl(main, "Static", link);
    ASSERT_NE(label, nullptr) << link;
    EXPECT_EQ(GetParent(label), page) << link;
    EXPECT_NE(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY, 0) << link << " takes clicks";
  }
  ASSERT_TRUE(Press("&Cancel"));
}

TEST_F(MainWindow, TheTitleAreaOpensTheMenuAndRunsTheTour) {
  ASSERT_TRUE(Open('o'));
  HWND menuButton = FindControl(main, "Button", "Menu");
  HWND helpButton = FindControl(main, "Button", "?");
  ASSERT_TRUE(menuButton && helpButton);
  Click(menuButton);
  HWND menu = WaitForPopupMenu(nimvara);
  ASSERT_NE(menu, nullptr);
  CloseMenu(menu);

  Click(helpButton);
  HWND notice = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (notice = FindDialog("Nimvara")) != nullptr && IsWindowVisible(notice); }));
  // Wine's default browser is none of the named ones.
  EXPECT_EQ(DialogText(notice),
            "Nimvara detected you default browser is other browser. We'll show you how to use Nimvara with other "
            "browser.");
  ClickDialogButton(notice, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(notice) || !IsWindowVisible(notice); }));
  ASSERT_TRUE(Press("&Cancel"));
}

TEST_F(MainWindow, MinimisingHidesTheWindowAndKeepsTheTrayIcon) {
  ASSERT_TRUE(Open('o'));
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
  EXPECT_TRUE(nimvara.Running());
  EXPECT_EQ(AskNimvara(main, kAskTrayShown), "1");
  // Options brings it back in its normal state.
  ASSERT_TRUE(Open('o'));
  EXPECT_FALSE(IsIconic(main));
  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.bottom, 437);
}

TEST_F(MainWindow, AltF4OnTheShownWindowEndsTheProgram) {
  ASSERT_TRUE(Open('o'));
  PostMessageA(main, WM_SYSKEYDOWN, VK_F4, 1 << 29);
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  const std::string log = ReadFileBytes(NimvaraDataDir() + "report.txt");
  EXPECT_EQ(log.substr(log.size() - 14), "] Closing...\r\n");
}

namespace {

// A Firefox profile holding a user.js as the program writes it: the user's
// own line, then the program's applied block.
struct FirefoxUserOfOptions : MainWindow {
  std::string mozilla = GetAppDataDir() + "Mozilla";
  std::string userJs;
  void SetUp() override {
    RemoveTree(mozilla);
    const std::string profile = mozilla + "\\Firefox\\Profiles\\ui0.default\\";
    for (const std::string& dir : {mozilla, mozilla + "\\Firefox", mozilla + "\\Firefox\\Profiles", profile})
      CreateDirectoryA(dir.c_str(), nullptr);
    userJs = profile + "user.js";
    ASSERT_TRUE(WriteUserJs());
    MainWindow::SetUp();
  }
  void TearDown() override {
    MainWindow::TearDown();
    RemoveTree(mozilla);
  }
  static constexpr const char* kOwn = "// mine\r\n";
  bool WriteUserJs() const { return WriteFileBytes(userJs, kOwn + ApplyBlock(*ProxyAddress::Parse("127.0.0.22:1080"), "")); }
  bool Restored() const { return ReadFileBytes(userJs) == kOwn + RestoreBlock(kOwn, std::nullopt); }
};

}  // namespace

TEST_F(FirefoxUserOfOptions, OkInPluginModeTakesTheProgramsUserJsAwayEachTime) {
  // The applied block first gives way to the direct one (Firefox has the proxy
  // in its prefs.js), which the next OK takes out; the user's line stays.
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(Press("&OK"));
  EXPECT_TRUE(WaitFor([&] { return Restored(); }));
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(Press("&OK"));
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(userJs) == kOwn; }));

  // "Restart Firefox" keeps it.
  ASSERT_TRUE(WriteUserJs());
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(MoveToPage("&General"));
  ASSERT_TRUE(ClickTo(FindControl(main, "Button", "Restart Firefox"), true));
  ASSERT_TRUE(Press("&OK"));
  EXPECT_FALSE(Restored());
  EXPECT_TRUE(FileExists(userJs));

  // Plugin mode again, with Firefox unticked: taken away all the same.
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(ClickTo(FindControl(main, "Button", "Plugin Mode"), true));
  ASSERT_TRUE(ClickTo(FindControl(main, "Button", "Firefox"), false));
  ASSERT_TRUE(Press("&OK"));
  EXPECT_TRUE(WaitFor([&] { return Restored(); }));
  EXPECT_EQ(Ini("Config", "BrowserFirefox"), "0");
  EXPECT_EQ(Ini("Config", "FirefoxControlMode"), "0");
}

namespace {

// The Run key's parent made read-only for this user, and put back afterwards.
class ReadOnlyRunParent {
 public:
  ReadOnlyRunParent() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kRunKey);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      READ_CONTROL | WRITE_DAC, key_.put()) != ERROR_SUCCESS)
      return;
    DWORD size = 0;
    RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) return;
    // Everyone may read the key and change its permissions, nothing more.
    alignas(8) char aclBuffer[256];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    InitializeAcl(acl, sizeof(aclBuffer), ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | WRITE_DAC | READ_CONTROL, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    applied_ = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    FreeSid(everyone);
  }
  ~ReadOnlyRunParent() {
    if (applied_) RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data());
  }
  ReadOnlyRunParent(const ReadOnlyRunParent&) = delete;
  ReadOnlyRunParent& operator=(const ReadOnlyRunParent&) = delete;
  // Whether Wine now refuses what the program asks for.
  bool Refuses() const {
    UniqueHKey probe;
    return applied_ && RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                                     KEY_ALL_ACCESS, probe.put()) != ERROR_SUCCESS;
  }

 private:
  UniqueHKey key_;
  std::vector<char> saved_;
  bool applied_ = false;
};

}  // namespace

TEST_F(MainWindow, ARunKeyThatCannotBeCreatedStopsTheSaveWithTheWindowOpen) {
  const std::string before = SettingsText();
  ASSERT_TRUE(Open('o'));
  ASSERT_TRUE(MoveToPage("&General"));
  ASSERT_TRUE(ClickTo(FindControl(main, "Button", kCountry), false));
  ASSERT_TRUE(ClickTo(FindControl(main, "Button", "&Start with Windows"), true));
  ReadOnlyRunParent readOnly;
  if (!readOnly.Refuses()) GTEST_SKIP() << "this Wine grants the key anyway";
  DialogAnswerer error{"Nimvara", IDOK};
  Click(FindControl(main, "Button", "&OK"));
  ASSERT_TRUE(WaitFor([&] { return error.Count() == 1; }));
  EXPECT_EQ(error.LastText(), "Failed to create key Run");
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(main));      // the window stays open
  EXPECT_EQ(SettingsText(), before);       // and nothing after the Run key was written
}
