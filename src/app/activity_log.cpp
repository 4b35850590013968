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

void ActivityLog::Start(const std::string& settingsPath) {
  lines_ = SplitLines(ReadWholeFile(settingsPath));
  lines_.emplace_back();
  lines_.emplace_back("================");
}

void ActivityLog::Report(const std::string& message) {
  lines_.push_back(LogEventLine(CurrentLogTimeStamp(), message));
  const unsigned long error = WriteFile();
  if (error == ERROR_SUCCESS) {
    failureShown_ = false;
    return;
  }
  // The line stays in LogLines; the next successful write carries it.
  if (failureShown_) return;
  failureShown_ = true;
  if (onWriteFailure_)
    onWriteFailure_("Cannot create file \"" + path_ + "\". " + SystemErrorText(error));
}

unsigned long ActivityLog::WriteFile() {
  UniqueFile file(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  const std::string image = LogFileImage(lines_);
  DWORD written = 0;
  if (!::WriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr))
    return GetLastError();
  return written == image.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}
