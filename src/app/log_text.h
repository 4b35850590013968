// The texts of the activity log: time stamps, event lines and the file image.
#pragma once

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
