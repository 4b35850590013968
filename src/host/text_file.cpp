#include "host/text_file.h"

#include <windows.h>

#include "host/unique_handle.h"

namespace {

constexpr const char* kNewSuffix = ".nimvara-new";

bool WriteNewFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileIfAny(const std::string& path, std::optional<std::string>& bytes) {
  bytes.reset();
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr));
  if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
  std::string read;
  char chunk[4096];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr)) return false;
    if (got == 0) break;
    read.append(chunk, got);
  }
  bytes = std::move(read);
  return true;
}

bool ReplaceFileWhole(const std::string& path, const std::string& bytes) {
  const std::string fresh = path + kNewSuffix;
  if (WriteNewFile(fresh, bytes) &&
      MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(fresh.c_str());
  return false;
}

std::string ReadWholeFile(const std::string& path) {
  std::optional<std::string> bytes;
  ReadFileIfAny(path, bytes);
  return bytes.value_or(std::string());
}
