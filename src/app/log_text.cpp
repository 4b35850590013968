#include "app/log_text.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Padded(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "%0*d", width, value);
  return buffer;
}

}  // namespace

std::string FormatLogTimeStamp(const ClockReading& when, std::string_view timeSeparator,
                               std::string_view dateSeparator) {
  std::string stamp;
  stamp += Padded(when.hour, 2);
  stamp += timeSeparator;
  stamp += Padded(when.minute, 2);
  stamp += timeSeparator;
  stamp += Padded(when.second, 2);
  stamp += timeSeparator;
  stamp += Padded(when.millisecond, 3);
  stamp += ' ';
  stamp += Padded(when.year, 4);
  stamp += dateSeparator;
  stamp += Padded(when.month, 2);
  stamp += dateSeparator;
  stamp += Padded(when.day, 2);
  return stamp;
}

std::string LogEventLine(std::string_view stamp, std::string_view message) {
  std::string line = "[ ";
  line += stamp;
  line += " ] ";
  line += message;
  return line;
}

std::string LogFileImage(const std::vector<std::string>& lines) {
  std::string image;
  for (const std::string& line : lines) {
    image += line;
    image += "\r\n";
  }
  return image;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string OlderLogPath(std::string_view path) {
  const std::size_t name = path.find_last_of("\\/") + 1;  // npos + 1 == 0
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < name) dot = path.size();
  std::string older(path.substr(0, dot));
  older += ".old";
  older += path.substr(dot);
  return older;
}

void LogBook::Start(std::vector<std::string> settingsLines) {
  lines_ = std::move(settingsLines);
  lines_.emplace_back();
  lines_.emplace_back("================");
  headerCount_ = lines_.size();
  headerOpen_ = true;
  firstUnwritten_ = 0;
  unwritten_ = LogFileImage(lines_);
}

void LogBook::Add(std::string line) {
  unwritten_ += line;
  unwritten_ += "\r\n";
  lines_.push_back(std::move(line));
  if (headerOpen_) headerCount_ = lines_.size();
}

void LogBook::EndHeader() { headerOpen_ = false; }

void LogBook::Begun() {
  fileBytes_ = 0;
  firstUnwritten_ = 0;
  unwritten_ = LogFileImage(lines_);
}

bool LogBook::RotationDue() const {
  std::uint64_t headerBytes = 0;
  for (std::size_t i = 0; i < headerCount_; ++i) headerBytes += lines_[i].size() + 2;
  return fileBytes_ > headerBytes && fileBytes_ + unwritten_.size() > kLogRotateBytes;
}

void LogBook::Rotated() {
  // A line cut short by a failed write goes whole into the new file.
  const std::size_t keepFrom = std::max(firstUnwritten_, headerCount_);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(headerCount_),
               lines_.begin() + static_cast<std::ptrdiff_t>(keepFrom));
  fileBytes_ = 0;
  firstUnwritten_ = 0;
  unwritten_ = LogFileImage(lines_);
}

void LogBook::Written(std::size_t bytes) {
  bytes = std::min(bytes, unwritten_.size());
  unwritten_.erase(0, bytes);
  fileBytes_ += bytes;
  // The unwritten bytes are the tail of the lines' image: find the line they start in.
  std::size_t from = lines_.size();
  for (std::size_t tail = 0; tail < unwritten_.size();) tail += lines_[--from].size() + 2;
  firstUnwritten_ = from;
}
