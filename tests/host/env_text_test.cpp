#include "host/env_text.h"

#include <gtest/gtest.h>

TEST(AddBackslash, AppendsOnlyWhenTheLastCharacterIsNotABackslash) {
  EXPECT_EQ(AddBackslash("C:\\Data\\"), "C:\\Data\\");
  EXPECT_EQ(AddBackslash("C:\\Data"), "C:\\Data\\");
  EXPECT_EQ(AddBackslash(""), "\\");
  EXPECT_EQ(AddBackslash("C:/Data/"), "C:/Data/\\");
}

TEST(OSNameFor, MapsEveryRowOfTheVersionTable) {
  struct Case { unsigned platform, major, minor; const char* name; };
  const Case cases[] = {
      {1, 4, 90, "Win98"}, {1, 4, 10, "Win98"}, {1, 5, 0, "Win98"}, {1, 4, 0, "Win95"},
      {1, 3, 95, "Win95"}, {2, 4, 0, "WinNT"},  {2, 3, 51, "WinNT"}, {2, 5, 0, "Win2000"},
      {2, 5, 1, "WinXP"},  {2, 5, 2, "WinXP"},  {2, 6, 0, "Vista"}, {2, 6, 1, "Win7"},
      {2, 6, 2, "Unknown"}, {2, 6, 3, "Unknown"}, {2, 10, 0, "Unknown"}, {0, 6, 1, "Win7"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OSNameFor(c.platform, c.major, c.minor), c.name)
        << c.platform << " " << c.major << "." << c.minor;
}

namespace {
ClockReading At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
  return {y, mo, d, h, mi, s, ms};
}
}  // namespace

TEST(TimeZoneText, SameDateWholeHours) {
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0), At(2026, 12, 6, 10, 0)), "GMT -0");
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0), At(2026, 12, 6, 12, 0)), "GMT +2");
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0), At(2026, 12, 6, 5, 0)), "GMT -5");
}

TEST(TimeZoneText, AroundMidnightTheDateCounts) {
  // 23:00 UTC is 01:00 the next day two hours east: +2, not -22.
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 23, 0), At(2026, 12, 7, 1, 0)), "GMT +2");
  // 01:00 UTC is 20:00 the day before five hours west: -5, not +19.
  EXPECT_EQ(TimeZoneText(At(2026, 12, 7, 1, 0), At(2026, 12, 6, 20, 0)), "GMT -5");
  // Across a month and a year end.
  EXPECT_EQ(TimeZoneText(At(2026, 12, 31, 22, 30), At(2027, 1, 1, 9, 30)), "GMT +11");
  EXPECT_EQ(TimeZoneText(At(2027, 3, 1, 2, 0), At(2027, 2, 28, 14, 0)), "GMT -12");
}

TEST(TimeZoneText, PartHoursKeepTheirWholeHours) {
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0), At(2026, 12, 6, 15, 30)), "GMT +5");
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 59), At(2026, 12, 6, 16, 44)), "GMT +5");   // +5:45
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0), At(2026, 12, 6, 6, 30)), "GMT -3");    // -3:30
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 1, 0), At(2026, 12, 6, 0, 30)), "GMT -0");     // -0:30
}

TEST(TimeZoneText, ClocksReadAMomentApartStillAgree) {
  // The local clock is read a few milliseconds after the UTC clock.
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 9, 59, 59, 998), At(2026, 12, 6, 11, 0, 0, 3)), "GMT +1");
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 13, 59, 59, 999), At(2026, 12, 6, 10, 0, 0, 1)), "GMT -4");
}

TEST(TimeZoneText, AHalfMinuteBetweenTheReadingsCountsOnce) {
  // The local clock read 2 ms later, just across a half minute: each reading
  // rounded on its own made the difference a minute high, and -4:59 gave -4.
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0, 29, 999), At(2026, 12, 6, 5, 0, 30, 1)), "GMT -5");
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0, 29, 999), At(2026, 12, 6, 12, 0, 30, 1)), "GMT +2");
  EXPECT_EQ(TimeZoneText(At(2026, 12, 6, 10, 0, 30, 1), At(2026, 12, 6, 12, 0, 29, 999)), "GMT +2");
}
