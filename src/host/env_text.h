// Texts about the machine, decided without asking it: the caller passes what
// Windows reported.
#pragma once

#include <string>
#include <string_view>

// "C:\Data" -> "C:\Data\"; only a backslash counts as a separator.
std::string AddBackslash(std::string_view path);

// The short Windows name for a version query's platform id, major and minor.
std::string OSNameFor(unsigned platformId, unsigned major, unsigned minor);

// A calendar reading of a clock, as SYSTEMTIME gives it.
struct ClockReading {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// "GMT +2", "GMT -5", "GMT -0": the whole hours of local minus UTC, truncated
// toward zero, with the date difference around midnight taken into account.
std::string TimeZoneText(const ClockReading& utc, const ClockReading& local);
