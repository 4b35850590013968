// The activity log: report.txt, held open for the run and appended to one line
// at a time; at kLogRotateBytes it becomes report.old.txt and a new one begins
// with the header. LogLines are the lines of the current file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/log_text.h"
#include "host/unique_handle.h"

class ActivityLog {
 public:
  // `onWriteFailure` receives the "Cannot create file ..." text when report.txt
  // cannot be written. It is called once per run of failures, not per line.
  ActivityLog(std::string path, std::function<void(const std::string&)> onWriteFailure)
      : path_(std::move(path)), onWriteFailure_(std::move(onWriteFailure)) {}

  // The settings file's lines as they stand, an empty line and the separator.
  void Start(const std::string& settingsPath);
  void Report(const std::string& message);
  // The lines so far are the header that every new file begins with.
  void EndHeader() { book_.EndHeader(); }

  const std::vector<std::string>& LogLines() const { return book_.Lines(); }
  const std::string& Path() const { return path_; }

 private:
  unsigned long Write();  // the system's error code, 0 when everything is in
  bool Open();
  void Rotate();

  std::string path_;
  std::function<void(const std::string&)> onWriteFailure_;
  LogBook book_;
  UniqueFile file_;
  bool begun_ = false;  // this run's current file exists: reopened, it is appended to
  bool failureShown_ = false;
};

// Now, as the log writes it, with the user's separators.
std::string CurrentLogTimeStamp();
// The system's reason for an error code, as one line without a final period.
std::string SystemErrorText(unsigned long code);
