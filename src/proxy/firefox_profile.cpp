#include "proxy/firefox_profile.h"

#include <windows.h>

#include "host/env_text.h"
#include "host/probes.h"
#include "host/unique_handle.h"
#include "proxy/profiles_ini.h"
#include "host/text_file.h"

namespace {

struct FindHandleTraits {  // FindFirstFile: empty at INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<FindHandleTraits>;

// The layout Firefox used before profiles.ini named the profile in use.
std::string FirstDefaultEntry(const std::string& profilesDir) {
  WIN32_FIND_DATAA entry = {};
  UniqueFind find(FindFirstFileA((profilesDir + "*.default").c_str(), &entry));
  if (!find) return {};
  do {
    if (!(entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
      return AddBackslash(profilesDir + entry.cFileName);
  } while (FindNextFileA(find.get(), &entry));
  return {};
}

}  // namespace

std::string FindFirefoxProfile() {
  const std::string appData = GetAppDataDir();
  if (appData.empty()) return {};
  const std::string firefoxDir = appData + "Mozilla\\Firefox\\";
  for (const std::string& candidate : ProfileCandidates(ReadWholeFile(firefoxDir + "profiles.ini"), firefoxDir))
    if (IsFolder(candidate)) return candidate;
  return FirstDefaultEntry(firefoxDir + "Profiles\\");
}
