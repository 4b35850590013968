#include "directory/frm_select_ip.h"

#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "ui/ui_metrics.h"

int LastListIndex = 0;

namespace {

// The instance created at start, for re-picking the remembered country.
TfrmSelectIP* gStartForm = nullptr;

constexpr int kClientWidth = 338;
constexpr int kClientHeight = 315;
constexpr int kRowHeight = 16;

std::uint64_t RandomSeed() {
  LARGE_INTEGER counter;
  if (QueryPerformanceCounter(&counter)) return static_cast<std::uint64_t>(counter.QuadPart);
  return GetTickCount64();
}

}  // namespace

TfrmSelectIP* StartSelectIPForm() { return gStartForm; }

TfrmSelectIP::~TfrmSelectIP() {
  if (gStartForm == this) gStartForm = nullptr;
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool TfrmSelectIP::Create(HINSTANCE instance) {
  if (!CreateFormWindow(instance)) return false;
  gStartForm = this;
  return true;
}

bool TfrmSelectIP::CreateFormWindow(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSelectIPWindowClass;
  RegisterClassExA(&wc);  // fails harmlessly once the class exists

  constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  constexpr DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  dpi_ = ScreenDpi();
  RECT frame{0, 0, Scaled(kClientWidth, dpi_), Scaled(kClientHeight, dpi_)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  hwnd_ = CreateWindowExA(exStyle, kSelectIPWindowClass, "Select IP", style,
                          (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                          width, height, nullptr, nullptr, instance, this);
  return hwnd_ != nullptr;
}

HWND TfrmSelectIP::AddControl(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
  HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, Scaled(x, dpi_), Scaled(y, dpi_),
                                 Scaled(w, dpi_), Scaled(h, dpi_), hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

void TfrmSelectIP::BuildControls() {
  font_ = MakeFont("Tahoma", 11, dpi_);
  Label1 = AddControl("STATIC", "Select an IP you prefer to use:", SS_LEFT | SS_NOPREFIX, 8, 8, 322, 16,
                      kIdSelectIPLabel);
  lsbSelectIP = AddControl("LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                           8, 28, 322, 222, kIdSelectIPList);
  SendMessageA(lsbSelectIP, LB_SETITEMHEIGHT, 0, Scaled(kRowHeight, dpi_));
  chkCountry = AddControl("BUTTON", "Always choose the country I select this time", BS_AUTOCHECKBOX | WS_TABSTOP, 8,
                          256, 322, 20, kIdSelectIPCountry);
  btnCancel = AddControl("BUTTON", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 88, 282, 75, 25, kIdSelectIPCancel);
  btnOK = AddControl("BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 175, 282, 75, 25, kIdSelectIPOK);
}

bool TfrmSelectIP::BuildList(bool cancelEnabled) {
  if (!CreateFormWindow(GetModuleHandleA(nullptr))) return false;
  BuildControls();
  rows_ = ServerListRows(Catalogue().Servers);
  // One allocation and no repainting while a long catalogue goes in.
  SendMessageA(lsbSelectIP, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lsbSelectIP, LB_INITSTORAGE, rows_.size(), rows_.size() * 24);
  for (const ServerListRow& row : rows_)
    SendMessageA(lsbSelectIP, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.Text.c_str()));
  SendMessageA(lsbSelectIP, WM_SETREDRAW, TRUE, 0);
  SendMessageA(lsbSelectIP, LB_SETCURSEL, LastListIndex, 0);
  EnableWindow(btnCancel, cancelEnabled);
  return true;
}

void TfrmSelectIP::RunModal() {
  closed_ = false;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetFocus(lsbSelectIP);
  MSG msg;
  while (!closed_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // the program is ending: let the outer loop see it too
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageA(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK TfrmSelectIP::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TfrmSelectIP*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TfrmSelectIP*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT TfrmSelectIP::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam) FormShow();
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == kIdSelectIPList && code == LBN_DBLCLK) btnOKClick();
      if (id == kIdSelectIPOK && code == BN_CLICKED) btnOKClick();
      // Escape sends Cancel too: it counts only while Cancel is enabled.
      if (id == kIdSelectIPCancel && code == BN_CLICKED && IsWindowEnabled(btnCancel)) btnCancelClick();
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(kIdSelectIPOK, DC_HASDEFID);
    case WM_CLOSE:
      // The close box is another Cancel: with Cancel disabled a pick is due.
      if (btnCancel && IsWindowEnabled(btnCancel)) btnCancelClick();
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      closed_ = true;
      return 0;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void TfrmSelectIP::FormShow() {
  const IniSettings* settings = Settings();
  const bool autoSelect = !settings || settings->ReadBool(kSectionConfig, kKeyAutoSelectCountry, true);
  SendMessageA(chkCountry, BM_SETCHECK, autoSelect ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfrmSelectIP::btnOKClick() {
  // The session started by a pick waits for the network and serves messages
  // meanwhile: a second OK must not switch the server under it.
  if (picking_) return;
  picking_ = true;
  PickSelected();
  picking_ = false;
}

void TfrmSelectIP::PickSelected() {
  IniSettings* settings = Settings();
  if (settings)
    settings->WriteBool(kSectionConfig, kKeyAutoSelectCountry,
                        SendMessageA(chkCountry, BM_GETCHECK, 0, 0) == BST_CHECKED);
  const LRESULT selected = SendMessageA(lsbSelectIP, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR || static_cast<std::size_t>(selected) >= rows_.size()) return;
  LastListIndex = static_cast<int>(selected);
  const ServerListRow& row = rows_[static_cast<std::size_t>(selected)];
  if (!row.Entry) {
    SelectCountry(row.Heading.Country);
    return;
  }
  Catalogue().CurrentServer = row.Entry;
  Report("Select IP: " + ServerLabel(*row.Entry));
  if (settings) settings->WriteInteger(kSectionConfig, kKeyLastCountry, row.Entry->Country);
  EnableWindow(btnCancel, TRUE);
  StartUmbrix();
  CloseForm();
}

void TfrmSelectIP::btnCancelClick() { CloseForm(); }

bool TfrmSelectIP::SelectCountry(int country) {
  ServerCatalogue& catalogue = Catalogue();
  const std::optional<CountryRun> run = FirstCountryRun(catalogue.Servers, country);
  if (!run) return false;
  const TServer& server = catalogue.Servers[DrawInRun(*run, RandomSeed())];
  catalogue.CurrentServer = &server;
  Report("Select IP: " + ServerLabel(server));
  StartUmbrix();
  if (btnCancel) EnableWindow(btnCancel, TRUE);
  CloseForm();
  return true;
}

// The hidden instance was never shown: closing it changes nothing on screen.
void TfrmSelectIP::CloseForm() { closed_ = true; }
