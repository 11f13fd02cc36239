#include "addressbook/DateParser.h"

#include <array>
#include <string>
#include <vector>

#include "app/CaseInsensitive.h"

namespace {

struct MonthName {
  std::string_view name;
  int month;
};

// Full names and the usual abbreviations, lower case, in English, Dutch and French.
constexpr std::array kMonthNames = {
    MonthName{"january", 1},   MonthName{"januari", 1},   MonthName{"janvier", 1},
    MonthName{"jan", 1},       MonthName{"janv", 1},      MonthName{"february", 2},
    MonthName{"februari", 2},  MonthName{"février", 2},   MonthName{"fevrier", 2},
    MonthName{"feb", 2},       MonthName{"févr", 2},      MonthName{"fevr", 2},
    MonthName{"fév", 2},       MonthName{"fev", 2},       MonthName{"march", 3},
    MonthName{"maart", 3},     MonthName{"mars", 3},      MonthName{"mar", 3},
    MonthName{"mrt", 3},       MonthName{"april", 4},     MonthName{"avril", 4},
    MonthName{"apr", 4},       MonthName{"avr", 4},       MonthName{"may", 5},
    MonthName{"mei", 5},       MonthName{"mai", 5},       MonthName{"june", 6},
    MonthName{"juni", 6},      MonthName{"juin", 6},      MonthName{"jun", 6},
    MonthName{"july", 7},      MonthName{"juli", 7},      MonthName{"juillet", 7},
    MonthName{"jul", 7},       MonthName{"juil", 7},      MonthName{"august", 8},
    MonthName{"augustus", 8},  MonthName{"août", 8},      MonthName{"aout", 8},
    MonthName{"aug", 8},       MonthName{"september", 9}, MonthName{"septembre", 9},
    MonthName{"sep", 9},       MonthName{"sept", 9},      MonthName{"october", 10},
    MonthName{"oktober", 10},  MonthName{"octobre", 10},  MonthName{"oct", 10},
    MonthName{"okt", 10},      MonthName{"november", 11}, MonthName{"novembre", 11},
    MonthName{"nov", 11},      MonthName{"december", 12}, MonthName{"décembre", 12},
    MonthName{"decembre", 12}, MonthName{"dec", 12},      MonthName{"déc", 12},
};

// Ordinal endings written straight after a day number: 1st, 2nd, 3rd, 4th, 1er.
constexpr std::array<std::string_view, 5> kOrdinalEndings = {"st", "nd", "rd", "th", "er"};

struct Token {
  bool number;
  std::string text;
};

// Lower case for ASCII and for the accented capitals of Latin-1 (É → é).
std::string Lower(std::string_view word) {
  std::string lower = caseinsensitive::Lower(word);
  for (std::size_t i = 0; i + 1 < lower.size(); ++i) {
    const auto lead = static_cast<unsigned char>(lower[i]);
    const auto next = static_cast<unsigned char>(lower[i + 1]);
    if (lead == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
      lower[i + 1] = static_cast<char>(next + 0x20);
    }
  }
  return lower;
}

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '/' || c == '-' || c == '.' || c == ',';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}

std::optional<std::vector<Token>> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (IsSeparator(c)) {
      ++i;
    } else if (IsDigit(c)) {
      std::size_t end = i;
      while (end < text.size() && IsDigit(text[end])) {
        ++end;
      }
      tokens.push_back({true, std::string(text.substr(i, end - i))});
      i = end;
    } else if (IsLetter(c)) {
      std::size_t end = i;
      while (end < text.size() && IsLetter(text[end])) {
        ++end;
      }
      const std::string word = Lower(text.substr(i, end - i));
      const bool afterNumber =
          !tokens.empty() && tokens.back().number && i > 0 && IsDigit(text[i - 1]);
      bool ordinal = false;
      for (std::string_view ending : kOrdinalEndings) {
        ordinal = ordinal || (afterNumber && word == ending);
      }
      if (!ordinal) {
        tokens.push_back({false, word});
      }
      i = end;
    } else {
      return std::nullopt;
    }
  }
  if (tokens.size() > 3) {
    return std::nullopt;
  }
  return tokens;
}

std::optional<int> MonthFromName(const std::string& word) {
  for (const MonthName& entry : kMonthNames) {
    if (entry.name == word) {
      return entry.month;
    }
  }
  return std::nullopt;
}

std::optional<int> SmallNumber(const Token& token) {
  if (!token.number || token.text.size() > 2) {
    return std::nullopt;
  }
  return std::stoi(token.text);
}

// A four-digit year as written, or a two-digit one in the 2000s.
std::optional<int> Year(const Token& token) {
  if (!token.number) {
    return std::nullopt;
  }
  if (token.text.size() == 4) {
    const int year = std::stoi(token.text);
    return year == 0 ? std::nullopt : std::optional<int>(year);
  }
  if (token.text.size() == 2) {
    return 2000 + std::stoi(token.text);
  }
  return std::nullopt;
}

std::optional<LocalDate> Make(std::optional<int> year, std::optional<int> month,
                              std::optional<int> day) {
  if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 ||
      *day > LocalDate::DaysInMonth(*year, *month)) {
    return std::nullopt;
  }
  return LocalDate(*year, *month, *day);
}

}  // namespace

DateParser::Order DateParser::OrderForLanguage(std::string_view identifier) {
  return caseinsensitive::Equal(identifier, "en") ? Order::MonthFirst : Order::DayFirst;
}

std::optional<LocalDate> DateParser::Parse(std::string_view text, Order order) {
  const std::optional<std::vector<Token>> parsed = Tokenize(text);
  if (!parsed || parsed->size() != 3) {
    return std::nullopt;
  }
  const std::vector<Token>& t = *parsed;
  if (t[0].number && t[1].number && t[2].number) {
    if (t[0].text.size() == 4) {
      return Make(Year(t[0]), SmallNumber(t[1]), SmallNumber(t[2]));
    }
    if (order == Order::MonthFirst) {
      return Make(Year(t[2]), SmallNumber(t[0]), SmallNumber(t[1]));
    }
    return Make(Year(t[2]), SmallNumber(t[1]), SmallNumber(t[0]));
  }
  if (t[0].number && !t[1].number && t[2].number) {
    return Make(Year(t[2]), MonthFromName(t[1].text), SmallNumber(t[0]));
  }
  if (!t[0].number && t[1].number && t[2].number) {
    return Make(Year(t[2]), MonthFromName(t[0].text), SmallNumber(t[1]));
  }
  return std::nullopt;
}
