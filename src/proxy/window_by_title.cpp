#include "proxy/window_by_title.h"

#include "proxy/title_match.h"

namespace {

constexpr int kMaxSteps = 1000;
constexpr int kTitleChars = 255;

}  // namespace

HWND FindWindowByTitle(const std::string& fragment) {
  HWND window = FindWindowA(nullptr, nullptr);
  for (int step = 0; window && step <= kMaxSteps; ++step) {
    char title[kTitleChars + 1] = {};
    GetWindowTextA(window, title, kTitleChars);
    if (TitleContains(title, fragment)) return window;
    window = GetWindow(window, GW_HWNDNEXT);
  }
  return nullptr;
}
