#include "e2e/app_query_client.h"

#include <vector>

#include "app/tray_callback.h"
#include "e2e/nimvara_process.h"
#include "wine/test_support.h"

namespace {

std::string gAnswer;
bool gAnswered = false;

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    gAnswer.assign(static_cast<const char*>(data->lpData), data->cbData);
    gAnswered = true;
    return TRUE;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND ReplyWindow() {
  static HWND window = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NimvaraQueryReply";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return window;
}

}  // namespace

std::string AskNimvara(HWND main, AppQuestion question, int index) {
  static const UINT message = RegisterWindowMessageA(kAppQueryMessage);
  gAnswered = false;
  gAnswer.clear();
  DWORD_PTR result = 0;
  // Not SMTO_BLOCK: the answer is sent back to this thread while it waits.
  SendMessageTimeoutA(main, message, reinterpret_cast<WPARAM>(ReplyWindow()), MAKELPARAM(question, index),
                      SMTO_NORMAL, 5000, &result);
  return gAnswered ? gAnswer : std::string("?");
}

void ClickTrayIcon(HWND main, UINT mouseMessage) { PostMessageA(main, kTrayCallbackMessage, 1, mouseMessage); }

HWND WaitForPopupMenu(const NimvaraProcess& nimvara, DWORD timeoutMs) {
  // Menus are windows of class #32768; a hidden one may linger from before.
  return nimvara.WaitForWindow("#32768", std::chrono::milliseconds(timeoutMs), true);
}

bool ChooseTrayItem(const NimvaraProcess& nimvara, HWND main, char letter) {
  ClickTrayIcon(main, WM_RBUTTONUP);
  HWND menu = WaitForPopupMenu(nimvara);
  if (!menu) return false;
  // A key typed while the menu is still being set up can go unseen: type it
  // again while the menu stays open.
  for (int attempt = 0; attempt < 3; ++attempt) {
    PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(letter), 1);
    if (WaitFor([&] { return !IsWindowVisible(menu); }, std::chrono::seconds(2))) return true;
  }
  return false;
}

void CloseMenu(HWND menu) {
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  WaitFor([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, std::chrono::seconds(5));
}

void SaveScreenshot(const std::string& name) {
  // ImageMagick's import of the whole X screen, started as a Unix program;
  // Wine's own screen capture misses windows of other processes.
  const std::string folder = EnvVar("NIMVARA_SHOTS_DIR");
  if (folder.empty()) return;
  Sleep(1000);  // let the windows finish painting
  std::string command = "import -window root " + folder + "/" + name + ".png";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA("Z:\\usr\\bin\\import", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return;
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}
