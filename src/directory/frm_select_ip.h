// TfrmSelectIP: the server selection dialog. One hidden instance lives from
// start to end for re-picking the remembered country.
#pragma once

#include <windows.h>

inline constexpr const char* kSelectIPWindowClass = "TfrmSelectIP";

class TfrmSelectIP {
 public:
  TfrmSelectIP() = default;
  TfrmSelectIP(const TfrmSelectIP&) = delete;
  TfrmSelectIP& operator=(const TfrmSelectIP&) = delete;
  ~TfrmSelectIP();

  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};
