#include <gtest/gtest.h>

#include <sstream>

#include "addressbook/ABAppleAddressBook.h"
#include "addressbook/store/ABStore.h"
#include "app/Subprocess.h"
#include "import/ABImportFile.h"
#include "mapping/ABMap.h"
#include "support/TestSupport.h"

namespace {

using testsupport::Fixture;
using testsupport::TempDir;

// What python3-vobject reads from the folder, one JSON object per card, sorted by name.
const char* const kExpectedCards[] = {
    R"({"adr": [["Grote Markt 1", "Brussel", "", "1000", "België", "HOME"]], "bday": "", )"
    R"("categories": ["Peers"], "email": [["info@example.be", "HOME"]], )"
    R"("fn": "Brasserie Müller & Zoë", "n": ["", ""], "note": "", )"
    R"("org": ["Brasserie Müller & Zoë"], "showas": "COMPANY", "tel": [["+32 2 555 01 03", "WORK"]]})",
    R"({"adr": [["Rue Mouffetard 5", "Paris", "", "75005", "France", "HOME"]], )"
    R"("bday": "1975-07-14", "categories": ["Peers"], "email": [["francois@example.fr", "HOME"]], )"
    R"("fn": "François Lefèvre", "n": ["Lefèvre", "François"], )"
    R"("note": "Croissants, baguettes; pain de campagne", "org": ["Boulangerie Lefèvre"], )"
    R"("showas": "", "tel": [["+33 1 55 55 01 02", "WORK"]]})",
    R"({"adr": [["Prinsengracht 263", "Amsterdam", "", "1016 GV", "Nederland", "HOME"], )"
    R"(["Rue de Rivoli 10", "Paris", "", "", "", "Holiday flat"]], "bday": "1980-05-01", )"
    R"("categories": ["Peers"], "email": [["frederique@example.nl", "HOME"]], )"
    R"("fn": "Frédérique van Dijk", "n": ["van Dijk", "Frédérique"], )"
    R"("note": "Likes tulips\nCall after six", "org": [], "showas": "", )"
    R"("tel": [["+31 20 555 0101", "WORK"], ["+31 6 5550 1234", "Summer house"]]})",
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

void ImportFixture(const char* file, TextEncoding encoding, const std::filesystem::path& store) {
  ABImportFile importFile(Fixture(file), encoding);
  ASSERT_TRUE(importFile.Load(nullptr));
  ABMap map(Fixture("addressbook/data/peers.map"));
  ASSERT_TRUE(map.Load()) << map.LastError();
  ABStore::SetSharedFolder(store);
  ASSERT_TRUE(map.AddressBook->Import(importFile.Records(), map, nullptr))
      << ABStore::Shared()->LastError();
}

std::string KhardConfig(const TempDir& dir, const std::filesystem::path& store) {
  return dir
      .Write("khard.conf", "[addressbooks]\n[[imported]]\npath = " + store.string() +
                               "\n[general]\ndebug = no\ndefault_action = list\n"
                               "editor = /bin/false\nmerge_editor = /bin/false\n"
                               "[contact table]\ndisplay = first_name\n"
                               "localize_dates = no\n[vcard]\nskip_unparsable = no\n")
      .string();
}

void ExpectContains(const std::string& text, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    EXPECT_NE(text.find(part), std::string::npos) << "missing «" << part << "» in\n" << text;
  }
}

struct PeerCase {
  const char* file;
  TextEncoding encoding;
};

void PrintTo(const PeerCase& c, std::ostream* out) {
  *out << c.file;
}

class PeerTest : public ::testing::TestWithParam<PeerCase> {};

TEST_P(PeerTest, realProgramsReadWhatWasImported) {
  TempDir dir;
  const std::filesystem::path store = dir.Path() / "contacts";
  ImportFixture(GetParam().file, GetParam().encoding, store);

  const std::optional<std::string> vobject = Subprocess::Capture(
      {"/usr/bin/python3", Fixture("addressbook/read_cards.py").string(), store.string()});
  ASSERT_TRUE(vobject.has_value()) << "python3-vobject could not read the folder";
  EXPECT_EQ(Lines(*vobject),
            std::vector<std::string>(std::begin(kExpectedCards), std::end(kExpectedCards)));

  const std::string config = KhardConfig(dir, store);
  const std::vector<std::pair<std::string, std::string>> home = {{"HOME", dir.Path().string()}};
  const std::optional<std::string> list =
      Subprocess::Capture({"khard", "-c", config, "list"}, home);
  ASSERT_TRUE(list.has_value()) << "khard could not list the folder";
  ExpectContains(*list, {"Brasserie Müller & Zoë", "François Lefèvre", "Frédérique van Dijk"});

  const std::optional<std::string> frederique =
      Subprocess::Capture({"khard", "-c", config, "show", "Frédérique"}, home);
  ASSERT_TRUE(frederique.has_value());
  ExpectContains(
      *frederique,
      {"Frédérique van Dijk", "WORK: +31 20 555 0101", "Summer house: +31 6 5550 1234",
       "HOME: frederique@example.nl", "Prinsengracht 263", "1016 GV Amsterdam", "Holiday flat",
       "Rue de Rivoli 10", "1980-05-01", "Likes tulips", "Call after six", "Categories: Peers"});
  const std::optional<std::string> francois =
      Subprocess::Capture({"khard", "-c", config, "show", "François"}, home);
  ASSERT_TRUE(francois.has_value());
  ExpectContains(*francois, {"Organisation: Boulangerie Lefèvre", "1975-07-14", "75005 Paris",
                             "Croissants, baguettes; pain de campagne"});
  const std::optional<std::string> company =
      Subprocess::Capture({"khard", "-c", config, "show", "Brasserie"}, home);
  ASSERT_TRUE(company.has_value());
  ExpectContains(*company, {"Organisation: Brasserie Müller & Zoë", "1000 Brussel", "België"});
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PeerTest,
    ::testing::Values(PeerCase{"addressbook/data/peers-macroman.csv", TextEncoding::MacRoman},
                      PeerCase{"addressbook/data/peers-cp1252.txt", TextEncoding::WindowsLatin1}));

}  // namespace
