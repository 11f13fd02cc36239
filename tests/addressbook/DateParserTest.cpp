#include <gtest/gtest.h>

#include "addressbook/DateParser.h"

namespace {

struct DateCase {
  const char* text;
  DateParser::Order order;
  int year;  // 0: not a date
  int month;
  int day;
};

constexpr DateParser::Order kEn = DateParser::Order::MonthFirst;
constexpr DateParser::Order kEu = DateParser::Order::DayFirst;

TEST(DateParserTest, readsTheFormsPeopleWrite) {
  const DateCase cases[] = {
      {"1980-05-01", kEn, 1980, 5, 1},
      {"1980-05-01", kEu, 1980, 5, 1},
      {"5/1/1980", kEn, 1980, 5, 1},
      {"1-5-1980", kEu, 1980, 5, 1},
      {"01/05/1980", kEu, 1980, 5, 1},
      {"01.05.1980", kEu, 1980, 5, 1},
      {"5/1/80", kEn, 2080, 5, 1},
      {"1-5-05", kEu, 2005, 5, 1},
      {"1 May 1980", kEn, 1980, 5, 1},
      {"May 1, 1980", kEn, 1980, 5, 1},
      {"1 mei 1980", kEu, 1980, 5, 1},
      {"1 mai 1980", kEu, 1980, 5, 1},
      {"1er mai 1980", kEu, 1980, 5, 1},
      {"3rd March 1975", kEn, 1975, 3, 3},
      {"14 février 1990", kEu, 1990, 2, 14},
      {"14 FÉVRIER 1990", kEu, 1990, 2, 14},
      {"15 août 2001", kEu, 2001, 8, 15},
      {"12 okt. 1968", kEu, 1968, 10, 12},
      {"7 mrt 1959", kEu, 1959, 3, 7},
      {"Dec 25 1970", kEn, 1970, 12, 25},
      {"29/2/2000", kEu, 2000, 2, 29},
      {"  1980-05-01  ", kEn, 1980, 5, 1},
      {"29/2/1900", kEu, 0, 0, 0},
      {"31/4/1980", kEu, 0, 0, 0},
      {"13/13/1980", kEu, 0, 0, 0},
      {"5/1/1980", kEu, 1980, 1, 5},
      {"1980-13-01", kEn, 0, 0, 0},
      {"", kEn, 0, 0, 0},
      {"tomorrow", kEn, 0, 0, 0},
      {"1 Smarch 1980", kEn, 0, 0, 0},
      {"1980", kEn, 0, 0, 0},
      {"5/1", kEn, 0, 0, 0},
      {"5/1/1980 10:00", kEn, 0, 0, 0},
      {"5/1/198", kEn, 0, 0, 0},
      {"0000-01-01", kEn, 0, 0, 0},
      {"1/2/3/4", kEn, 0, 0, 0},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<LocalDate> date = DateParser::Parse(c.text, c.order);
    if (c.year == 0) {
      EXPECT_FALSE(date.has_value());
      continue;
    }
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->Year(), c.year);
    EXPECT_EQ(date->Month(), c.month);
    EXPECT_EQ(date->Day(), c.day);
    EXPECT_EQ(date->Hour(), 0);
  }
}

TEST(DateParserTest, languageDecidesTheOrder) {
  EXPECT_EQ(DateParser::OrderForLanguage("en"), kEn);
  EXPECT_EQ(DateParser::OrderForLanguage("nl"), kEu);
  EXPECT_EQ(DateParser::OrderForLanguage("FR"), kEu);
}

TEST(LocalDateTest, outOfRangeFieldsCarry) {
  const LocalDate date(2001, 1, 1, -1, 0, 0);
  EXPECT_EQ(date.Year(), 2000);
  EXPECT_EQ(date.Month(), 12);
  EXPECT_EQ(date.Day(), 31);
  EXPECT_EQ(date.Hour(), 23);
  EXPECT_EQ(LocalDate(1904, 1, 1).TotalSeconds(), 0);
  EXPECT_EQ(LocalDate(1903, 12, 31, 23, 59, 59).Second(), 59);
  const LocalDate old(1850, 3, 15);
  EXPECT_EQ(LocalDate::FromTotalSeconds(old.TotalSeconds()).Day(), 15);
  EXPECT_EQ(LocalDate(2400, 2, 29).Month(), 2);
}

}  // namespace
