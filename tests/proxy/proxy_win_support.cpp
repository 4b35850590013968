#include "proxy_win_support.h"

#include "host/probes.h"
#include "proxy/wininet_proxy.h"
#include "wine/test_support.h"

namespace {

std::vector<SetOptionCall> gCalls;
bool gForward = false;
BOOL gAnswer = TRUE;

SetOptionCall Describe(DWORD option, LPVOID buffer, DWORD size) {
  SetOptionCall call;
  call.option = option;
  call.bufferSize = size;
  if (option != INTERNET_OPTION_PER_CONNECTION_OPTION || !buffer) return call;
  const auto* list = static_cast<const INTERNET_PER_CONN_OPTION_LISTA*>(buffer);
  call.listSize = list->dwSize;
  call.lan = list->pszConnection == nullptr || *list->pszConnection == '\0';
  call.connection = list->pszConnection ? list->pszConnection : "";
  call.count = list->dwOptionCount;
  call.optionError = list->dwOptionError;
  for (DWORD i = 0; i < list->dwOptionCount; ++i) {
    const INTERNET_PER_CONN_OPTIONA& o = list->pOptions[i];
    call.optionIds.push_back(o.dwOption);
    if (o.dwOption == INTERNET_PER_CONN_FLAGS) call.flags = o.Value.dwValue;
    if (o.dwOption == INTERNET_PER_CONN_PROXY_SERVER) call.server = o.Value.pszValue ? o.Value.pszValue : "";
    if (o.dwOption == INTERNET_PER_CONN_PROXY_BYPASS) call.bypass = o.Value.pszValue ? o.Value.pszValue : "";
  }
  return call;
}

BOOL WINAPI RecordingSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD size) {
  gCalls.push_back(Describe(option, buffer, size));
  if (gForward) return InternetSetOptionA(handle, option, buffer, size);
  return option == INTERNET_OPTION_PER_CONNECTION_OPTION ? gAnswer : TRUE;
}

std::string QueryText(INTERNET_PER_CONN_OPTIONA& option) {
  std::string text = option.Value.pszValue ? option.Value.pszValue : "";
  if (option.Value.pszValue) GlobalFree(option.Value.pszValue);
  return text;
}

}  // namespace

OptionRecorder::OptionRecorder(bool forward, BOOL answer) {
  gCalls.clear();
  gForward = forward;
  gAnswer = answer;
  SetInternetSetOptionForTest(&RecordingSetOption);
}

OptionRecorder::~OptionRecorder() { SetInternetSetOptionForTest(nullptr); }

const std::vector<SetOptionCall>& OptionRecorder::Calls() const { return gCalls; }

std::vector<SetOptionCall> OptionRecorder::Stores() const {
  std::vector<SetOptionCall> stores;
  for (const SetOptionCall& c : gCalls)
    if (c.option == INTERNET_OPTION_PER_CONNECTION_OPTION) stores.push_back(c);
  return stores;
}

LanProxy QueryLanProxy() {
  INTERNET_PER_CONN_OPTIONA options[3] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
  INTERNET_PER_CONN_OPTION_LISTA list = {};
  list.dwSize = sizeof(list);
  list.dwOptionCount = 3;
  list.pOptions = options;
  DWORD size = sizeof(list);
  LanProxy lan;
  if (!InternetQueryOptionA(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size)) return lan;
  lan.flags = options[0].Value.dwValue;
  lan.server = QueryText(options[1]);
  lan.bypass = QueryText(options[2]);
  return lan;
}

void ResetLanToDirect() {
  SetInternetSetOptionForTest(nullptr);
  SetRasEnumConnectionsForTest(nullptr);
  SetConnectionProxy("", std::nullopt, "");
}

FirefoxHome::FirefoxHome() {
  mozilla_ = GetAppDataDir() + "Mozilla";
  dir_ = mozilla_ + "\\Firefox\\";
  RemoveTree(mozilla_);
  CreateDirectoryA(mozilla_.c_str(), nullptr);
  CreateDirectoryA(dir_.c_str(), nullptr);
  CreateDirectoryA((dir_ + "Profiles").c_str(), nullptr);
}

FirefoxHome::~FirefoxHome() { RemoveTree(mozilla_); }

std::string FirefoxHome::AddProfile(const std::string& name) const {
  const std::string path = dir_ + "Profiles\\" + name + "\\";
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void FirefoxHome::WriteProfilesIni(const std::string& text) const { WriteFileBytes(dir_ + "profiles.ini", text); }

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}
