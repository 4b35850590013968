#include "base/message_box.h"

#include <windows.h>

#include <vector>

#include "host/clipboard.h"
#include "host/unique_handle.h"

namespace {

constexpr int kTextId = 100;
constexpr int kIconId = 101;
constexpr int kMaxTextWidth = 420;

struct BoxButton {
  int result;
  std::string caption;
};

struct BoxState {
  std::string title;
  std::string text;
  MessageKind kind;
  std::vector<BoxButton> buttons;
  UniqueGdiObject font;
  int result = 0;
  bool done = false;
};

std::string SystemButtonCaption(const ButtonSpec& button) {
  // user32 carries the localised captions of the standard message box.
  using GetStringFn = LPCWSTR(WINAPI*)(UINT);
  static const auto getString = reinterpret_cast<GetStringFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "MB_GetString")));
  if (button.systemStringIndex < 0 || !getString) return button.caption;
  const LPCWSTR wide = getString(static_cast<UINT>(button.systemStringIndex));
  if (!wide || !*wide) return button.caption;
  char narrow[64] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
  return n > 1 ? std::string(narrow) : std::string(button.caption);
}

LPCSTR IconFor(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning: return IDI_WARNING;
    case MessageKind::Error: return IDI_HAND;
    case MessageKind::Information: return IDI_INFORMATION;
    case MessageKind::Confirmation: return IDI_QUESTION;
    case MessageKind::None: break;
  }
  return nullptr;
}

BoxRect Scaled(const BoxRect& r, int dpi) {
  return {MulDiv(r.left, dpi, 96), MulDiv(r.top, dpi, 96), MulDiv(r.width, dpi, 96),
          MulDiv(r.height, dpi, 96)};
}

void CopyToClipboard(HWND dialog, const BoxState& state) {
  std::vector<std::string> captions;
  for (const BoxButton& b : state.buttons) captions.push_back(b.caption);
  SetClipboardText(dialog, MessageBoxClipboardText(state.title, state.text, captions));
}

HWND AddControl(HWND dialog, const char* cls, const std::string& text, DWORD style, const BoxRect& r,
                int id, HFONT font) {
  HWND control = CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.width, r.height, dialog, reinterpret_cast<HMENU>(INT_PTR(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void BuildBox(HWND dialog, BoxState& state) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  state.font.reset(CreateFontIndirectA(&metrics.lfMessageFont));
  const HFONT font = static_cast<HFONT>(state.font.get());

  HDC dc = GetDC(dialog);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT measured{0, 0, MulDiv(kMaxTextWidth, dpi, 96), 0};
  DrawTextA(dc, state.text.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);

  const LPCSTR icon = IconFor(state.kind);
  // A few pixels of slack: DrawText's measure can come out a pixel or two short
  // of what the static control then draws, and the last word would be clipped.
  const MessageBoxLayout layout =
      LayOutMessageBox(icon != nullptr, MulDiv(measured.right, 96, dpi) + 6,
                       MulDiv(measured.bottom, 96, dpi) + 1, static_cast<int>(state.buttons.size()));

  if (icon) {
    HWND iconControl = AddControl(dialog, "STATIC", "", SS_ICON, Scaled(layout.icon, dpi), kIconId, font);
    SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)), 0);
  }
  AddControl(dialog, "STATIC", state.text, SS_LEFT | SS_NOPREFIX, Scaled(layout.text, dpi), kTextId, font);

  int defaultId = state.buttons.empty() ? 0 : state.buttons.front().result;
  for (const BoxButton& b : state.buttons)
    if (b.result == kResultOK) defaultId = kResultOK;
  for (std::size_t i = 0; i < state.buttons.size(); ++i) {
    const BoxButton& b = state.buttons[i];
    const DWORD style = WS_TABSTOP | (b.result == defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND button = AddControl(dialog, "BUTTON", b.caption, style, Scaled(layout.buttons[i], dpi), b.result, font);
    if (b.result == defaultId) SetFocus(button);
  }
  SendMessageA(dialog, DM_SETDEFID, defaultId, 0);

  RECT frame{0, 0, MulDiv(layout.clientWidth, dpi, 96), MulDiv(layout.clientHeight, dpi, 96)};
  AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE, GetWindowLongA(dialog, GWL_EXSTYLE));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(dialog, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, 0);
}

// Escape and the close box: the Cancel button when there is one, the only
// button when there is just one; otherwise the box stays.
int DismissResult(const BoxState& state) {
  for (const BoxButton& b : state.buttons)
    if (b.result == kResultCancel) return kResultCancel;
  return state.buttons.size() == 1 ? state.buttons.front().result : 0;
}

bool HasButton(const BoxState& state, int id) {
  for (const BoxButton& b : state.buttons)
    if (b.result == id) return true;
  return false;
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<BoxState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<BoxState*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetWindowTextA(dialog, state->title.c_str());
      BuildBox(dialog, *state);
      return FALSE;  // focus already on the default button
    case WM_COMMAND: {
      if (!state || HIWORD(wParam) != BN_CLICKED) return FALSE;
      int id = LOWORD(wParam);
      if (id == IDCANCEL && !HasButton(*state, IDCANCEL)) id = DismissResult(*state);
      if (id == 0 || !HasButton(*state, id)) return TRUE;
      state->result = id;
      state->done = true;
      return TRUE;
    }
    case WM_CLOSE:
      if (state && DismissResult(*state) != 0) {
        state->result = DismissResult(*state);
        state->done = true;
      }
      return TRUE;
  }
  return FALSE;
}

// An empty dialog template; the controls are made at WM_INITDIALOG.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};

int RunBox(BoxState& state) {
  EmptyTemplate tmpl{};
  tmpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  tmpl.header.dwExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  HWND owner = GetActiveWindow();
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.header, owner, BoxProc,
                                           reinterpret_cast<LPARAM>(&state));
  if (!dialog) return 0;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOWNORMAL);
  SetForegroundWindow(dialog);

  MSG msg;
  while (!state.done) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // the program is ending: let the outer loop see it too
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    const bool inBox = msg.hwnd == dialog || IsChild(dialog, msg.hwnd);
    if (inBox && msg.message == WM_KEYDOWN && msg.wParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
      CopyToClipboard(dialog, state);
      continue;
    }
    if (!IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  DestroyWindow(dialog);
  if (ownerWasEnabled) SetActiveWindow(owner);
  return state.result;
}

bool gSilent = false;

}  // namespace

void SetMessageBoxesSilent(bool silent) { gSilent = silent; }

int ShowMessageBox(const std::string& title, const std::string& text, MessageKind kind,
                   unsigned buttons) {
  if (gSilent) return 0;
  BoxState state{title, text, kind, {}, {}, 0, false};
  for (const ButtonSpec& button : ButtonsInOrder(buttons))
    state.buttons.push_back({button.result, SystemButtonCaption(button)});
  return RunBox(state);
}

void ShowNotice(const std::string& title, const std::string& text) {
  BoxState state{title, text, MessageKind::Warning, {{kResultOK, "&OK"}}, {}, 0, false};
  RunBox(state);
}
