// A web link as a label: blue and underlined, red while the mouse is over it,
// with the hand cursor. A click reaches the parent as WM_COMMAND STN_CLICKED.
#pragma once

#include <windows.h>

#include <string>

#include "host/unique_handle.h"

class LinkLabel {
 public:
  LinkLabel() = default;
  LinkLabel(const LinkLabel&) = delete;
  LinkLabel& operator=(const LinkLabel&) = delete;
  ~LinkLabel();

  // `pixelHeight` is the character height at 96 dots per inch; x and y are scaled.
  bool Create(HWND parent, int id, const std::string& caption, int x, int y, int pixelHeight, int dpi);
  HWND Handle() const { return hwnd_; }
  bool Hot() const { return hot_; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();

  HWND hwnd_ = nullptr;
  bool hot_ = false;
  UniqueGdiObject font_;
};

inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
inline constexpr COLORREF kLinkHotColour = RGB(255, 0, 0);
