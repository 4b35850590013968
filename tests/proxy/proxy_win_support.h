// What the browser proxy tests under Wine share: a recorder for the option
// lists WinINet is given, and a Firefox folder in the prefix's AppData.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

// One InternetSetOptionA call as the back-end made it.
struct SetOptionCall {
  DWORD option = 0;
  DWORD bufferSize = 0;
  bool lan = false;          // per-connection list without a connection name
  std::string connection;
  DWORD listSize = 0, count = 0, optionError = 0;
  std::vector<DWORD> optionIds;
  DWORD flags = 0;
  std::string server, bypass;
};

// Installs itself as the back-end's InternetSetOptionA while it lives. With
// `forward` the calls also reach the real WinINet.
class OptionRecorder {
 public:
  explicit OptionRecorder(bool forward, BOOL answer = TRUE);
  ~OptionRecorder();
  OptionRecorder(const OptionRecorder&) = delete;
  OptionRecorder& operator=(const OptionRecorder&) = delete;
  const std::vector<SetOptionCall>& Calls() const;
  // The per-connection stores only, in order.
  std::vector<SetOptionCall> Stores() const;
};

// The LAN setting as WinINet reads it back.
struct LanProxy {
  DWORD flags = 0;
  std::string server, bypass;
};
LanProxy QueryLanProxy();
// Puts the real LAN setting back on direct access.
void ResetLanToDirect();

// AppData\Mozilla\Firefox of the prefix, emptied when made and when gone.
class FirefoxHome {
 public:
  FirefoxHome();
  ~FirefoxHome();
  FirefoxHome(const FirefoxHome&) = delete;
  FirefoxHome& operator=(const FirefoxHome&) = delete;
  const std::string& Dir() const { return dir_; }  // ...\Mozilla\Firefox\ .
  // Creates Profiles\<name>\ and returns it with its trailing backslash.
  std::string AddProfile(const std::string& name) const;
  void WriteProfilesIni(const std::string& text) const;

 private:
  std::string mozilla_, dir_;
};

// Text split at CR LF; the last line must end with CR LF too (else it is
// returned with a "<no CR LF>" mark).
std::vector<std::string> CrLfLines(const std::string& text);
