#include "net/frm_update.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/program.h"
#include "net/start_installer.h"
#include "net/update_progress.h"
#include "nimvara_config.h"

namespace {

constexpr char kAgent[] = "Mozilla/4.0(compatible; MSIE 7.0;  Windows NT 6.0)";
constexpr char kDownloadPath[] = "/download/nimvara.exe";
constexpr char kErrorText[] = "Error when download new version!";
constexpr int kClientWidth = 359, kClientHeight = 131;
constexpr UINT kFormShowMessage = WM_APP + 1;  // posted at creation: runs once the dialog is up

struct alignas(4) EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};

int Dpi(HWND window) {
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(window, dc);
  return dpi;
}

HWND AddControl(HWND dialog, const char* cls, const char* text, DWORD style, RECT r, int id, HFONT font, int dpi) {
  HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, MulDiv(r.left, dpi, 96),
                                 MulDiv(r.top, dpi, 96), MulDiv(r.right, dpi, 96), MulDiv(r.bottom, dpi, 96),
                                 dialog, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

}  // namespace

bool ShowUpdateDialog(HWND owner, const Sha256Digest& installer) {
  TfrmUpdate dialog(std::string("http://") + nimvara::config::kVendorHost + kDownloadPath,
                    Paths().DataDir + "nimvara" + "-update.exe", installer);
  return dialog.ShowModal(owner);
}

TfrmUpdate::TfrmUpdate(std::string url, std::string fileName, const Sha256Digest& installer)
    : url_(std::move(url)), fileName_(std::move(fileName)), installer_(installer) {}

bool TfrmUpdate::ShowModal(HWND owner) {
  EmptyTemplate tmpl{};
  tmpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  tmpl.header.dwExtendedStyle = WS_EX_DLGMODALFRAME;
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &tmpl.header, owner, DialogProc, reinterpret_cast<LPARAM>(this));
  // The transfer ends with the dialog; a running one is aborted.
  HTTPGet.reset();
  return started_;
}

void TfrmUpdate::CreateControls() {
  SetWindowTextA(hwnd_, "Update");
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  font_.reset(CreateFontIndirectA(&metrics.lfMessageFont));
  const HFONT font = static_cast<HFONT>(font_.get());
  const int dpi = Dpi(hwnd_);
  // Rectangles as left, top, width, height at 96 dots per inch.
  AddControl(hwnd_, "STATIC", "Downloading new version. Please wait...", SS_LEFT, {16, 16, 327, 18}, 100, font, dpi);
  lblPercent = AddControl(hwnd_, "STATIC", "0%", SS_CENTER, {16, 44, 327, 18}, 101, font, dpi);
  btnCancel = AddControl(hwnd_, "BUTTON", "Cancel", WS_TABSTOP | BS_DEFPUSHBUTTON, {143, 68, 73, 25}, IDCANCEL,
                         font, dpi);
  suiProgressBar1 = AddControl(hwnd_, PROGRESS_CLASSA, "", 0, {8, 105, 343, 18}, 102, font, dpi);
  SendMessageA(suiProgressBar1, PBM_SETRANGE32, 0, 100);
  SendMessageA(suiProgressBar1, PBM_SETPOS, 0, 0);

  RECT frame{0, 0, MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96)};
  AdjustWindowRectEx(&frame, GetWindowLongA(hwnd_, GWL_STYLE), FALSE, GetWindowLongA(hwnd_, GWL_EXSTYLE));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER);
}

INT_PTR CALLBACK TfrmUpdate::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TfrmUpdate*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      self = reinterpret_cast<TfrmUpdate*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      self->hwnd_ = dialog;
      self->CreateControls();
      PostMessageA(dialog, kFormShowMessage, 0, 0);
      return TRUE;
    case kFormShowMessage:
      if (self) self->FormShow();
      return TRUE;
    case WM_COMMAND:
      if (self && LOWORD(wParam) == IDCANCEL) self->btnCancelClick();
      return TRUE;
    case WM_CLOSE:
      if (self) self->btnCancelClick();
      return TRUE;
    case WM_DESTROY:
      SetWindowLongPtrA(dialog, DWLP_USER, 0);
      return FALSE;
  }
  return FALSE;
}

void TfrmUpdate::FormShow() {
  HTTPGet = std::make_unique<THTTPGet>();
  HTTPGet->Agent = kAgent;
  HTTPGet->BinaryData = true;
  HTTPGet->UseCache = false;
  HTTPGet->WaitThread = false;
  HTTPGet->AcceptTypes = "*/*";
  HTTPGet->OnProgress = [this](THTTPGetThread* s, std::int32_t t, std::int32_t r) { HTTPGetFileProgress(s, t, r); };
  HTTPGet->OnDoneFile = [this](THTTPGet* s, const std::string& f, std::int32_t n) { HTTPGetFileDoneFile(s, f, n); };
  HTTPGet->OnError = [this](THTTPGet* s) { HTTPGetFileError(s); };
  HTTPGet->URL = url_;
  HTTPGet->FileName = fileName_;
  HTTPGet->StartDownload();
}

void TfrmUpdate::HTTPGetFileProgress(THTTPGetThread*, std::int32_t totalSize, std::int32_t readed) {
  ShowDownloadProgress(suiProgressBar1, lblPercent, totalSize, readed);
}

void ShowDownloadProgress(HWND bar, HWND caption, std::int32_t totalSize, std::int32_t readed) {
  // This runs up to about 30 times a second during a download:
  // a control is touched only when what it shows changes.
  if (SendMessageA(bar, PBM_GETRANGE, FALSE, 0) != totalSize) SendMessageA(bar, PBM_SETRANGE32, 0, totalSize);
  if (SendMessageA(bar, PBM_GETPOS, 0, 0) != readed) SendMessageA(bar, PBM_SETPOS, readed, 0);
  const std::string text = ProgressCaption(totalSize, readed);
  char shown[8] = {};
  GetWindowTextA(caption, shown, sizeof(shown));
  if (text != shown) SetWindowTextA(caption, text.c_str());
}

void TfrmUpdate::HTTPGetFileDoneFile(THTTPGet*, const std::string& fileName, std::int32_t) {
  // The file that arrived runs only when it is the named release and the
  // publisher signed it, and only the bytes that were checked.
  if (!StartInstaller(fileName, installer_)) {
    HTTPGetFileError(nullptr);
    return;
  }
  started_ = true;
  EndDialog(hwnd_, IDOK);
}

void TfrmUpdate::HTTPGetFileError(THTTPGet* sender) {
  if (sender) Report("Update: the download of the new version failed");
  // The user leaves the dialog with this button now.
  SetWindowTextA(btnCancel, "Close");
  MessageBoxA(hwnd_, kErrorText, "Nimvara", MB_OK);
}

void TfrmUpdate::btnCancelClick() {
  HTTPGet.reset();  // aborts a running transfer; none of its events comes any more
  EndDialog(hwnd_, IDCANCEL);
}
