#include "proxy/firefox_prefs.h"

#include <windows.h>

#include "base/message_box.h"
#include "base/program.h"
#include "base/settings_keys.h"
#include "host/text_file.h"
#include "proxy/firefox_profile.h"
#include "proxy/proxy_messages.h"
#include "proxy/user_js_text.h"
#include "proxy/window_by_title.h"

namespace {

void TellFirefoxUnchanged(const std::string& userJs) {
  Report(std::string(kFirefoxChangeFailedText) + " (" + userJs + ")");
  ShowMessageBox(kProgramName, kFirefoxChangeFailedText, MessageKind::Error, mbOK);
}

bool IsProgramsFile(const std::string& userJs) { return UserJsFormOf(ReadWholeFile(userJs)) != UserJsForm::UsersOwn; }

// The first copy of the user's file is user.js.first, made once; later ones
// take the next free numbered name. Never replaces an existing file.
bool CopyUsersFile(const std::string& userJs) {
  const std::string first = userJs + kUserJsBackupSuffix;
  if (!PathExists(first)) return CopyFileA(userJs.c_str(), first.c_str(), TRUE) != 0;
  for (int n = 2; n <= kMaxUserJsCopies; ++n) {
    const std::string copy = userJs + "." + std::to_string(n);
    if (!PathExists(copy)) return CopyFileA(userJs.c_str(), copy.c_str(), TRUE) != 0;
  }
  return false;
}

// Clears the way for the program's file, keeping a copy of the user's own.
// False when the old file has to stay (the user has been told).
bool SetAsideUserJs(const std::string& userJs) {
  if (!PathExists(userJs)) return true;
  if ((IsProgramsFile(userJs) || CopyUsersFile(userJs)) && DeleteFileA(userJs.c_str())) return true;
  TellFirefoxUnchanged(userJs);
  return false;
}

}  // namespace

void SetFirefoxPrefs(const std::optional<ProxyAddress>& proxy, const std::string& bypass) {
  const std::string profile = FindFirefoxProfile();
  if (profile.empty()) return;
  const std::string userJs = profile + kUserJsName;
  // A file that cannot be set aside or replaced stays as it was; one message per call.
  if (!SetAsideUserJs(userJs)) return;
  if (!ReplaceFileWhole(userJs, UserJsText(proxy, bypass))) {
    TellFirefoxUnchanged(userJs);
    return;
  }
  if (FindWindowByTitle(kFirefoxTitleFragment))
    ShowMessageBox(kProgramName, kFirefoxRestartText, MessageKind::Warning, mbOK);
}

void ResetFirefoxPrefs() {
  const std::string profile = FindFirefoxProfile();
  if (profile.empty()) return;
  const std::string userJs = profile + kUserJsName;
  if (!PathExists(userJs)) return;
  bool done = true;
  switch (UserJsFormOf(ReadWholeFile(userJs))) {
    case UserJsForm::UsersOwn: return;
    case UserJsForm::Apply: done = ReplaceFileWhole(userJs, UserJsText(std::nullopt, "")); break;
    case UserJsForm::Restore: done = DeleteFileA(userJs.c_str()) != 0; break;
  }
  if (!done) TellFirefoxUnchanged(userJs);
}
