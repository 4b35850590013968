// The General and Bypass pages: filled from the settings at every showing,
// written back on OK.
#include "app/bypass_list.h"
#include "app/frm_main.h"
#include "base/message_box.h"
#include "base/program.h"
#include "base/settings_keys.h"
#include "host/probes.h"
#include "proxy/firefox_prefs.h"

namespace {

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool on) { SendMessageA(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

void TfrmMain::LoadOptions() {
  if (!settings_) return;
  const IniSettings& s = *settings_;
  SetChecked(chkStartWithWindows, IsAutoStart(kProgramName));
  SetChecked(chkCountry, s.ReadBool(kSectionConfig, kKeyAutoSelectCountry, true));
  SetChecked(chkIE, s.ReadBool(kSectionConfig, kKeyBrowserIE, kDefaultBrowserIE));
  SetChecked(chkFirefox, s.ReadBool(kSectionConfig, kKeyBrowserFirefox, kDefaultBrowserFirefox));
  // As the switchboard reads it: any mode but "Restart Firefox" is "Plugin Mode".
  const bool restart =
      s.ReadInteger(kSectionConfig, kKeyFirefoxControlMode, kDefaultFirefoxControlMode) == kFirefoxRestartMode;
  SetChecked(rdgFirefox[kFirefoxPluginMode], !restart);
  SetChecked(rdgFirefox[kFirefoxRestartMode], restart);

  const std::vector<std::string> lines =
      StoredBypassLines(s.ReadInteger(kSectionBypass, kKeyCounter, kDefaultBypassCounter),
                        [&s](const std::string& key) { return s.ReadValue(kSectionBypass, key.c_str()); });
  SetWindowTextA(memBypass, BypassTextOfLines(lines).c_str());
}

bool TfrmMain::SaveOptions() {
  if (!settings_) return false;
  // Quoted: under "C:\Program Files\..." Windows would otherwise try "C:\Program.exe" first.
  if (!SetAutoStart(Checked(chkStartWithWindows), kProgramName, "\"" + Paths().ExePath + "\"")) {
    ShowMessageBox(kProgramName, std::string("Failed to create key ") + kRunSubKey, MessageKind::Error, mbOK);
    return false;
  }
  IniSettings& s = *settings_;
  // A refused write stops the save there, with the reason shown.
  const auto written = [&](bool ok) {
    if (!ok) ShowMessageBox(kProgramName, s.WriteErrorText(), MessageKind::Error, mbOK);
    return ok;
  };
  if (!written(s.WriteBool(kSectionConfig, kKeyAutoSelectCountry, Checked(chkCountry)))) return false;
  int mode = -1;
  for (int i = 0; i < static_cast<int>(rdgFirefox.size()); ++i)
    if (Checked(rdgFirefox[i])) mode = i;
  // Plugin mode wants no user.js of ours, ticked Firefox or not.
  if (mode == kFirefoxPluginMode) ResetFirefoxPrefs();
  if (!written(s.WriteBool(kSectionConfig, kKeyBrowserIE, Checked(chkIE)))) return false;
  if (!written(s.WriteBool(kSectionConfig, kKeyBrowserFirefox, Checked(chkFirefox)))) return false;
  if (!written(s.WriteInteger(kSectionConfig, kKeyFirefoxControlMode, mode))) return false;
  for (const auto& [key, value] : BypassIniEntries(BypassLines()))
    if (!written(s.WriteString(kSectionBypass, key.c_str(), value))) return false;
  return true;
}

std::vector<std::string> TfrmMain::BypassLines() const { return BypassLinesOfText(WindowText(memBypass)); }

void TfrmMain::btnOKClick() {
  if (session_->Busy()) return;  // Enter reaches here with the button grayed too
  if (SaveOptions()) HideMainWindow();
}

void TfrmMain::suiButton1Click() { HideMainWindow(); }

void TfrmMain::FormShow() { LoadOptions(); }
