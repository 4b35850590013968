#include "host/env_text.h"

#include <chrono>
#include <cstdlib>

std::string AddBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

std::string OSNameFor(unsigned platformId, unsigned major, unsigned minor) {
  if (platformId == 1) {  // the Windows 9x family
    if (major > 4 || (major == 4 && minor > 0)) return "Win98";
    return "Win95";
  }
  if (major <= 4) return "WinNT";
  if (major == 5) return minor == 0 ? "Win2000" : "WinXP";
  if (major == 6 && minor == 0) return "Vista";
  if (major == 6 && minor == 1) return "Win7";
  return "Unknown";
}

namespace {

long long MillisecondsSinceEpoch(const ClockReading& r) {
  using namespace std::chrono;
  const sys_days day = year_month_day{year{r.year}, month{static_cast<unsigned>(r.month)},
                                      std::chrono::day{static_cast<unsigned>(r.day)}};
  return static_cast<long long>(day.time_since_epoch().count()) * 86'400'000LL + r.hour * 3'600'000LL +
         r.minute * 60'000LL + r.second * 1000LL + r.millisecond;
}

}  // namespace

std::string TimeZoneText(const ClockReading& utc, const ClockReading& local) {
  // The two clocks are read one after the other: round their difference, once,
  // to the nearest minute (rounding each reading could put a minute between them).
  const long long ms = MillisecondsSinceEpoch(local) - MillisecondsSinceEpoch(utc);
  const long long minutes = (ms >= 0 ? ms + 30'000 : ms - 30'000) / 60'000;
  const long long hours = minutes / 60;  // truncates toward zero: +5:30 -> 5, -3:30 -> -3
  if (hours > 0) return "GMT +" + std::to_string(hours);
  return "GMT -" + std::to_string(std::llabs(hours));
}
