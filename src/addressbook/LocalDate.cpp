#include "addressbook/LocalDate.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to 1904-01-01, the clock's origin.
const std::int64_t kEpochDays = LocalDate::DaysFromCivil(1904, 1, 1);

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) {
    --q;
  }
  return q;
}

}  // namespace

std::int64_t LocalDate::DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  // Bring the month into 1..12 first, carrying whole years.
  const std::int64_t monthIndex = month - 1;
  year += FloorDiv(monthIndex, 12);
  const std::int64_t m = monthIndex - FloorDiv(monthIndex, 12) * 12 + 1;
  // Howard Hinnant's days_from_civil.
  year -= m <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

LocalDate::LocalDate(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                     std::int64_t minute, std::int64_t second)
    : mTotalSeconds((DaysFromCivil(year, month, 1) + (day - 1) - kEpochDays) * kSecondsPerDay +
                    hour * 3600 + minute * 60 + second) {}

LocalDate LocalDate::FromTotalSeconds(std::int64_t totalSeconds) {
  LocalDate date;
  date.mTotalSeconds = totalSeconds;
  return date;
}

LocalDate::Civil LocalDate::CivilDate() const {
  // Howard Hinnant's civil_from_days.
  std::int64_t z = FloorDiv(mTotalSeconds, kSecondsPerDay) + kEpochDays + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::int64_t LocalDate::Year() const {
  return CivilDate().year;
}

int LocalDate::Month() const {
  return CivilDate().month;
}

int LocalDate::Day() const {
  return CivilDate().day;
}

int LocalDate::Hour() const {
  return static_cast<int>(FloorDiv(mTotalSeconds, 3600) -
                          FloorDiv(mTotalSeconds, kSecondsPerDay) * 24);
}

int LocalDate::Minute() const {
  return static_cast<int>(FloorDiv(mTotalSeconds, 60) - FloorDiv(mTotalSeconds, 3600) * 60);
}

int LocalDate::Second() const {
  return static_cast<int>(mTotalSeconds - FloorDiv(mTotalSeconds, 60) * 60);
}

bool LocalDate::IsLeapYear(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int LocalDate::DaysInMonth(std::int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) {
    return 0;
  }
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}
