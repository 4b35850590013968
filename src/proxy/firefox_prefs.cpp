#include "proxy/firefox_prefs.h"

#include <windows.h>

#include <functional>

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

// The block for the user's own lines; nullopt: leave the file as it is.
using BlockFor = std::function<std::optional<std::string>(const UserJsOwnLines&)>;

// Rewrites user.js as the user's own lines followed by the block, the file gone
// when both are empty. False (the user told) when the file stays as it was.
bool RewriteUserJs(const std::string& userJs, const BlockFor& blockFor) {
  const std::string setAsidePath = userJs + kUserJsBackupSuffix;
  std::optional<std::string> current, setAside;
  // The user's own lines are never written over unread.
  if (!ReadFileIfAny(userJs, current)) {
    TellFirefoxUnchanged(userJs);
    return false;
  }
  if (!ReadFileIfAny(setAsidePath, setAside)) setAside.reset();  // stays set aside until it can be read
  const UserJsOwnLines own = OwnUserJsLines(current, setAside);
  const std::optional<std::string> block = blockFor(own);
  if (!block) return true;
  const std::string text = UserJsWith(own.lines, *block);
  bool done = true;
  if (!text.empty())
    done = ReplaceFileWhole(userJs, text);
  else if (current)
    done = DeleteFileA(userJs.c_str()) != 0;
  if (!done) {
    TellFirefoxUnchanged(userJs);
    return false;
  }
  // Its lines are the user's own lines of user.js now.
  if (own.setAsideTakenBack) DeleteFileA(setAsidePath.c_str());
  return true;
}

std::string UserJsPath() {
  const std::string profile = FindFirefoxProfile();
  return profile.empty() ? std::string() : profile + kUserJsName;
}

}  // namespace

void SetFirefoxPrefs(const std::optional<ProxyAddress>& proxy, const std::string& bypass,
                     const std::optional<std::vector<PrefLine>>& putBack) {
  const std::string userJs = UserJsPath();
  if (userJs.empty()) return;
  const bool written = RewriteUserJs(userJs, [&](const UserJsOwnLines& own) {
    return proxy ? ApplyBlock(*proxy, bypass) : RestoreBlock(own.lines, putBack);
  });
  if (written && FindWindowByTitle(kFirefoxTitleFragment))
    ShowMessageBox(kProgramName, kFirefoxRestartText, MessageKind::Warning, mbOK);
}

void ResetFirefoxPrefs() {
  const std::string userJs = UserJsPath();
  if (userJs.empty()) return;
  RewriteUserJs(userJs, [](const UserJsOwnLines& own) -> std::optional<std::string> {
    switch (own.form) {
      case UserJsForm::Apply: return RestoreBlock(own.lines, std::nullopt);
      case UserJsForm::Restore: return std::string();
      case UserJsForm::UsersOwn: break;
    }
    // Lines an earlier version set aside come back all the same.
    return own.setAsideTakenBack ? std::optional<std::string>(std::string()) : std::nullopt;
  });
}
