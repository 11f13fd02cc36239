#include <gtest/gtest.h>

#include "addressbook/store/ABVCardReader.h"

namespace {

using Names = std::vector<std::string>;

TEST(ABVCardReaderTest, shouldReadCategoriesOfUnderstoodCards) {
  struct Case {
    std::string Name;
    std::string Text;
    Names Expected;
  };
  const std::string begin = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\n";
  const std::string end = "END:VCARD\r\n";
  const std::vector<Case> cases = {
      {"one list", begin + "CATEGORIES:Friends,Work\r\n" + end, {"Friends", "Work"}},
      {"escaped separators",
       begin + "CATEGORIES:a\\,b,c\\;d,e\\\\f,g\\nh\r\n" + end,
       {"a,b", "c;d", "e\\f", "g\nh"}},
      {"folded", begin + "CATEGORIES:Fri\r\n ends,Wo\r\n\trk\r\n" + end, {"Friends", "Work"}},
      {"several lines, repeats once",
       begin + "CATEGORIES:A,B\r\ncategories:B,C\r\n" + end,
       {"A", "B", "C"}},
      {"grouped and with parameters", begin + "item1.CATEGORIES;CHARSET=UTF-8:X\r\n" + end, {"X"}},
      {"empty names dropped", begin + "CATEGORIES:,A,,\r\n" + end, {"A"}},
      {"line feeds only", "BEGIN:VCARD\nCATEGORIES:A\n B\nEND:VCARD\n", {"AB"}},
      {"byte order mark", "\xEF\xBB\xBF" + begin + "CATEGORIES:A\r\n" + end, {"A"}},
      {"no final line end", begin + "CATEGORIES:A\r\nEND:VCARD", {"A"}},
      {"blank lines", "\r\n" + begin + "\r\nCATEGORIES:A\r\n" + end + "\r\n\r\n", {"A"}},
      {"two cards",
       begin + "CATEGORIES:A\r\n" + end + begin + "CATEGORIES:B\r\n" + end,
       {"A", "B"}},
      {"no categories", begin + end, {}},
      {"value with colons and quotes",
       begin + "NOTE;X-P=\"a:b;c\":x:y\r\nCATEGORIES:\xC3\xA9t\xC3\xA9\r\n" + end,
       {"\xC3\xA9t\xC3\xA9"}},
      {"lower-case markers", "begin:vcard\r\nCATEGORIES:A\r\nend:vcard\r\n", {"A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::optional<Names> names = ABVCardReader::Categories(c.Text);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, c.Expected);
  }
}

TEST(ABVCardReaderTest, shouldRefuseWhatItDoesNotUnderstand) {
  const std::string begin = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  const std::string end = "END:VCARD\r\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"empty", ""},
      {"only blank lines", "\r\n\r\n"},
      {"plain text", "Dear Ann,\r\nhello.\r\n"},
      {"not closed", begin + "CATEGORIES:A\r\n"},
      {"card in a card", begin + begin + "CATEGORIES:A\r\n" + end + end},
      {"end without begin", "CATEGORIES:A\r\n" + end},
      {"content after the card", begin + end + "CATEGORIES:A\r\n"},
      {"line without colon", begin + "CATEGORIES A\r\n" + end},
      {"name with a space", begin + "CATE GORIES:A\r\n" + end},
      {"empty name", begin + ":A\r\n" + end},
      {"continuation first", " BEGIN:VCARD\r\n" + end},
      {"continuation after a blank line", begin + "\r\n CATEGORIES:A\r\n" + end},
      {"open quote", begin + "NOTE;X=\"abc:d\r\n" + end},
      {"quote in a plain parameter", begin + "NOTE;X=a\"b:c\r\n" + end},
      {"empty parameter name", begin + "NOTE;=a:c\r\n" + end},
      {"malformed UTF-8", begin + "CATEGORIES:\xC3(\r\n" + end},
      {"UTF-16", std::string("\xFF\xFE"
                             "B\0E\0G\0",
                             8)},
      {"vCalendar", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"},
      {"grouped marker", "x.BEGIN:VCARD\r\n" + end},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ABVCardReader::Categories(text), std::nullopt);
  }
}

TEST(ABVCardReaderTest, shouldSplitAContentLineIntoItsParts) {
  const std::optional<ABVCardProperty> property = ABVCardReader::ParseLine(
      "item2.TEL;TYPE=WORK,FAX;type=\"pref\";X-Q=\"a,b;c:d\":+1 (555) 2:3");
  ASSERT_TRUE(property);
  EXPECT_EQ(property->Group, "item2");
  EXPECT_EQ(property->Name, "TEL");
  EXPECT_TRUE(property->Is("tel"));
  ASSERT_EQ(property->Parameters.size(), 3u);
  EXPECT_EQ(property->Parameters[2].Name, "X-Q");
  EXPECT_EQ(property->Parameters[2].Values, Names{"a,b;c:d"});
  EXPECT_EQ(property->Types(), (Names{"WORK", "FAX", "pref"}));
  EXPECT_EQ(property->Value, "+1 (555) 2:3");

  const std::optional<ABVCardProperty> address =
      ABVCardReader::ParseLine("ADR:;;1 Main\\, Apt 2;Gent;;9000;BE\\;x\\");
  ASSERT_TRUE(address);
  EXPECT_EQ(address->Components(';'),
            (Names{"", "", "1 Main, Apt 2", "Gent", "", "9000", "BE;x\\"}));
  EXPECT_EQ(ABVCardProperty::Unescape("a\\tb\\Nc"), "a\\tb\nc");
}

}  // namespace
