#pragma once

#include <cstdint>

#include "addressbook/store/ABCivilDate.h"

// A moment on the local clock: a calendar date and time with a count of seconds on that clock
// (no time zone, no daylight saving), counted from 1 January 1904. Differences of two such
// moments are plain calendar differences.
class LocalDate final {
 public:
  LocalDate() = default;
  // Any field may lie outside its usual range (hour -1 is the day before at 23:00).
  LocalDate(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour = 0,
            std::int64_t minute = 0, std::int64_t second = 0);

  static LocalDate FromTotalSeconds(std::int64_t totalSeconds);

  std::int64_t TotalSeconds() const { return mTotalSeconds; }
  void TotalSeconds(std::int64_t seconds) { mTotalSeconds = seconds; }

  std::int64_t Year() const;
  int Month() const;
  int Day() const;
  int Hour() const;
  int Minute() const;
  int Second() const;

  // Days from 1 January 1970 of a proleptic Gregorian date; the month may lie outside 1 to 12.
  static std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);
  static bool IsLeapYear(std::int64_t year);
  static int DaysInMonth(std::int64_t year, int month);

 private:
  ABCivilDate CivilDate() const;

  std::int64_t mTotalSeconds = 0;
};
