#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliFixture.h"

namespace clitest {
namespace {

class RecordsTest : public CliTest {};

// UTF-16 little-endian bytes with a byte-order mark, for text of the Basic Multilingual Plane.
std::string Utf16LittleEndian(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST_F(RecordsTest, shouldPrintEachRecordAsOneJsonArray) {
  using namespace std::string_literals;
  struct Case {
    std::string Name;
    std::string Bytes;
    std::string Encoding;
    std::string Expected;
  };
  const std::vector<Case> cases = {
      {"utf8.csv",
       "Name,Note\n\"Jo\xC3\xABlle \"\"Jo\"\"\",\"two\nlines, one comma\"\nback\\slash,tab\there\n",
       "utf-8",
       "[\"Name\",\"Note\"]\n"
       "[\"Jo\xC3\xABlle \\\"Jo\\\"\",\"two\\nlines, one comma\"]\n"
       "[\"back\\\\slash\",\"tab\\there\"]\n"},
      {"controls.csv", "a\x01z,\"\r\x08\x0C\x1F\"\nnul\0here,\x7F\n"s, "utf-8",
       "[\"a\\u0001z\",\"\\r\\b\\f\\u001f\"]\n[\"nul\\u0000here\",\"\x7F\"]\n"},
      {"system.csv", "Fran\xC3\xA7ois,Dubois\n", "system", "[\"Fran\xC3\xA7ois\",\"Dubois\"]\n"},
      {"macroman.txt", "Jo\x91lle\tLef\x8Fvre\t\t\"quoted\"\n  \t \nFran\x8Dois\n", "mac-roman",
       "[\"Jo\xC3\xABlle\",\"Lef\xC3\xA8vre\",\"\",\"\\\"quoted\\\"\"]\n"
       "[\"Fran\xC3\xA7ois\"]\n"},
      {"cp1252.csv",
       "\x93"
       "Caf\xE9\x94,\x80 5\n",
       "windows-1252",
       "[\"\xE2\x80\x9C"
       "Caf\xC3\xA9\xE2\x80\x9D\",\"\xE2\x82\xAC 5\"]\n"},
      {"latin1.tab", "Ren\xE9\tNo\xEBl\n", "ISO-8859-1", "[\"Ren\xC3\xA9\",\"No\xC3\xABl\"]\n"},
      {"utf16.txt", Utf16LittleEndian(u"H\u00E9l\u00E8ne\tGarnier\n\u20AC\tNantes\n"), "UTF-16",
       "[\"H\xC3\xA9l\xC3\xA8ne\",\"Garnier\"]\n[\"\xE2\x82\xAC\",\"Nantes\"]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string file = Write(c.Name, c.Bytes).string();
    const CliResult result = mCli.Run({"--records", "--encoding", c.Encoding, file});
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Out, c.Expected);
    EXPECT_EQ(result.Err, "");
  }
}

TEST_F(RecordsTest, shouldReportFilesThatCannotBeLoadedOrHaveNoRecords) {
  Write("empty.csv", "");
  Write("blank.txt", "  \n\t\n\n");
  const std::string map = WriteMap();
  struct Case {
    std::string Name;
    std::string Message;
  };
  const std::vector<Case> cases = {
      {"missing.csv", "The import file \"missing.csv\" could not be loaded.\n"},
      {"empty.csv", "The import file \"empty.csv\" doesn't have any records.\n"},
      {"blank.txt", "The import file \"blank.txt\" doesn't have any records.\n"},
  };
  for (const Case& c : cases) {
    for (const bool records : {true, false}) {
      SCOPED_TRACE(c.Name + (records ? " --records" : " import"));
      const std::vector<std::string> arguments =
          records ? std::vector<std::string>{"--records", PathOf(c.Name)}
                  : std::vector<std::string>{"--map", map, PathOf(c.Name)};
      const CliResult result = mCli.Run(arguments);
      EXPECT_EQ(result.ExitCode, 2);
      EXPECT_EQ(result.Err, c.Message);
      EXPECT_EQ(result.Out, "");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(mCli.DataFolder() / "quillbrook"));
}

}  // namespace
}  // namespace clitest
