#include <gtest/gtest.h>

#include <map>
#include <set>

#include "SamplePeople.h"
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using storetest::RunProcess;

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kKhard = "/usr/bin/khard";

// Every sample person saved into one folder; the UID of each by sample name.
class PeerReadTest : public testing::Test {
 protected:
  void SetUp() override {
    ABStore store(mTemp.Path() / "contacts");
    std::vector<std::pair<std::string, std::shared_ptr<ABStorePerson>>> people;
    for (const storetest::SamplePerson& sample : storetest::SamplePeople()) {
      auto person = store.CreatePerson();
      ASSERT_TRUE(store.AddRecord(person));
      sample.Build(store, person);
      people.emplace_back(sample.Name, person);
    }
    ASSERT_TRUE(store.Save()) << store.LastError();
    for (const auto& [name, person] : people) {
      mUids[name] = person->UniqueId();
    }
  }

  fs::path Folder() const { return mTemp.Path() / "contacts"; }

  storetest::GmtOffsetOverride mOffset{storetest::kSampleGmtOffset};
  testsupport::TempDir mTemp;
  std::map<std::string, std::string> mUids;
};

// The output lines of a program run, one set per card where the output names the cards.
std::set<std::string> LinesOf(const std::string& text) {
  std::set<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end;
    lines.insert(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void ExpectLines(const std::set<std::string>& lines, const std::vector<std::string>& expected,
                 const std::string& output) {
  for (const std::string& line : expected) {
    EXPECT_TRUE(lines.count(line) == 1)
        << "missing line " << testing::PrintToString(line) << " in\n"
        << output;
  }
}

void ExpectInstalled(const char* program) {
  ASSERT_TRUE(fs::exists(program)) << program << " is missing; ./test installs it";
}

TEST_F(PeerReadTest, shouldBeReadByVobject) {
  ExpectInstalled(kPython);
  const storetest::ProcessResult result = RunProcess(
      {kPython, testsupport::Fixture("store/read_cards.py").string(), Folder().string()});
  ASSERT_EQ(result.ExitCode, 0) << result.Errors;

  // Split the output at each card's first line, CARD and the file name.
  std::map<std::string, std::string> cards;
  std::string current;
  std::size_t start = 0;
  while (start < result.Output.size()) {
    const std::size_t end = result.Output.find('\n', start);
    const std::string line = result.Output.substr(start, end - start);
    start = end == std::string::npos ? result.Output.size() : end + 1;
    if (line.starts_with("CARD\t\"") && line.ends_with("\"")) {
      current = line.substr(6, line.size() - 7);
    }
    cards[current] += line + "\n";
  }
  ASSERT_EQ(cards.size(), mUids.size()) << result.Output;

  const std::map<std::string, std::vector<std::string>> expected = {
      {"everything",
       {"N\t\t\t[\"Cole\", \"Ann\", \"Beth\", \"Dr.\", \"PhD\"]",
        "FN\t\t\t\"Dr. Ann Beth Cole PhD\"",
        "X-PHONETIC-FIRST-NAME\t\t\t\"an\"",
        "X-PHONETIC-MIDDLE-NAME\t\t\t\"beth\"",
        "X-PHONETIC-LAST-NAME\t\t\t\"kohl\"",
        "NICKNAME\t\t\t\"Annie\"",
        "X-MAIDENNAME\t\t\t\"Dale\"",
        "ORG\t\t\t[\"Acme; Ltd\", \"R&D\"]",
        "TITLE\t\t\t\"Chief, Research\"",
        "TEL\tWORK\t\t\"+1 555 0100\"",
        "TEL\tCELL\t\t\"+1 555 0101\"",
        "TEL\tWORK,FAX\t\t\"+1 555 0102\"",
        "TEL\t\tSummer house\t\"+1 555 0103\"",
        "EMAIL\tINTERNET,WORK\t\t\"ann@acme.example\"",
        "EMAIL\tINTERNET\t\t\"ann@home.example\"",
        "URL\t\t\t\"http://ann.example/\"",
        "URL\tHOME\t\t\"http://acme.example/ann\"",
        "BDAY\t\t\t\"1936-02-29\"",
        "X-ABDATE\t\tAnniversary\t\"1960-06-01\"",
        "X-ABDATE\t\t\t\"2040-12-31\"",
        "X-ABRELATEDNAMES\t\tFather\t\"Carl Cole\"",
        "X-AIM\tHOME\t\t\"annaim\"",
        "X-ICQ\tWORK\t\t\"12345\"",
        "X-JABBER\tOTHER\t\t\"ann@jabber.example\"",
        "X-MSN\t\tOld\t\"ann@msn.example\"",
        "X-YAHOO\t\t\t\"annyahoo\"",
        "ADR\tWORK\t\t[\"\", \"\", \"1 Main St, Suite 2\", \"Springfield\", \"IL\", \"62701\", "
        "\"USA\"]",
        "ADR\t\tCabin\t[\"\", \"\", \"\", \"Gent\", \"\", \"\", \"Belgium\"]",
        R"(NOTE			"First line\nsecond, with \\ and ;")",
        "CATEGORIES\t\t\t[\"Friends\", \"Chess, Go\"]",
        "UID\t\t\t\"" + mUids.at("everything") + "\""}},
      {"company",
       {"N\t\t\t[\"\", \"\", \"\", \"\", \"\"]", "FN\t\t\t\"Acme; Ltd\"",
        "ORG\t\t\t[\"Acme; Ltd\", \"Sales\"]", "X-ABSHOWAS\t\t\t\"COMPANY\"",
        "TEL\tMAIN\t\t\"+1 555 0199\"", "CATEGORIES\t\t\t[\"Suppliers\"]"}},
      {"only-email",
       {"FN\t\t\t\"who@example.org\"", "EMAIL\tINTERNET,HOME\t\t\"who@example.org\"",
        "NOTE\t\t\t\"met at the fair\""}},
      {"long-unicode",
       {"N\t\t\t[\"\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x82\xBF\xE3\x83\xAF\xE3\x83\xBC\xE5\xB1\xB1\xE7"
        "\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E\", \"Zo\xC3\xAB\", \"\", \"\", \"\"]",
        "ADR\tHOME\t\t[\"\", \"\", \"Stra\xC3\x9F"
        "e 1\", \"M\xC3\xBCnchen\", \"\", \"\", \"\"]",
        "NOTE\t\t\t\"caf\xC3\xA9 \xE2\x82\xAC"
        "0 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "1 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "2 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82"
        "\xAC"
        "3 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "4 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 "
        "\xE2\x82\xAC"
        "5 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "6 \xF0\x9F\x98\x80\\ncaf"
        "\xC3\xA9 \xE2\x82\xAC"
        "7 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "8 \xF0\x9F\x98"
        "\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "9 \xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "10 "
        "\xF0\x9F\x98\x80\\ncaf\xC3\xA9 \xE2\x82\xAC"
        "11 \xF0\x9F\x98\x80\\n\""}},
      {"nothing", {"N\t\t\t[\"\", \"\", \"\", \"\", \"\"]", "FN\t\t\t\"\""}},
  };
  for (const auto& [name, lines] : expected) {
    SCOPED_TRACE(name);
    const std::string& card = cards[mUids.at(name) + ".vcf"];
    ExpectLines(LinesOf(card), lines, card);
  }
}

TEST_F(PeerReadTest, shouldBeReadByKhard) {
  ExpectInstalled(kKhard);
  const fs::path config =
      mTemp.Write("khard.conf", "[addressbooks]\n[[test]]\npath = " + Folder().string() +
                                    "\n[general]\n[contact table]\n"
                                    "localize_dates = no\n");
  const storetest::ProcessResult list =
      RunProcess({kKhard, "-c", config.string(), "list", "--parsable"});
  ASSERT_EQ(list.ExitCode, 0) << list.Errors;
  // A card with nothing to name it by is still listed.
  ExpectLines(
      LinesOf(list.Output),
      {mUids.at("everything") + "\tAnn Beth Cole\ttest", mUids.at("company") + "\tAcme; Ltd\ttest",
       mUids.at("only-email") + "\twho@example.org\ttest",
       mUids.at("long-unicode") + "\tZo\xC3\xAB \xE6\x9D\xB1\xE4\xBA\xAC\xE3\x82\xBF\xE3"
                                  "\x83\xAF\xE3\x83\xBC\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4"
                                  "\xAA\xE9\x83\x8E\ttest",
       mUids.at("nothing") + "\t\ttest"},
      list.Output);

  const std::map<std::string, std::vector<std::string>> expected = {
      {"everything",
       {"Formatted name: Dr. Ann Beth Cole PhD",
        "Prefix: Dr.",
        "First name: Ann",
        "Additional: Beth",
        "Last name: Cole",
        "Suffix: PhD",
        "Nickname: Annie",
        "Birthday: '1936-02-29'",
        "  -   - Acme; Ltd",
        "      - R&D",
        "Title: Chief, Research",
        "    WORK: +1 555 0100",
        "    CELL: +1 555 0101",
        "    WORK, FAX: +1 555 0102",
        "    Summer house: +1 555 0103",
        "    INTERNET, WORK: ann@acme.example",
        "    INTERNET: ann@home.example",
        "    WORK:",
        "        Street: 1 Main St, Suite 2",
        "        Code: '62701'",
        "        City: Springfield",
        "        Region: IL",
        "        Country: USA",
        "    Cabin:",
        "        City: Gent",
        "        Country: Belgium",
        "  - Friends",
        "  - Chess, Go",
        "  - http://acme.example/ann",
        R"(Note: "First line\nsecond, with \\ and ;")"}},
      {"company",
       {"Formatted name: Acme; Ltd", "      - Sales", "    MAIN: +1 555 0199",
        "Categories: Suppliers"}},
      {"only-email", {"    INTERNET, HOME: who@example.org", "Note: met at the fair"}},
      {"long-unicode", {"First name: Zo\xC3\xAB", "        City: M\xC3\xBCnchen"}},
  };
  for (const auto& [name, lines] : expected) {
    SCOPED_TRACE(name);
    const storetest::ProcessResult show = RunProcess(
        {kKhard, "-c", config.string(), "show", "--format", "yaml", "uid:" + mUids.at(name)});
    ASSERT_EQ(show.ExitCode, 0) << show.Errors;
    ExpectLines(LinesOf(show.Output), lines, show.Output);
  }
}

}  // namespace
