// The main window's controls: the title area, the page control with its three
// pages, and OK and Cancel. Positions are those of the window at 96 dots per
// inch, scaled to the screen.
#include <windows.h>
#include <commctrl.h>

#include "app/about_page_text.h"
#include "app/frm_main.h"
#include "base/settings_keys.h"
#include "nimvara_config.h"
#include "ui/page_window.h"
#include "ui/ui_metrics.h"

namespace {

constexpr COLORREF kTitleAreaColour = RGB(31, 95, 174);
constexpr std::array<const char*, 3> kPageCaptions{"&General", "&Bypass", "&About"};
constexpr int kAboutPage = 2;
// Beyond the ids of main_controls.h: nothing handles these controls' messages.
constexpr int kIdRestoreOwnSettings = 390;
constexpr int kIdCoverage = 391;

// What a session covers, said where the browsers are chosen.
constexpr const char* kCoverageText =
    "While hiding: Firefox (Restart Firefox), pages and WebRTC; Chrome, Edge and other browsers on the system "
    "settings, pages only: their WebRTC cannot be restricted without administrator rights. Not other programs, "
    "nor Firefox in Plugin Mode (its add-on decides).";

}  // namespace

HWND TfrmMain::AddControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                          int h, int id, HFONT font) {
  HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, Scaled(x, dpi_), Scaled(y, dpi_),
                                 Scaled(w, dpi_), Scaled(h, dpi_), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : static_cast<HFONT>(font_.get())),
               FALSE);
  return control;
}

void TfrmMain::BuildInterface() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  ctiControl.ListenForShellRestart();

  font_ = MakeFont("Tahoma", 11, dpi_);
  titleFont_ = MakeFont("Tahoma", 15, dpi_, true);
  nameFont_ = MakeFont("Tahoma", 21, dpi_);
  makerFont_ = MakeFont("Tahoma", 16, dpi_);

  BuildTitleArea();
  pclMain = AddControl(hwnd_, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 50, 378,
                       345, kIdTabs);
  SetWindowLongPtrA(pclMain, GWL_EXSTYLE, GetWindowLongPtrA(pclMain, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  for (std::size_t i = 0; i < kPageCaptions.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kPageCaptions[i]);
    SendMessageA(pclMain, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  RECT area;
  GetClientRect(pclMain, &area);
  SendMessageA(pclMain, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (HWND& page : pages_) page = CreatePageWindow(pclMain, area, hwnd_);
  BuildGeneralPage(pages_[0]);
  BuildBypassPage(pages_[1]);
  BuildAboutPage(pages_[2]);
  SelectPage(kAboutPage);

  btnOK = AddControl(hwnd_, "BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 96, 401, 66, 25, IDOK);
  suiButton1 = AddControl(hwnd_, "BUTTON", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 216, 401, 66, 25, IDCANCEL);
}

void TfrmMain::BuildTitleArea() {
  menuButton_ = AddControl(hwnd_, "BUTTON", "Menu", BS_PUSHBUTTON, 286, 9, 48, 23, kIdMenuButton);
  helpButton_ = AddControl(hwnd_, "BUTTON", "?", BS_PUSHBUTTON, 338, 9, 24, 23, kIdHelpButton);
}

void TfrmMain::BuildGeneralPage(HWND page) {
  constexpr DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
  chkCountry = AddControl(page, "BUTTON", "Always choose the country I  selected last time", check, 45, 20, 300,
                          17, kIdCountry);
  chkStartWithWindows = AddControl(page, "BUTTON", "&Start with Windows", check, 45, 45, 250, 17,
                                   kIdStartWithWindows);
  chkRestoreOwnSettings = AddControl(page, "BUTTON", "Put back my own proxy settings when hiding stops", check, 45,
                                     64, 315, 17, kIdRestoreOwnSettings);
  HWND browsers = AddControl(page, "BUTTON", "Apply to Browsers:", BS_GROUPBOX, 45, 83, 288, 166,
                             kIdBrowsersGroup);
  chkIE = AddControl(page, "BUTTON", "Internet Explorer / Chrome", check, 45 + 21, 83 + 29, 240, 17, kIdIE);
  chkFirefox = AddControl(page, "BUTTON", "Firefox", check, 45 + 21, 83 + 56, 120, 14, kIdFirefox);
  // rdgFirefox: one framed column of two choices, independent of chkFirefox.
  HWND modes = AddControl(page, "BUTTON", "", BS_GROUPBOX | WS_CLIPSIBLINGS, 45 + 21, 83 + 68, 215, 73,
                          kIdFirefoxModeGroup);
  rdgFirefox[0] = AddControl(page, "BUTTON", "Plugin Mode", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                             45 + 21 + 12, 83 + 68 + 18, 190, 17, kIdPluginMode);
  rdgFirefox[1] = AddControl(page, "BUTTON", "Restart Firefox", BS_AUTORADIOBUTTON, 45 + 21 + 12,
                             83 + 68 + 44, 190, 17, kIdRestartFirefox);
  // The frames go beneath the controls, the inner one above the outer and
  // clipped by the rest: its top edge must not paint over chkFirefox.
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(modes, HWND_BOTTOM, 0, 0, 0, 0, keep);
  SetWindowPos(browsers, HWND_BOTTOM, 0, 0, 0, 0, keep);
  AddControl(page, "STATIC", kCoverageText, SS_LEFT | SS_NOPREFIX, 24, 251, 334, 66, kIdCoverage);
}

void TfrmMain::BuildBypassPage(HWND page) {
  AddControl(page, "STATIC",
             "Input the sites that you don't wish to use Umbrix. One site per line. Only apply to Internet "
             "Explorer.",
             SS_LEFT | SS_NOPREFIX, 29, 22, 304, 26, kIdBypassLabel);
  // No word wrap: one typed line is one site, however long.
  memBypass = AddControl(page, "EDIT", "",
                         ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL |
                             WS_HSCROLL | WS_TABSTOP,
                         29, 75, 316, 190, kIdBypass);
  SetWindowLongPtrA(memBypass, GWL_EXSTYLE, GetWindowLongPtrA(memBypass, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetWindowPos(memBypass, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TfrmMain::BuildAboutPage(HWND page) {
  const std::string name = AppNameCaption(kProgramVersion);
  const SIZE nameSize = TextSize(page, static_cast<HFONT>(nameFont_.get()), name.c_str());
  lblAppName = AddControl(page, "STATIC", name.c_str(), SS_LEFT | SS_NOPREFIX, 0, 52, 0, 0, kIdAppName,
                          static_cast<HFONT>(nameFont_.get()));
  SetWindowPos(lblAppName, nullptr, 0, 0, nameSize.cx, nameSize.cy, SWP_NOMOVE | SWP_NOZORDER);

  const SIZE makerSize = TextSize(page, static_cast<HFONT>(makerFont_.get()), kMakerName);
  lblMaker_ = AddControl(page, "STATIC", kMakerName, SS_LEFT | SS_NOPREFIX, 127, 87, 0, 0, kIdMaker,
                         static_cast<HFONT>(makerFont_.get()));
  SetWindowPos(lblMaker_, nullptr, 0, 0, makerSize.cx, makerSize.cy, SWP_NOMOVE | SWP_NOZORDER);

  ulbWebsite.Create(page, kIdWebsite, WebsiteLink(nimvara::config::kVendorHost).caption, 116, 132, 11, dpi_);
  ulbContactUs.Create(page, kIdContactUs, ContactUsLink(nimvara::config::kVendorHost).caption, 162, 165, 11, dpi_);
  ulbSeeMyIP.Create(page, kIdSeeMyIP, IpCheckLink(nimvara::config::kIpCheckHost).caption, 134, 200, 11, dpi_);
}

void TfrmMain::CentreAppName() {
  RECT page, label;
  GetClientRect(pages_[kAboutPage], &page);
  GetWindowRect(lblAppName, &label);
  const int left = CentredLeft(page.right - page.left, label.right - label.left);
  SetWindowPos(lblAppName, nullptr, left, Scaled(52, dpi_), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TfrmMain::SelectPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return;
  SendMessageA(pclMain, TCM_SETCURSEL, index, 0);
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
}

LRESULT TfrmMain::HitTest(LPARAM lParam) {
  const LRESULT hit = DefWindowProcA(hwnd_, WM_NCHITTEST, 0, lParam);
  if (hit != HTCLIENT) return hit;
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ScreenToClient(hwnd_, &at);
  // The title area moves the window, as a caption would.
  return at.y < Scaled(kTitleAreaHeight, dpi_) ? HTCAPTION : HTCLIENT;
}

void TfrmMain::PaintTitleArea() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT band;
  GetClientRect(hwnd_, &band);
  band.bottom = Scaled(kTitleAreaHeight, dpi_);
  UniqueGdiObject brush(CreateSolidBrush(kTitleAreaColour));
  FillRect(dc, &band, static_cast<HBRUSH>(brush.get()));

  const int iconSize = Scaled(24, dpi_);
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, iconSize,
                                             iconSize, LR_DEFAULTCOLOR));
  if (icon) {
    DrawIconEx(dc, Scaled(10, dpi_), (band.bottom - iconSize) / 2, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }
  char caption[64] = {};
  GetWindowTextA(hwnd_, caption, sizeof(caption));
  RECT text = band;
  text.left = Scaled(44, dpi_);
  const HGDIOBJ old = SelectObject(dc, titleFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  DrawTextA(dc, caption, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(hwnd_, &ps);
}
