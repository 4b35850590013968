#include "directory/frm_unblock.h"

#include "base/program.h"
#include "host/clipboard.h"
#include "host/probes.h"
#include "host/unique_handle.h"
#include "nimvara_config.h"
#include "ui/ui_metrics.h"

namespace {

constexpr char kMessage[] =
    "Silent Update failed! You should enable the following programs to access the Internet with your "
    "Firewall. Then click the RECONNECT button.";
constexpr int kClientWidth = 494, kClientHeight = 241;
constexpr int kImageSize = 40;

class TfrmUnblock {
 public:
  explicit TfrmUnblock(const std::function<void()>& reconnect) : reconnect_(reconnect) {}
  void Show(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void FormCreate();
  HWND Add(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id);
  void LoadImage1(HWND image);
  void btnCopyPathClick();
  void suiButton1Click();
  void btnReconnectClick();
  void suitempbtnOKClick();

  const std::function<void()>& reconnect_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  UniqueGdiObject font_, picture_;
};

void TfrmUnblock::Show(HWND owner) {
  // An empty template: the controls are made at WM_INITDIALOG.
  struct alignas(4) {
    DLGTEMPLATE header;
    WORD menu = 0, windowClass = 0, title = 0;
  } tmpl{};
  tmpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  tmpl.header.dwExtendedStyle = WS_EX_DLGMODALFRAME;
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &tmpl.header, owner, DialogProc,
                          reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK TfrmUnblock::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<TfrmUnblock*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self->hwnd_ = dialog;
    self->FormCreate();
    return FALSE;  // the focus is on Reconnect already
  }
  auto* self = reinterpret_cast<TfrmUnblock*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
  switch (LOWORD(wParam)) {
    case kIdUnblockCopy: self->btnCopyPathClick(); return TRUE;
    case kIdUnblockHelp: self->suiButton1Click(); return TRUE;
    case kIdUnblockReconnect: self->btnReconnectClick(); return TRUE;
    case kIdUnblockClose: self->suitempbtnOKClick(); return TRUE;
  }
  return FALSE;
}

HWND TfrmUnblock::Add(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
  HWND control = CreateWindowExA(cls == std::string("EDIT") ? WS_EX_CLIENTEDGE : 0, cls, text,
                                 WS_CHILD | WS_VISIBLE | style, Scaled(x, dpi_), Scaled(y, dpi_), Scaled(w, dpi_),
                                 Scaled(h, dpi_), hwnd_, reinterpret_cast<HMENU>(INT_PTR(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

void TfrmUnblock::FormCreate() {
  dpi_ = ScreenDpi();
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  font_.reset(CreateFontIndirectA(&metrics.lfMessageFont));
  SetWindowTextA(hwnd_, kUnblockCaption);

  LoadImage1(Add("STATIC", "", SS_BITMAP, 16, 16, kImageSize, kImageSize, kIdUnblockImage));
  Add("STATIC", kMessage, SS_LEFT | SS_NOPREFIX, 72, 16, 406, 64, kIdUnblockMessage);
  Add("STATIC", "Nimvara Path:", SS_LEFT, 16, 112, 120, 16, kIdUnblockPathLabel);
  Add("EDIT", Paths().ExePath.c_str(), ES_AUTOHSCROLL | ES_READONLY | WS_DISABLED, 16, 132, 378, 23, kIdUnblockPath);
  Add("BUTTON", "&Copy", BS_PUSHBUTTON | WS_TABSTOP, 404, 131, 74, 25, kIdUnblockCopy);
  Add("BUTTON", "&Help", BS_PUSHBUTTON | WS_TABSTOP, 16, 200, 74, 25, kIdUnblockHelp);
  HWND reconnect = Add("BUTTON", "&Reconnect", BS_DEFPUSHBUTTON | WS_TABSTOP, 314, 200, 82, 25, kIdUnblockReconnect);
  EnableWindow(reconnect, TRUE);
  Add("BUTTON", "&Close", BS_PUSHBUTTON | WS_TABSTOP, 404, 200, 74, 25, kIdUnblockClose);
  SetFocus(reconnect);

  RECT frame{0, 0, Scaled(kClientWidth, dpi_), Scaled(kClientHeight, dpi_)};
  AdjustWindowRectEx(&frame, GetWindowLongA(hwnd_, GWL_STYLE), FALSE, GetWindowLongA(hwnd_, GWL_EXSTYLE));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(hwnd_, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, 0);
}

// The first of the four equal pictures of the "MSGDLG" strip: the warning sign.
void TfrmUnblock::LoadImage1(HWND image) {
  UniqueGdiObject strip(LoadImageA(GetModuleHandleA(nullptr), "MSGDLG", IMAGE_BITMAP, 0, 0, 0));
  BITMAP info{};
  if (!strip || !GetObjectA(strip.get(), sizeof(info), &info) || info.bmWidth < 4) return;
  const int side = Scaled(kImageSize, dpi_);
  HDC screen = GetDC(nullptr);
  picture_.reset(CreateCompatibleBitmap(screen, side, side));
  UniqueMemoryDc from(CreateCompatibleDC(screen)), to(CreateCompatibleDC(screen));
  ReleaseDC(nullptr, screen);
  if (!picture_ || !from || !to) return;
  const HGDIOBJ oldFrom = SelectObject(from.get(), strip.get()), oldTo = SelectObject(to.get(), picture_.get());
  SetStretchBltMode(to.get(), HALFTONE);
  StretchBlt(to.get(), 0, 0, side, side, from.get(), 0, 0, info.bmWidth / 4, info.bmHeight, SRCCOPY);
  // Deselected before the DCs go, so that the bitmaps can be deleted.
  SelectObject(from.get(), oldFrom);
  SelectObject(to.get(), oldTo);
  SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
}

void TfrmUnblock::btnCopyPathClick() {
  HWND path = GetDlgItem(hwnd_, kIdUnblockPath);
  SendMessageA(path, EM_SETSEL, 0, -1);
  char text[MAX_PATH * 2] = {};
  GetWindowTextA(path, text, sizeof(text));
  SetClipboardText(hwnd_, text);
}

void TfrmUnblock::suiButton1Click() {
  OpenURL(std::string("http://") + nimvara::config::kVendorHost + "/setup-firewall.htm");
}

void TfrmUnblock::btnReconnectClick() {
  // Closed first; the new request runs before this dialog's modal loop ends.
  EndDialog(hwnd_, kIdUnblockReconnect);
  if (reconnect_) reconnect_();
}

void TfrmUnblock::suitempbtnOKClick() { EndDialog(hwnd_, kIdUnblockClose); }

}  // namespace

void ShowUnblock(HWND owner, const std::function<void()>& reconnect) {
  TfrmUnblock form(reconnect);
  form.Show(owner);
}
