#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "StoreTestSupport.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABStorePerson.h"
#include "addressbook/store/ABUtf8.h"
#include "addressbook/store/ABVCardReader.h"
#include "addressbook/store/ABVCardWriter.h"

namespace {

using namespace abstore;
using storetest::Day;
using storetest::Texts;

std::string CardOf(const ABStorePerson& person, const std::vector<std::string>& categories = {},
                   std::int32_t gmtOffset = 0) {
  std::string card;
  ABVCardWriter(gmtOffset, "2024-01-02T03:04:05Z").Write(person, "uid-1", categories, card);
  return card;
}

// The card's lines without BEGIN, VERSION, PRODID, UID, N, FN, REV and END.
std::string BodyOf(const std::string& card) {
  std::string body;
  std::size_t start = 0;
  while (start < card.size()) {
    const std::size_t end = card.find("\r\n", start) + 2;
    const std::string_view line(card.data() + start, end - start);
    start = end;
    bool fixed = false;
    for (std::string_view prefix :
         {"BEGIN:", "VERSION:", "PRODID:", "UID:", "N:", "FN:", "REV:", "END:"}) {
      fixed = fixed || line.starts_with(prefix);
    }
    if (!fixed) {
      body += line;
    }
  }
  return body;
}

std::string LineStarting(const std::string& card, std::string_view prefix) {
  const std::size_t at = card.find("\r\n" + std::string(prefix));
  if (at == std::string::npos) {
    return "(none)";
  }
  return card.substr(at + 2, card.find("\r\n", at + 2) - at - 2);
}

TEST(ABVCardWriterTest, shouldFoldAt75OctetsWithoutSplittingCharacters) {
  struct Case {
    std::string Name;
    std::string Text;
  };
  std::vector<Case> cases;
  cases.push_back({"ascii", std::string(300, 'a')});
  std::string mixed;
  for (int i = 0; i < 40; ++i) {
    mixed += "x\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  }
  cases.push_back({"mixed widths", mixed});
  for (std::string_view character : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
    for (int shift = 0; shift < 4; ++shift) {
      std::string text(static_cast<std::size_t>(shift), '-');
      for (int i = 0; i < 60; ++i) {
        text += character;
      }
      cases.push_back(
          {std::to_string(character.size()) + " octets, shift " + std::to_string(shift), text});
    }
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string logical = "NOTE:" + c.Text;
    std::string folded;
    ABVCardWriter::AppendFolded(folded, logical);
    ASSERT_TRUE(folded.ends_with("\r\n"));
    std::string unfolded;
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < folded.size()) {
      const std::size_t end = folded.find("\r\n", start);
      std::string_view line(folded.data() + start, end - start);
      start = end + 2;
      EXPECT_LE(line.size(), 75u) << "line " << lineNumber;
      if (lineNumber++ > 0) {
        ASSERT_EQ(line.front(), ' ');
        line.remove_prefix(1);
      }
      EXPECT_TRUE(ABUtf8::IsValid(line)) << "line " << lineNumber << " splits a character";
      unfolded += line;
    }
    EXPECT_EQ(unfolded, logical);
    EXPECT_GT(lineNumber, 1);
  }
}

TEST(ABVCardWriterTest, shouldLeaveShortLinesWhole) {
  std::string folded;
  ABVCardWriter::AppendFolded(folded, std::string(75, 'b'));
  EXPECT_EQ(folded, std::string(75, 'b') + "\r\n");
  folded.clear();
  ABVCardWriter::AppendFolded(folded, std::string(76, 'b'));
  EXPECT_EQ(folded, std::string(75, 'b') + "\r\n b\r\n");
}

TEST(ABVCardWriterTest, shouldEscapeAndCleanValues) {
  struct Case {
    std::string Text;
    std::string Escaped;
  };
  const std::vector<Case> cases = {
      {"plain text", "plain text"},
      {"a,b;c\\d", "a\\,b\\;c\\\\d"},
      {"one\ntwo", "one\\ntwo"},
      {"one\r\ntwo", "one\\ntwo"},
      {"one\rtwo", "one\\ntwo"},
      {"one\n\ntwo", "one\\n\\ntwo"},
      {"tab\tkept: colon too", "tab\tkept: colon too"},
      {std::string("nul\0bell\x07"
                   "del\x7F",
                   13),
       "nulbelldel"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
      {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Text));
    std::string escaped;
    ABVCardWriter::AppendEscaped(escaped, c.Text);
    EXPECT_EQ(escaped, c.Escaped);
    EXPECT_EQ(ABVCardProperty::Unescape(escaped), ABVCardWriter::CleanText(c.Text));
  }
}

TEST(ABVCardWriterTest, shouldWriteTheCalendarDayAtTheGmtOffset) {
  struct Case {
    int Year;
    unsigned Month;
    unsigned Day;
  };
  const std::vector<Case> days = {{2001, 1, 1},  {2000, 12, 31}, {1970, 1, 1},  {1969, 12, 31},
                                  {1900, 2, 28}, {1600, 2, 29},  {1936, 5, 6},  {2038, 1, 19},
                                  {2040, 7, 15}, {1, 1, 1},      {9999, 12, 30}};
  for (int offset : {0, 3600, -18000, 50400, -43200, 19800}) {
    for (const Case& c : days) {
      char expected[16];
      std::snprintf(expected, sizeof expected, "%04d-%02u-%02u", c.Year, c.Month, c.Day);
      SCOPED_TRACE(std::string(expected) + " at offset " + std::to_string(offset));
      EXPECT_EQ(ABVCardWriter::FormatDay(Day(c.Year, c.Month, c.Day, offset), offset), expected);
    }
  }
}

TEST(ABVCardWriterTest, shouldRefuseDaysOutsideFourDigitYears) {
  for (double seconds :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1e300,
        1e300, Day(10000, 1, 1, 0).SecondsSinceReference,
        Day(0, 12, 31, 0).SecondsSinceReference}) {
    SCOPED_TRACE(seconds);
    EXPECT_EQ(ABVCardWriter::FormatDay(ABDate{seconds}, 0), std::nullopt);
  }
}

TEST(ABVCardWriterTest, shouldWriteRevisionsInUtc) {
  using std::chrono::seconds;
  using std::chrono::system_clock;
  const std::vector<std::pair<std::int64_t, std::string>> cases = {
      {0, "1970-01-01T00:00:00Z"},
      {951827696, "2000-02-29T12:34:56Z"},
      {-1, "1969-12-31T23:59:59Z"},
      {4102444800, "2100-01-01T00:00:00Z"},
  };
  for (const auto& [since, expected] : cases) {
    EXPECT_EQ(ABVCardWriter::FormatTimestamp(system_clock::time_point(seconds(since))), expected);
  }
}

TEST(ABVCardWriterTest, shouldTurnLabelsIntoTypesOrItemLabels) {
  struct Case {
    std::string_view Key;
    std::string Label;
    std::string Lines;
  };
  const std::vector<Case> cases = {
      {kPhoneProperty, std::string(kWorkLabel), "TEL;TYPE=WORK:1\r\n"},
      {kPhoneProperty, std::string(kHomeLabel), "TEL;TYPE=HOME:1\r\n"},
      {kPhoneProperty, std::string(kMobileLabel), "TEL;TYPE=CELL:1\r\n"},
      {kPhoneProperty, std::string(kMainLabel), "TEL;TYPE=MAIN:1\r\n"},
      {kPhoneProperty, std::string(kPagerLabel), "TEL;TYPE=PAGER:1\r\n"},
      {kPhoneProperty, std::string(kWorkFAXLabel), "TEL;TYPE=WORK,FAX:1\r\n"},
      {kPhoneProperty, std::string(kHomeFAXLabel), "TEL;TYPE=HOME,FAX:1\r\n"},
      {kPhoneProperty, std::string(kOtherLabel), "TEL;TYPE=OTHER:1\r\n"},
      {kPhoneProperty, "", "TEL:1\r\n"},
      {kPhoneProperty, "Summer house", "item1.TEL:1\r\nitem1.X-ABLabel:Summer house\r\n"},
      {kPhoneProperty, "a,b;c", "item1.TEL:1\r\nitem1.X-ABLabel:a\\,b\\;c\r\n"},
      {kPhoneProperty, std::string(kHomePageLabel),
       "item1.TEL:1\r\nitem1.X-ABLabel:_$!<HomePage>!$_\r\n"},
      {kEmailProperty, "", "EMAIL;TYPE=INTERNET:1\r\n"},
      {kEmailProperty, std::string(kWorkLabel), "EMAIL;TYPE=INTERNET,WORK:1\r\n"},
      {kEmailProperty, "Club", "item1.EMAIL;TYPE=INTERNET:1\r\nitem1.X-ABLabel:Club\r\n"},
      {kURLsProperty, std::string(kHomePageLabel), "URL;TYPE=HOME:1\r\n"},
      {kURLsProperty, std::string(kWorkLabel), "URL;TYPE=WORK:1\r\n"},
      {kABRelatedNamesProperty, "Father", "item1.X-ABRELATEDNAMES:1\r\nitem1.X-ABLabel:Father\r\n"},
      {kAIMInstantProperty, std::string(kHomeLabel), "X-AIM;TYPE=HOME:1\r\n"},
      {kICQInstantProperty, std::string(kWorkLabel), "X-ICQ;TYPE=WORK:1\r\n"},
      {kJabberInstantProperty, std::string(kOtherLabel), "X-JABBER;TYPE=OTHER:1\r\n"},
      {kMSNInstantProperty, "Old", "item1.X-MSN:1\r\nitem1.X-ABLabel:Old\r\n"},
      {kYahooInstantProperty, "", "X-YAHOO:1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Key) + " " + c.Label);
    ABStorePerson person;
    ASSERT_TRUE(person.SetValue(kFirstProperty, std::string("Ann")));
    ASSERT_TRUE(person.SetValue(c.Key, Texts({{"1", c.Label}})));
    EXPECT_EQ(BodyOf(CardOf(person)), c.Lines);
  }
}

TEST(ABVCardWriterTest, shouldNumberItemGroupsAcrossTheCard) {
  ABStorePerson person;
  ASSERT_TRUE(person.SetValue(
      kPhoneProperty, Texts({{"1", "Boat"}, {"2", std::string(kWorkLabel)}, {"3", "Car"}})));
  ABMultiValue dates;
  ASSERT_TRUE(dates.Add(Day(1999, 9, 9, 0), "Anniversary"));
  ASSERT_TRUE(person.SetValue(kABDateProperty, dates));
  ABMultiValue addresses;
  ASSERT_TRUE(addresses.Add(storetest::Address({{"City", "Gent"}}), "Cabin"));
  ASSERT_TRUE(person.SetValue(kAddressProperty, addresses));
  EXPECT_EQ(BodyOf(CardOf(person)),
            "item1.TEL:1\r\nitem1.X-ABLabel:Boat\r\n"
            "TEL;TYPE=WORK:2\r\n"
            "item2.TEL:3\r\nitem2.X-ABLabel:Car\r\n"
            "item3.X-ABDATE:1999-09-09\r\nitem3.X-ABLabel:Anniversary\r\n"
            "item4.ADR:;;;Gent;;;\r\nitem4.X-ABLabel:Cabin\r\n");
}

TEST(ABVCardWriterTest, shouldFillTheFormattedNameFromWhatIsThere) {
  struct Case {
    std::string Name;
    std::vector<std::pair<std::string_view, ABValue>> Values;
    std::string Expected;
  };
  const std::vector<Case> cases = {
      {"all name parts",
       {{kTitleProperty, "Dr."},
        {kFirstProperty, "Ann"},
        {kMiddleProperty, "B."},
        {kLastProperty, "Cole"},
        {kSuffixProperty, "Jr."},
        {kOrganizationProperty, "Acme"}},
       "FN:Dr. Ann B. Cole Jr."},
      {"gaps between parts", {{kFirstProperty, "Ann"}, {kSuffixProperty, "III"}}, "FN:Ann III"},
      {"organization",
       {{kOrganizationProperty, "Acme, Inc."}, {kNicknameProperty, "Ace"}},
       "FN:Acme\\, Inc."},
      {"nickname",
       {{kNicknameProperty, "Ace"}, {kEmailProperty, Texts({{"a@b.c", ""}})}},
       "FN:Ace"},
      {"e-mail before phone",
       {{kPhoneProperty, Texts({{"555", ""}})}, {kEmailProperty, Texts({{"a@b.c", ""}})}},
       "FN:a@b.c"},
      {"phone", {{kPhoneProperty, Texts({{"555", ""}})}}, "FN:555"},
      {"nothing", {{kNoteProperty, "just a note"}}, "FN:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ABStorePerson person;
    for (const auto& [key, value] : c.Values) {
      ASSERT_TRUE(person.SetValue(key, value));
    }
    EXPECT_EQ(LineStarting(CardOf(person), "FN:"), c.Expected);
  }
}

TEST(ABVCardWriterTest, shouldShowAsCompanyOnlyForTheCompanyBit) {
  const std::vector<std::pair<std::int32_t, bool>> cases = {{0, false}, {1, true},  {9, true},
                                                            {3, false}, {2, false}, {-1, false}};
  for (const auto& [flags, company] : cases) {
    SCOPED_TRACE(flags);
    ABStorePerson person;
    ASSERT_TRUE(person.SetValue(kOrganizationProperty, std::string("Acme")));
    ASSERT_TRUE(person.SetValue(kABPersonFlagsProperty, flags));
    EXPECT_EQ(CardOf(person).find("\r\nX-ABShowAs:COMPANY\r\n") != std::string::npos, company);
  }
}

TEST(ABVCardWriterTest, shouldWriteTheOrganizationWithItsDepartment) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"Acme", "", "ORG:Acme"},    {"Acme", "Sales", "ORG:Acme;Sales"},
      {"", "Sales", "ORG:;Sales"}, {"A;B", "C,D", "ORG:A\\;B;C\\,D"},
      {"", "", "(none)"},
  };
  for (const auto& [organization, department, expected] : cases) {
    SCOPED_TRACE(expected);
    ABStorePerson person;
    ASSERT_TRUE(person.SetValue(kOrganizationProperty, organization));
    ASSERT_TRUE(person.SetValue(kABDepartmentProperty, department));
    EXPECT_EQ(LineStarting(CardOf(person), "ORG:"), expected);
  }
}

TEST(ABVCardWriterTest, shouldWriteCategoriesEscapedAndSkipEmptyNames) {
  ABStorePerson person;
  ASSERT_TRUE(person.SetValue(kFirstProperty, std::string("Ann")));
  EXPECT_EQ(LineStarting(CardOf(person, {"Friends", "a,b", "", "c\\d"}), "CATEGORIES:"),
            "CATEGORIES:Friends,a\\,b,c\\\\d");
  EXPECT_EQ(LineStarting(CardOf(person, {""}), "CATEGORIES:"), "(none)");
  const std::optional<std::vector<std::string>> read =
      ABVCardReader::Categories(CardOf(person, {"Friends", "a,b", "", "c\\d"}));
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, (std::vector<std::string>{"Friends", "a,b", "c\\d"}));
}

TEST(ABVCardWriterTest, shouldSkipEmptyValuesAndAddressesButAlwaysWriteTheName) {
  ABStorePerson person;
  ASSERT_TRUE(person.SetValue(kNoteProperty, std::string("")));
  ASSERT_TRUE(person.SetValue(kPhoneProperty, Texts({{"", std::string(kWorkLabel)}})));
  ABMultiValue addresses;
  ASSERT_TRUE(addresses.Add(ABDictionary(), std::string(kHomeLabel)));
  ASSERT_TRUE(addresses.Add(storetest::Address({{"Street", ""}}), std::string(kHomeLabel)));
  ASSERT_TRUE(person.SetValue(kAddressProperty, addresses));
  const std::string card = CardOf(person);
  EXPECT_EQ(BodyOf(card), "");
  EXPECT_EQ(LineStarting(card, "N:"), "N:;;;;");
}

}  // namespace
