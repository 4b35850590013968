// TfrmSelectIP: the server selection dialog. Each list the user sees is a new
// instance shown modally; one hidden instance lives from start to end, on
// which a remembered country is re-picked without anything showing.
#pragma once

#include <windows.h>

#include <vector>

#include "directory/server_list.h"
#include "host/unique_handle.h"

inline constexpr const char* kSelectIPWindowClass = "TfrmSelectIP";

// Control ids of the dialog; OK and Cancel answer Enter and Escape.
enum SelectIPControlId : int {
  kIdSelectIPOK = IDOK,
  kIdSelectIPCancel = IDCANCEL,
  kIdSelectIPLabel = 301,
  kIdSelectIPList,
  kIdSelectIPCountry,
};

// Program-wide: the row last confirmed with OK; every new list opens on it.
extern int LastListIndex;

class TfrmSelectIP;
// The hidden instance created at start, or null.
TfrmSelectIP* StartSelectIPForm();
// Starts the hide session through the starter the main window gave.
void StartUmbrix();

class TfrmSelectIP {
 public:
  TfrmSelectIP() = default;
  TfrmSelectIP(const TfrmSelectIP&) = delete;
  TfrmSelectIP& operator=(const TfrmSelectIP&) = delete;
  ~TfrmSelectIP();

  // The hidden instance of the run: SelectCountry() of the directory reply uses it.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }

  // Builds a dialog with the catalogue's rows, row LastListIndex selected.
  bool BuildList(bool cancelEnabled);
  // Shows it and runs its own message loop until it closes.
  void RunModal();
  // Picks a server of the first run of the country at random, makes it the
  // current server, starts the session, then closes. False when no entry has
  // that country: nothing is picked and the dialog stays.
  bool SelectCountry(int country);

 private:
  bool CreateFormWindow(HINSTANCE instance);
  void BuildControls();
  HWND AddControl(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id);
  void FormShow();
  void btnOKClick();
  void PickSelected();
  void btnCancelClick();
  void CloseForm();

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  HWND Label1 = nullptr, lsbSelectIP = nullptr, chkCountry = nullptr, btnOK = nullptr, btnCancel = nullptr;
  UniqueGdiObject font_;
  int dpi_ = 96;
  std::vector<ServerListRow> rows_;
  bool closed_ = false;
  bool picking_ = false;  // a pick's session is starting: the dialog still takes clicks
};
