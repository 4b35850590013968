#include "host/probes.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <optional>
#include <vector>

#include "host/data_folder_choice.h"
#include "host/env_text.h"
#include "host/unique_handle.h"

namespace {

ClockReading ToReading(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::string ReadRegString(HKEY key, const char* valueName) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return {};
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS)
    return {};
  return std::string(data.data());  // stops at the terminator, present or not
}

UniqueHKey OpenRunParent() {
  UniqueHKey key;
  RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyParent, 0, nullptr, REG_OPTION_NON_VOLATILE,
                  KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
  return key;
}

FolderSpelling Spelling(const std::wstring& wide) {
  FolderSpelling spelling;
  spelling.wide.assign(wide.begin(), wide.end());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return spelling;
  spelling.ansi.resize(n);
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, spelling.ansi.data(), n, nullptr, nullptr);
  spelling.ansi.resize(n - 1);
  const int back = MultiByteToWideChar(CP_ACP, 0, spelling.ansi.c_str(), -1, nullptr, 0);
  if (back <= 1) return spelling;
  std::wstring wideBack(back, L'\0');
  MultiByteToWideChar(CP_ACP, 0, spelling.ansi.c_str(), -1, wideBack.data(), back);
  spelling.ansiBack.assign(wideBack.begin(), wideBack.end() - 1);
  return spelling;
}

// Nothing when the volume keeps no short names for the folder.
std::optional<std::wstring> ShortPathName(const std::wstring& path) {
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring shortName(n, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), shortName.data(), n);
  if (written == 0 || written >= n) return std::nullopt;
  shortName.resize(written);
  return shortName;
}

}  // namespace

std::string GetOSName() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return "Unknown";
#pragma GCC diagnostic pop
  return OSNameFor(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

std::string GetDefaultBrowser() {
  // Read only: creating the key when it is missing would leave an empty per-user
  // http handler behind, and web links would stop working for the user.
  UniqueHKey key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, key.put()) !=
      ERROR_SUCCESS)
    return {};
  return ReadRegString(key.get(), nullptr);
}

std::string GetTimeZone() {
  SYSTEMTIME utc{}, local{};
  GetSystemTime(&utc);
  GetLocalTime(&local);
  return TimeZoneText(ToReading(utc), ToReading(local));
}

std::string GetWindowsDir() {
  char buffer[261] = {};
  const UINT n = GetWindowsDirectoryA(buffer, sizeof(buffer));
  return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::string GetSpecialFolder(int csidl) {
  char buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  return buffer;
}

std::string GetAppDataDir(std::wstring* refusal) {
  if (GetOSName() == "Win98") {
    const std::string windows = GetWindowsDir();
    return windows.empty() ? std::string() : AddBackslash(windows) + "Application Data\\";
  }
  wchar_t wide[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, wide))) return {};
  const std::optional<std::wstring> shortName = ShortPathName(wide);
  const DataFolderChoice choice =
      ChooseDataFolder(Spelling(wide), shortName ? std::optional(Spelling(*shortName)) : std::nullopt);
  if (refusal) refusal->assign(choice.refusal.begin(), choice.refusal.end());
  return choice.folder.empty() ? std::string() : AddBackslash(choice.folder);
}

bool EnsureFolder(const std::string& folder) {
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

bool IsAutoStart(const std::string& valueName) {
  UniqueHKey parent = OpenRunParent();
  if (!parent) return false;
  UniqueHKey run;
  if (RegOpenKeyExA(parent.get(), kRunSubKey, 0, KEY_READ, run.put()) != ERROR_SUCCESS) return false;
  return !ReadRegString(run.get(), valueName.c_str()).empty();
}

bool SetAutoStart(bool enable, const std::string& valueName, const std::string& command) {
  UniqueHKey parent = OpenRunParent();
  UniqueHKey run;
  if (!parent || RegCreateKeyExA(parent.get(), kRunSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, run.put(), nullptr) != ERROR_SUCCESS)
    return !enable;  // only a failed write is worth telling the user about
  if (enable) {
    return RegSetValueExA(run.get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
  }
  RegDeleteValueA(run.get(), valueName.c_str());
  return true;
}

void OpenURL(const std::string& url) {
  if (!GetDefaultBrowser().empty())
    ShellExecuteA(nullptr, "OPEN", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  else
    ShellExecuteA(nullptr, "OPEN", "iexplore.exe", url.c_str(), nullptr, SW_SHOWNORMAL);
}

std::string GetExePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}
