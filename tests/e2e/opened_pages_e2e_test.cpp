// The web pages the program opens: the tour's, "SEE my IP" and the About
// page's links. A stand-in browser notes every address it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/log_text.h"

#include "e2e/app_query_client.h"
#include "e2e/nimvara_process.h"
#include "e2e/ui_fixture.h"
#include "host/unique_handle.h"
#include "wine/test_support.h"

namespace {

constexpr const char* kWineBrowserKey = "Software\\Wine\\WineBrowser";

struct OpenedPages : RunningNimvara {
  std::string log = "Z:" + EnvVar("WINEPREFIX") + ".opened-urls.txt";

  void SetUp() override {
    for (char& c : log)
      if (c == '/') c = '\\';
    DeleteFileA(log.c_str());
    const std::string browser = EnvVar("NIMVARA_SOURCE_DIR") + "/tests/e2e/record_url.sh";
    RegSetKeyValueA(HKEY_CURRENT_USER, kWineBrowserKey, "Browsers", REG_SZ, browser.c_str(),
                    static_cast<DWORD>(browser.size() + 1));
    RunningNimvara::SetUp();
  }
  void TearDown() override {
    RunningNimvara::TearDown();
    RegSetKeyValueA(HKEY_CURRENT_USER, kWineBrowserKey, "Browsers", REG_SZ, "true", 5);
    DeleteFileA(log.c_str());
  }
  // Waits until `count` addresses were opened, and returns them all.
  std::string Opened(std::size_t count) {
    std::string text;
    WaitFor([&] {
      text = ReadFileBytes(log);
      std::size_t lines = 0;
      for (char c : text) lines += c == '\n';
      return lines >= count;
    });
    Sleep(300);  // and no more than that
    return ReadFileBytes(log);
  }
  HWND Label(const char* caption) {
    struct Search {
      const char* caption;
      HWND found;
    } search{caption, nullptr};
    EnumChildWindows(
        main,
        [](HWND hwnd, LPARAM lParam) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lParam);
          char text[128] = {};
          GetWindowTextA(hwnd, text, sizeof(text));
          if (lstrcmpA(text, s->caption) != 0) return TRUE;
          s->found = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  void ClickOn(HWND control) {
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }
};

}  // namespace

TEST_F(OpenedPages, SeeMyIpOpensTheIpCheckSitesHomePage) {
  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'i'));
  EXPECT_EQ(Opened(1), "http://127.0.0.4/\n");
}

TEST_F(OpenedPages, TheTourOpensItsPageAfterTheNotice) {
  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'o'));
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  ClickOn(Label("?"));
  HWND notice = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (notice = FindDialog("Nimvara")) != nullptr && IsWindowVisible(notice); }));
  Sleep(300);
  EXPECT_EQ(ReadFileBytes(log), "");  // nothing opens while the notice is up
  ClickDialogButton(notice, IDOK);
  EXPECT_EQ(Opened(1), "http://127.0.0.1/umbrix-with-other-browser.htm\n");
}

TEST_F(OpenedPages, EachAboutLinkOpensItsPageOncePerClick) {
  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'a'));
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  for (const char* caption : {"http://127.0.0.1/", "Contact Us", "SEE my IP - 127.0.0.4"}) {
    HWND link = Label(caption);
    ASSERT_NE(link, nullptr) << caption;
    ClickOn(link);
    Sleep(200);
  }
  // Each browser starts on its own: the order they note their pages in may vary.
  std::vector<std::string> pages = SplitLines(Opened(3));
  std::sort(pages.begin(), pages.end());
  EXPECT_EQ(pages, (std::vector<std::string>{"http://127.0.0.1/", "http://127.0.0.1/contact.php", "http://127.0.0.4/"}));
}
