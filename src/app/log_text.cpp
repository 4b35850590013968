#include "app/log_text.h"

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
