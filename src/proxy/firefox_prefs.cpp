#include "proxy/firefox_prefs.h"

#include <windows.h>

#include "base/message_box.h"
#include "base/program.h"
#include "base/settings_keys.h"
#include "proxy/firefox_profile.h"
#include "proxy/proxy_address.h"
#include "proxy/proxy_messages.h"
#include "host/text_file.h"
#include "proxy/user_js_text.h"
#include "proxy/window_by_title.h"

namespace {

void TellFirefoxUnchanged(const std::string& userJs) {
  Report(std::string(kFirefoxChangeFailedText) + " (" + userJs + ")");
  ShowMessageBox(kProgramName, kFirefoxChangeFailedText, MessageKind::Error, mbOK);
}

// Keeps the user's own file once, then clears the way for the program's.
// False when the old file would not go (the user has been told).
bool SetAsideUserJs(const std::string& userJs) {
  if (!PathExists(userJs)) return true;
  const std::string backup = userJs + kUserJsBackupSuffix;
  if (!PathExists(backup)) CopyFileA(userJs.c_str(), backup.c_str(), TRUE);
  if (DeleteFileA(userJs.c_str())) return true;
  TellFirefoxUnchanged(userJs);
  return false;
}

}  // namespace

void SetFirefoxPrefs(bool enable, const std::string& proxy, const std::string& bypass) {
  if (enable && !IsValidProxy(proxy)) return;  // the switchboard has told the user
  const ProxyAddress address = SplitProxy(proxy);
  const std::string profile = FindFirefoxProfile();
  if (profile.empty()) return;
  const std::string userJs = profile + kUserJsName;
  const bool told = !SetAsideUserJs(userJs);
  // A file that cannot be replaced stays as it was; one message per call.
  if (!ReplaceFileWhole(userJs, UserJsText(enable, address.Host, address.Port, bypass))) {
    if (!told) TellFirefoxUnchanged(userJs);
    return;
  }
  if (FindWindowByTitle(kFirefoxTitleFragment))
    ShowMessageBox(kProgramName, kFirefoxRestartText, MessageKind::Warning, mbOK);
}

void ResetFirefoxPrefs() {
  const std::string profile = FindFirefoxProfile();
  if (profile.empty()) return;
  const std::string userJs = profile + kUserJsName;
  if (PathExists(userJs) && !DeleteFileA(userJs.c_str())) TellFirefoxUnchanged(userJs);
}
