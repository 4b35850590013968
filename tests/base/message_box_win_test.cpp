#include "base/message_box.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "wine/test_support.h"

namespace {

struct SeenButton {
  int id;
  std::string caption;
  RECT rect;  // in the dialog's client coordinates
};

struct SeenBox {
  std::string text;
  bool hasIcon = false;
  RECT textRect{};
  RECT iconRect{};
  std::vector<SeenButton> buttons;
  int defaultId = 0;
  RECT client{};
};

RECT ClientRectOf(HWND dialog, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SeenBox Inspect(HWND dialog) {
  SeenBox seen;
  seen.text = DialogText(dialog);
  GetClientRect(dialog, &seen.client);
  seen.defaultId = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0));
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {}, text[256] = {};
    GetClassNameA(child, cls, sizeof(cls));
    GetWindowTextA(child, text, sizeof(text));
    if (lstrcmpiA(cls, "Button") == 0) {
      seen.buttons.push_back({GetDlgCtrlID(child), text, ClientRectOf(dialog, child)});
    } else if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      seen.hasIcon = true;
      seen.iconRect = ClientRectOf(dialog, child);
    } else if (text == seen.text) {
      seen.textRect = ClientRectOf(dialog, child);
    }
  }
  return seen;
}

// Shows a box on this thread while another thread looks at it and then acts on it.
int ShowAndAct(const std::function<int()>& show, const std::string& caption,
               const std::function<void(HWND)>& act, SeenBox& seen) {
  std::thread watcher([&] {
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindDialog(caption)) != nullptr && IsWindowVisible(dialog); })) return;
    Sleep(50);
    seen = Inspect(dialog);
    act(dialog);
  });
  const int result = show();
  watcher.join();
  return result;
}

int ShowBox(const std::string& text, MessageKind kind, unsigned buttons, const std::function<void(HWND)>& act,
            SeenBox& seen) {
  return ShowAndAct([&] { return ShowMessageBox("Nimvara", text, kind, buttons); }, "Nimvara", act, seen);
}

}  // namespace

TEST(ProgramMessageBox, OneButtonErrorBox) {
  SeenBox seen;
  const int result = ShowBox("Can not create Application Data Folder", MessageKind::Error, mbOK,
                             [](HWND d) { ClickDialogButton(d, 1); }, seen);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(seen.text, "Can not create Application Data Folder");
  EXPECT_TRUE(seen.hasIcon);
  ASSERT_EQ(seen.buttons.size(), 1u);
  EXPECT_EQ(seen.buttons[0].id, 1);
  EXPECT_EQ(seen.defaultId, 1);
  EXPECT_EQ(seen.buttons[0].rect.right - seen.buttons[0].rect.left, 73);
  EXPECT_EQ(seen.buttons[0].rect.bottom - seen.buttons[0].rect.top, 25);
  // Below the lower of icon and text, at the bottom right; text beside the icon.
  EXPECT_EQ(seen.buttons[0].rect.top, std::max(seen.iconRect.bottom, seen.textRect.bottom) + 20);
  EXPECT_GT(seen.textRect.left, seen.iconRect.right);
  EXPECT_GT(seen.buttons[0].rect.left, seen.client.right / 2);
}

TEST(ProgramMessageBox, ButtonsKeepTheirOrderAndResults) {
  SeenBox seen;
  const int result = ShowBox("Save?", MessageKind::Confirmation, mbCancel | mbNo | mbYes,
                             [](HWND d) { ClickDialogButton(d, 7); }, seen);
  EXPECT_EQ(result, 7);
  ASSERT_EQ(seen.buttons.size(), 3u);
  std::sort(seen.buttons.begin(), seen.buttons.end(),
            [](const SeenButton& a, const SeenButton& b) { return a.rect.left < b.rect.left; });
  EXPECT_EQ(seen.buttons[0].id, 6);
  EXPECT_EQ(seen.buttons[1].id, 7);
  EXPECT_EQ(seen.buttons[2].id, 2);
  EXPECT_EQ(seen.buttons[1].rect.left - seen.buttons[0].rect.left, 93);
  EXPECT_EQ(seen.buttons[2].rect.left - seen.buttons[1].rect.left, 93);
  EXPECT_EQ(seen.buttons[0].rect.top, seen.buttons[2].rect.top);
}

TEST(ProgramMessageBox, LiteralCaptionsForTheAllButtons) {
  SeenBox seen;
  const int result = ShowBox("Replace?", MessageKind::Confirmation, mbYesToAll | mbNoToAll | mbAll,
                             [](HWND d) { ClickDialogButton(d, 10); }, seen);
  EXPECT_EQ(result, 10);
  std::vector<std::string> captions;
  for (const SeenButton& b : seen.buttons) captions.push_back(b.caption);
  std::sort(captions.begin(), captions.end());
  EXPECT_EQ(captions, (std::vector<std::string>{"&All", "N&o to All", "Yes to &All"}));
}

TEST(ProgramMessageBox, ClosingTheBoxAnswersWithCancel) {
  SeenBox seen;
  const int result = ShowBox("Go on?", MessageKind::Warning, mbOK | mbCancel,
                             [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, seen);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(seen.defaultId, 1);  // OK is the default button
}

TEST(ProgramMessageBox, WithoutAnIconTheTextStartsAtTheLeft) {
  SeenBox seen;
  ShowBox("Plain", MessageKind::None, mbOK, [](HWND d) { ClickDialogButton(d, 1); }, seen);
  EXPECT_FALSE(seen.hasIcon);
  EXPECT_LE(seen.textRect.left, 20);
}

TEST(ProgramMessageBox, NoticeHasOneOkButton) {
  SeenBox seen;
  ShowAndAct([] { ShowNotice("Nimvara Tour", "Start your browser now."); return 0; }, "Nimvara Tour",
             [](HWND d) { ClickDialogButton(d, 1); }, seen);
  EXPECT_EQ(seen.text, "Start your browser now.");
  EXPECT_TRUE(seen.hasIcon);
  ASSERT_EQ(seen.buttons.size(), 1u);
  EXPECT_EQ(seen.buttons[0].caption, "&OK");
  EXPECT_EQ(seen.buttons[0].id, 1);
}

TEST(ProgramMessageBox, CtrlCCopiesTheBox) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  SeenBox seen;
  ShowBox("Verify failed. Please restart Nimvara!", MessageKind::Error, mbOK,
          [](HWND d) {
            SetForegroundWindow(d);
            INPUT keys[4] = {};
            for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
            keys[0].ki.wVk = VK_CONTROL;
            keys[1].ki.wVk = 'C';
            keys[2].ki.wVk = 'C';
            keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
            keys[3].ki.wVk = VK_CONTROL;
            keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(4, keys, sizeof(INPUT));
            Sleep(300);
            ClickDialogButton(d, 1);
          },
          seen);
  std::string copied;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      copied = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  const std::string rule(27, '-');
  EXPECT_EQ(copied, rule + "\r\nNimvara\r\n" + rule + "\r\nVerify failed. Please restart Nimvara!\r\n" + rule +
                        "\r\n" + seen.buttons.at(0).caption + "\r\n" + rule);
}
