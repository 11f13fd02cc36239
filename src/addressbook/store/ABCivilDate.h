#pragma once

#include <cstdint>

// A day of the proleptic Gregorian calendar, converted to and from a day count with integer
// arithmetic only, so any year works (no time_t limits).
struct ABCivilDate {
  std::int64_t Year = 1970;
  unsigned Month = 1;
  unsigned Day = 1;

  // Days after 1970-01-01 (negative before).
  static constexpr std::int64_t DaysSinceEpoch(std::int64_t year, unsigned month, unsigned day) {
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
  }

  static constexpr ABCivilDate FromDaysSinceEpoch(std::int64_t days) {
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<unsigned>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return ABCivilDate{year, month, day};
  }

  friend constexpr bool operator==(const ABCivilDate&, const ABCivilDate&) = default;
};

// The store's reference moment, 2001-01-01 00:00:00 GMT, as days after 1970-01-01.
inline constexpr std::int64_t kABReferenceDaysSinceEpoch = ABCivilDate::DaysSinceEpoch(2001, 1, 1);

static_assert(kABReferenceDaysSinceEpoch == 11323);
static_assert(ABCivilDate::FromDaysSinceEpoch(-1) == ABCivilDate{1969, 12, 31});
static_assert(ABCivilDate::FromDaysSinceEpoch(ABCivilDate::DaysSinceEpoch(1600, 2, 29)) ==
              ABCivilDate{1600, 2, 29});
