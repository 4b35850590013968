// The texts of the activity log: time stamps, event lines, the file image, and
// what goes into report.txt when.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/env_text.h"

// "hh:nn:ss:zzz yyyy/mm/dd" with the user's time and date separators.
std::string FormatLogTimeStamp(const ClockReading& when, std::string_view timeSeparator,
                               std::string_view dateSeparator);

// "[ " + stamp + " ] " + message.
std::string LogEventLine(std::string_view stamp, std::string_view message);

// Every line followed by CR LF, the last one too.
std::string LogFileImage(const std::vector<std::string>& lines);

// Splits at CR LF, LF or CR; a final line break does not start an empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Where a full log goes: "report.txt" -> "report.old.txt", beside it.
std::string OlderLogPath(std::string_view path);

// A report.txt is begun anew once a line would take it past this.
inline constexpr std::uint64_t kLogRotateBytes = 1024 * 1024;

// What report.txt is to hold and which of it is still to be written, apart
// from the file system: the Windows side opens, renames and writes as told.
// The file is appended to, never rewritten; each new file (at the start of the
// run and after a rotation) begins with the header: the settings copy, the
// empty line, the separator and the header event lines of this run.
class LogBook {
 public:
  // The settings file's lines, an empty line and "================".
  void Start(std::vector<std::string> settingsLines);
  // An event line. Until EndHeader, event lines belong to the header.
  void Add(std::string line);
  void EndHeader();

  // A new, empty file takes everything this file is to hold.
  void Begun();
  // The current file is full: true once a line beyond the header is in it and
  // the unwritten bytes would take it past kLogRotateBytes. A file of nothing
  // but the header never is, or a long header would begin a file per line.
  bool RotationDue() const;
  // The current file was set aside: the lines become the header and what it
  // lacks, for the next Begun.
  void Rotated();
  // The bytes still to be appended, oldest first.
  const std::string& Unwritten() const { return unwritten_; }
  // The first `bytes` of Unwritten() are in the file.
  void Written(std::size_t bytes);

  // The lines of the current file, written or not: the header and the lines
  // since the last rotation, so a long run holds about one file's worth.
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  std::size_t headerCount_ = 0;
  bool headerOpen_ = true;
  std::size_t firstUnwritten_ = 0;  // the first line not wholly in the file
  std::string unwritten_;
  std::uint64_t fileBytes_ = 0;
};
