// The About page's link look under Wine: blue, red under the mouse, hand cursor.
#include "ui/link_label.h"

#include <gtest/gtest.h>

#include "wine/test_support.h"

namespace {

struct LinkOnAWindow : ::testing::Test {
  void SetUp() override {
    parent.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(parent);
    ASSERT_TRUE(link.Create(parent.get(), 300, "Contact Us", 10, 10, 11, 96));
  }
  // Whether any pixel of the label shows `colour` once painted.
  bool Shows(COLORREF colour) {
    InvalidateRect(link.Handle(), nullptr, TRUE);
    UpdateWindow(link.Handle());
    RECT area;
    GetClientRect(link.Handle(), &area);
    HDC dc = GetDC(link.Handle());
    bool found = false;
    for (int y = 0; y < area.bottom && !found; ++y)
      for (int x = 0; x < area.right && !found; ++x) found = GetPixel(dc, x, y) == colour;
    ReleaseDC(link.Handle(), dc);
    return found;
  }
  UniqueWindow parent;
  LinkLabel link;
};

}  // namespace

TEST_F(LinkOnAWindow, IsBlueAndRedWhileTheMouseIsOverIt) {
  char caption[32] = {};
  GetWindowTextA(link.Handle(), caption, sizeof(caption));
  EXPECT_STREQ(caption, "Contact Us");
  EXPECT_NE(GetWindowLongA(link.Handle(), GWL_STYLE) & SS_NOTIFY, 0);
  EXPECT_FALSE(link.Hot());
  EXPECT_TRUE(Shows(kLinkColour));
  EXPECT_FALSE(Shows(kLinkHotColour));

  SendMessageA(link.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(link.Hot());
  EXPECT_TRUE(Shows(kLinkHotColour));
  EXPECT_FALSE(Shows(kLinkColour));

  SendMessageA(link.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(link.Hot());
  EXPECT_TRUE(Shows(kLinkColour));
}

TEST_F(LinkOnAWindow, ShowsTheHandCursor) {
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  SendMessageA(link.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(LinkOnAWindow, AClickReachesTheParentAsAStaticClick) {
  // The page forwards it to the main window, which opens the address.
  EXPECT_NE(GetWindowLongA(link.Handle(), GWL_STYLE) & SS_NOTIFY, 0);
  EXPECT_EQ(GetDlgCtrlID(link.Handle()), 300);
  EXPECT_EQ(GetParent(link.Handle()), parent.get());
}
