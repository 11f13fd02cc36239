#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "import/ABImportFile.h"
#include "import/CSVParser.h"
#include "support/TestSupport.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::vector<std::string>>;

Lines Parse(const std::string& text) {
  Lines lines;
  for (CSVParser parser(text); !parser.Eof(); parser.MoveNext()) {
    std::vector<std::string> values;
    for (std::size_t i = 1; i <= parser.FieldCount(); ++i) {
      values.push_back(parser.IdxField(i).Value());
    }
    lines.push_back(values);
  }
  return lines;
}

Lines Records(const ABImportFile& file) {
  Lines lines;
  for (const ABRecord& record : file.Records()) {
    lines.push_back(record.Fields());
  }
  return lines;
}

struct Case {
  const char* name;
  std::string text;
  Lines lines;
};

const std::vector<Case> kCases = {
    {"CR LF breaks", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
    {"LF breaks", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}},
    {"CR breaks", "a,b\rc,d\r", {{"a", "b"}, {"c", "d"}}},
    {"empty CR LF line", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
    {"empty CR line", "a\r\rb\r", {{"a"}, {""}, {"b"}}},
    {"LF LF is one break", "a\n\nb\n", {{"a"}, {"b"}}},
    {"LF LF LF leaves one empty line", "a\n\n\nb\n", {{"a"}, {""}, {"b"}}},
    {"LF CR is two breaks", "a\n\rb\n", {{"a"}, {""}, {"b"}}},
    {"leading line break", "\na\n", {{""}, {"a"}}},
    {"closing quote then LF LF", "\"q\"\n\nb\n", {{"q"}, {""}, {"b"}}},
    {"closing quote then CR LF CR LF", "\"q\"\r\n\r\nb", {{"q"}, {""}, {"b"}}},
    {"quoted comma", "\"a,b\",c\n", {{"a,b", "c"}}},
    {"quoted CR LF", "\"x\r\ny\",z\r\n", {{"x\r\ny", "z"}}},
    {"doubled quote", "\"a\"\"b\"\n", {{"a\"b"}}},
    {"three quotes round q", "\"\"\"q\"\"\"\n", {{"\"q\""}}},
    {"blanks before and after", "  a  ,  b\n", {{"a  ", "b"}}},
    {"blanks after opening quote", "\"  a  \",  b\n", {{"a  ", "b"}}},
    {"tabs before fields", "\ta,\t\"b\"\n", {{"a", "b"}}},
    {"quoted space", "\" \"\n", {{""}}},
    {"unquoted doubled quote", "ab\"\",c\n", {{"ab\"", "c"}}},
    {"unquoted quote before comma", "ab\",c\n", {{"ab", "c"}}},
    {"empty middle field", "a,,b\n", {{"a", "", "b"}}},
    {"trailing comma before CR LF", "a,\r\nb\r\n", {{"a", ""}, {"b"}}},
    {"trailing comma before LF", "a,\nb\n", {{"a", ""}, {"b"}}},
    {"empty text", "", {}},
    {"ends with an empty CR LF line", "a\r\n\r\n", {{"a"}, {""}}},
    {"records of 1, 4 and 2 fields",
     "a\nb,c,d,e\nf,g\n",
     {{"a"}, {"b", "c", "d", "e"}, {"f", "g"}}},
    // The last character of the text is always read.
    {"no final break", "a,b", {{"a", "b"}}},
    {"last field of one character", "a,b\nc", {{"a", "b"}, {"c"}}},
    {"last line ends in comma and LF", "a,\n", {{"a", ""}}},
    {"last line ends in comma and CR", "a,\r", {{"a", ""}}},
    {"last line ends in comma and CR LF", "a,\r\n", {{"a", ""}}},
    {"text ends in a comma", "a,", {{"a", ""}}},
    {"text ends in a closing quote", "\"x\"", {{"x"}}},
    {"text ends in a lone LF", "\n", {{""}}},
    {"text ends in a lone CR", "a\r", {{"a"}}},
    // A quote before any other character is kept, and nothing after it is skipped.
    {"inch mark", "12\" screen,x\n", {{"12\" screen", "x"}}},
    {"closing quote then space", "\"abc\" ,d\n", {{"abc\" ", "d"}}},
    {"inner quotes of a quoted field", "\"The \"Best\" Co\",x\n", {{"The \"Best\" Co", "x"}}},
    {"stray quote keeps the next line apart", "\"a\" b,c\nd,e\n", {{"a\" b", "c"}, {"d", "e"}}},
    {"unterminated quote takes the rest", "\"open,\nrest\n", {{"open,\nrest\n"}}},
    {"NUL kept", "a\0b,c"s, {{"a\0b"s, "c"}}},
    {"UTF-8 values", "Zoë,\"Müller, Çedille\"\n", {{"Zoë", "Müller, Çedille"}}},
};

TEST(CSVParserTest, parsesEveryEdgeCase) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse(c.text), c.lines);
  }
}

TEST(CSVParserTest, loadsEveryEdgeCaseIntoRecords) {
  testsupport::TempDir folder;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ABImportFile file(folder.Write("case.csv", c.text), TextEncoding::Utf8);
    ASSERT_TRUE(file.Load(nullptr));
    EXPECT_EQ(Records(file), c.lines);
    std::size_t widest = 0;
    for (const auto& line : c.lines) {
      widest = std::max(widest, line.size());
    }
    EXPECT_EQ(file.FieldCount(), widest);
  }
}

TEST(CSVParserTest, namesFieldsAndFindsThemWithoutRegardToCase) {
  CSVParser parser("a,b\nc\n");
  ASSERT_EQ(parser.FieldCount(), 2u);
  const CSVField first = parser.IdxField(1);
  EXPECT_EQ(first.Name(), "field1");
  EXPECT_EQ(first.Value(), "a");
  ASSERT_TRUE(parser.Field("FIELD2").has_value());
  EXPECT_EQ(parser.Field("FIELD2")->Value(), "b");
  EXPECT_FALSE(parser.Field("field3").has_value());
  EXPECT_THROW(parser.IdxField(0), std::out_of_range);
  EXPECT_THROW(parser.IdxField(3), std::out_of_range);
  parser.MoveNext();
  EXPECT_EQ(first.Value(), "a");
  EXPECT_EQ(parser.FieldCount(), 1u);
  EXPECT_EQ(parser.IdxField(1).Value(), "c");
  parser.MoveNext();
  EXPECT_TRUE(parser.Eof());
  EXPECT_EQ(parser.IdxField(1).Value(), "c");
}

TEST(CSVParserTest, headerModeNamesTheColumnsFromTheFirstLine) {
  CSVParser parser("First,\"Last\"\r\nZoë,Müller,extra\r\nFrédérique\r\n", true);
  EXPECT_EQ(parser.FieldNames(), (std::vector<std::string>{"First", "Last"}));
  ASSERT_EQ(parser.FieldCount(), 3u);
  EXPECT_EQ(parser.Field("last")->Value(), "Müller");
  EXPECT_EQ(parser.IdxField(1).Name(), "First");
  EXPECT_EQ(parser.IdxField(3).Name(), "field3");
  parser.MoveNext();
  EXPECT_EQ(parser.Field("FIRST")->Value(), "Frédérique");
  parser.MoveNext();
  EXPECT_TRUE(parser.Eof());

  CSVParser headerOnly("a,b\n", true);
  EXPECT_TRUE(headerOnly.Eof());
  EXPECT_EQ(headerOnly.FieldCount(), 0u);
}

TEST(CSVParserTest, midCountsCharactersNotBytes) {
  const CSVMid mid("Zoë Ĳ");
  EXPECT_EQ(mid.Substring(3, 1), "ë");
  EXPECT_EQ(mid.Substring(3, 3), "ë Ĳ");
  EXPECT_EQ(mid.Substring(5, 10), "Ĳ");
  EXPECT_EQ(mid.Substring(6, 1), "");
  EXPECT_EQ(mid.Substring(0, 1), "");
  EXPECT_EQ(mid.At(0), 'Z');
}

TEST(CSVParserTest, byteOrderMarkIsNotPartOfTheFirstField) {
  testsupport::TempDir folder;
  const std::vector<std::pair<TextEncoding, std::string>> files = {
      {TextEncoding::Utf8, "\xEF\xBB\xBFname,x\n"},
      {TextEncoding::Utf16, "\xFF\xFEn\0a\0m\0e\0,\0x\0\n\0"s},
      {TextEncoding::Utf16, "\xFE\xFF\0n\0a\0m\0e\0,\0x\0\n"s},
  };
  for (const auto& [encoding, bytes] : files) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    ABImportFile file(folder.Write("bom.csv", bytes), encoding);
    ASSERT_TRUE(file.Load(nullptr));
    EXPECT_EQ(Records(file), (Lines{{"name", "x"}}));
  }
}

}  // namespace
