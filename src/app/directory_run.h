// The directory request and its reply, wired to the log, the tray status, the
// dialogs and the hide session: the catalogue filled once, then the remembered
// country re-picked or the selection opened.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/hide_session.h"
#include "directory/directory_reply.h"

class DirectoryRun {
 public:
  struct Window {
    HWND handle = nullptr;         // owner of the dialogs while it is shown
    std::function<bool()> closed;  // the program is ending: stop
    std::function<void()> exit;    // an update's installer runs: end as Exit does
  };
  DirectoryRun(Window window, HideSession& session) : window_(std::move(window)), session_(session) {}

  // The reply of the first directory server that answers; empty when none did.
  std::string SilentUpdate();
  // Notices, a new version and the catalogue; false when nothing was of use.
  bool ProcessUpdate(const std::string& reply);

 private:
  bool Closed() const { return window_.closed && window_.closed(); }
  void Reconnect();
  bool FillCatalogue(const ReplyKeys& keys);
  void SelectFromCatalogue();

  Window window_;
  HideSession& session_;
  int acceptedReplies_ = 0;  // runs that got a reply
};
