#pragma once

#include <optional>
#include <string_view>

#include "addressbook/LocalDate.h"

// Reads a date as people write it in import files: ISO 8601 (1980-05-01), the short numeric
// form of the user's language (en 5/1/1980, nl 1-5-1980, fr 01/05/1980), two-digit years, and
// month names in English, Dutch and French (1 May 1980, May 1, 1980, 1 mei 1980, 1er mai 1980).
// Anything else is not a date.
class DateParser final {
 public:
  enum class Order { MonthFirst, DayFirst };

  DateParser() = delete;

  // The numeric order of a language: English writes the month first, Dutch and French the day.
  static Order OrderForLanguage(std::string_view identifier);
  // Local midnight of the date, or none. A two-digit year yy is 20yy.
  static std::optional<LocalDate> Parse(std::string_view text, Order order);
};
