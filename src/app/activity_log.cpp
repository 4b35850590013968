#include "app/activity_log.h"

#include <windows.h>

#include "app/log_text.h"
#include "host/text_file.h"
#include "host/unique_handle.h"

namespace {

std::string LocaleText(LCTYPE type, const char* fallback) {
  char buffer[16] = {};
  return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof(buffer)) > 0 ? buffer : fallback;
}

}  // namespace

std::string CurrentLogTimeStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const ClockReading reading{now.wYear, now.wMonth, now.wDay, now.wHour,
                             now.wMinute, now.wSecond, now.wMilliseconds};
  return FormatLogTimeStamp(reading, LocaleText(LOCALE_STIME, ":"), LocaleText(LOCALE_SDATE, "/"));
}

std::string SystemErrorText(unsigned long code) {
  char* buffer = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = n > 0 && buffer ? std::string(buffer, n) : std::string();
  LocalFree(buffer);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  if (text.empty()) text = "System error " + std::to_string(code);
  return text;
}

void ActivityLog::Start(const std::string& settingsPath) { book_.Start(SplitLines(ReadWholeFile(settingsPath))); }

void ActivityLog::Report(const std::string& message) {
  book_.Add(LogEventLine(CurrentLogTimeStamp(), message));
  const unsigned long error = Write();
  if (error == ERROR_SUCCESS) {
    failureShown_ = false;
    return;
  }
  // The line stays unwritten; the next write carries it.
  if (failureShown_) return;
  failureShown_ = true;
  if (onWriteFailure_)
    onWriteFailure_("Cannot create file \"" + path_ + "\". " + SystemErrorText(error));
}

unsigned long ActivityLog::Write() {
  if (file_ && book_.RotationDue()) Rotate();
  if (!file_ && !Open()) return GetLastError();
  const std::string& bytes = book_.Unwritten();
  DWORD written = 0;
  const bool ok = ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  const unsigned long error = ok ? ERROR_SUCCESS : GetLastError();
  book_.Written(written);
  if (error != ERROR_SUCCESS) return error;
  return book_.Unwritten().empty() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

bool ActivityLog::Open() {
  // A new file at the first line of the run and after a rotation; a file that
  // could not be set aside is appended to.
  file_.reset(CreateFileA(path_.c_str(), begun_ ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          begun_ ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  if (!begun_) book_.Begun();
  begun_ = true;
  return true;
}

void ActivityLog::Rotate() {
  file_.reset();  // held open, it could not be renamed
  // When the older copy cannot be replaced (a viewer holds it), this file is
  // reopened and goes on, and the next line tries again.
  if (!MoveFileExA(path_.c_str(), OlderLogPath(path_).c_str(), MOVEFILE_REPLACE_EXISTING)) return;
  book_.Rotated();
  begun_ = false;
}
