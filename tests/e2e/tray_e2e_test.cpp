// The tray icon and its menu, seen from outside as a user meets them.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "e2e/app_query_client.h"
#include "e2e/nimvara_process.h"
#include "e2e/ui_fixture.h"
#include "wine/test_support.h"

namespace {

// The shell still knows the icon: a change of nothing is accepted.
bool ShellHasIcon(HWND main) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = main;
  data.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

int FrameOf(const std::string& image) { return image.rfind("busy ", 0) == 0 ? image[5] - '0' : -1; }

}  // namespace

TEST_F(RunningNimvara, AtStartOnlyTheSessionItemsAreDisabledAndTheHintSaysTheRequestIsTried) {
  EXPECT_EQ(AskNimvara(main, kAskHint), "Try SilentUpdate-2 ...");
  const char* expected[] = {"0 &Umbrix",  "0 &Stop Umbrix", "0 Select I&P", "1 SEE my &IP...", "1 &Options...",
                            "1 &Report...", "1 Hel&p...",     "1 &About...",  "1 &Exit"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(AskNimvara(main, kAskMenuItem, i), expected[i]) << i;
  EXPECT_EQ(AskNimvara(main, kAskMenuItem, 9), "?");  // nine items, no separators
  EXPECT_EQ(AskNimvara(main, kAskTrayShown), "1");
}

TEST_F(RunningNimvara, TheBusyIconCyclesThroughItsSevenFrames) {
  const std::string first = AskNimvara(main, kAskTrayImage);
  ASSERT_EQ(first.rfind("busy ", 0), 0u) << first;
  EXPECT_NE(first.find("animating"), std::string::npos);
  bool seen[7] = {};
  WaitFor(
      [&] {
        const int frame = FrameOf(AskNimvara(main, kAskTrayImage));
        if (frame >= 0 && frame < 7) seen[frame] = true;
        for (bool s : seen)
          if (!s) return false;
        return true;
      },
      std::chrono::seconds(6));
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(seen[i]) << "frame " << i;
}

TEST_F(RunningNimvara, EitherButtonOpensTheMenuAndADoubleClickAddsNothing) {
  ClickTrayIcon(main, WM_LBUTTONUP);
  HWND menu = WaitForPopupMenu(nimvara);
  ASSERT_NE(menu, nullptr) << "left button";
  CloseMenu(menu);

  ClickTrayIcon(main, WM_RBUTTONUP);
  menu = WaitForPopupMenu(nimvara);
  ASSERT_NE(menu, nullptr) << "right button";
  CloseMenu(menu);

  ClickTrayIcon(main, WM_LBUTTONDBLCLK);
  EXPECT_EQ(WaitForPopupMenu(nimvara, 700), nullptr);
  EXPECT_TRUE(nimvara.Running());
}

TEST_F(RunningNimvara, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
  ASSERT_TRUE(ShellHasIcon(main));
  const std::string hint = AskNimvara(main, kAskHint);
  // The shell forgets the icon, as when it restarts...
  NOTIFYICONDATAA gone{};
  gone.cbSize = sizeof(gone);
  gone.hWnd = main;
  gone.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
  ASSERT_FALSE(ShellHasIcon(main));
  // ...and then announces its new taskbar to every top-level window.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  EXPECT_TRUE(WaitFor([&] { return ShellHasIcon(main); }, std::chrono::seconds(5)));
  EXPECT_EQ(AskNimvara(main, kAskTrayShown), "1");
  EXPECT_EQ(AskNimvara(main, kAskHint), hint);
}

TEST_F(RunningNimvara, ExitFromTheMenuEndsTheProgram) {
  ASSERT_TRUE(ChooseTrayItem(nimvara, main, 'e'));
  EXPECT_EQ(nimvara.WaitForExit(), 0);
  const std::string log = ReadFileBytes(NimvaraDataDir() + "report.txt");
  EXPECT_NE(log.find("] Closing...\r\n"), std::string::npos);
}
