#include "net/start_installer.h"

#include <windows.h>
#include <shellapi.h>

#include "base/program.h"
#include "host/unique_handle.h"
#include "net/download_length.h"
#include "net/file_version.h"
#include "net/verify_installer.h"

namespace {

bool ReadAll(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > kMaxDownloadSize) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
}

// Empty when the signed installer is newer than the running program; else why not.
std::string RollbackReason(const std::string& fileName) {
  const std::optional<FixedVersion> offered = ReadFileVersion(fileName), running = OwnFileVersion();
  if (!offered) return "no version stated";
  if (!running) return "this program's version unknown";
  if (IsNewerVersion(*offered, *running)) return {};
  return "version " + FixedVersionText(*offered) + " is not newer than " + FixedVersionText(*running);
}

// Empty when the file may run; else why not.
std::string Refusal(const std::string& bytes, const Sha256Digest& named, HANDLE file, const std::string& fileName) {
  // Signed by the publisher is not enough: only the release that the signed
  // reply names may run, never an older known-bad one.
  if (Sha256Of(bytes) != named) return "not the installer the directory named";
  const SignatureFault fault = VerifyInstaller(bytes, file, fileName);
  if (fault != SignatureFault::None) return SignatureFaultText(fault);
  // Only a signed version resource is worth reading: the signature covers it.
  return RollbackReason(fileName);
}

}  // namespace

bool StartInstaller(const std::string& fileName, const Sha256Digest& named) {
  std::string reason = SignatureFaultText(SignatureFault::NotPe);
  {
    // Shared for reading only: nobody may change the file between check and start.
    UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (file && ReadAll(file.get(), bytes)) reason = Refusal(bytes, named, file.get(), fileName);
    if (reason.empty()) {
      const auto result = reinterpret_cast<INT_PTR>(
          ShellExecuteA(nullptr, "Open", fileName.c_str(), kRelaunchSwitch, nullptr, SW_SHOWNORMAL));
      if (result > 32) return true;
      Report("Update: the new version could not be started");
      return false;
    }
  }
  Report("Update: the downloaded file was refused (" + reason + ")");
  DeleteFileA(fileName.c_str());
  return false;
}
