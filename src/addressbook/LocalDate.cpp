#include "addressbook/LocalDate.h"

#include "addressbook/store/ABCivilDate.h"

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
  const std::int64_t years = FloorDiv(monthIndex, 12);
  const auto m = static_cast<unsigned>(monthIndex - years * 12 + 1);
  return ABCivilDate::DaysSinceEpoch(year + years, m, 1) + (day - 1);
}

LocalDate::LocalDate(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                     std::int64_t minute, std::int64_t second)
    : mTotalSeconds((DaysFromCivil(year, month, day) - kEpochDays) * kSecondsPerDay + hour * 3600 +
                    minute * 60 + second) {}

LocalDate LocalDate::FromTotalSeconds(std::int64_t totalSeconds) {
  LocalDate date;
  date.mTotalSeconds = totalSeconds;
  return date;
}

ABCivilDate LocalDate::CivilDate() const {
  return ABCivilDate::FromDaysSinceEpoch(FloorDiv(mTotalSeconds, kSecondsPerDay) + kEpochDays);
}

std::int64_t LocalDate::Year() const {
  return CivilDate().Year;
}

int LocalDate::Month() const {
  return static_cast<int>(CivilDate().Month);
}

int LocalDate::Day() const {
  return static_cast<int>(CivilDate().Day);
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
