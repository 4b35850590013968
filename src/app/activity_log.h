// The activity log: LogLines in memory, report.txt on disk as its exact image.
#pragma once

#include <functional>
#include <string>
#include <vector>

class ActivityLog {
 public:
  // `onWriteFailure` receives the "Cannot create file ..." text when report.txt
  // cannot be written. It is called once per run of failures, not per line.
  ActivityLog(std::string path, std::function<void(const std::string&)> onWriteFailure)
      : path_(std::move(path)), onWriteFailure_(std::move(onWriteFailure)) {}

  // The settings file's lines as they stand, an empty line and the separator.
  void Start(const std::string& settingsPath);
  void Report(const std::string& message);

  const std::vector<std::string>& LogLines() const { return lines_; }
  const std::string& Path() const { return path_; }

 private:
  unsigned long WriteFile();  // the system's error code, 0 when written

  std::string path_;
  std::function<void(const std::string&)> onWriteFailure_;
  std::vector<std::string> lines_;
  bool failureShown_ = false;
};

// Now, as the log writes it, with the user's separators.
std::string CurrentLogTimeStamp();
// The system's reason for an error code, as one line without a final period.
std::string SystemErrorText(unsigned long code);
