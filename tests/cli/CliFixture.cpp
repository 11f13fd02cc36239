#include "CliFixture.h"

namespace clitest {

int CliTest::CountFiles(const std::filesystem::path& folder, std::string_view suffix) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().filename().string().ends_with(suffix)) {
      ++count;
    }
  }
  return count;
}

std::string CliTest::AllCards(const std::filesystem::path& folder) {
  std::string cards;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".vcf") {
      cards += testsupport::ReadFile(entry.path());
    }
  }
  return cards;
}

std::string CliTest::WriteMap(std::string_view group, int rangeStart, int rangeEnd) const {
  const std::string text =
      "<?xml version=\"1.0\"?>\n"
      "<Map Version=\"2.0\" AddressBook=\"Apple Address Book\" Group=\"" +
      std::string(group) + "\" RangeStart=\"" + std::to_string(rangeStart) + "\" RangeEnd=\"" +
      std::to_string(rangeEnd) +
      "\">\n"
      "  <Link><AddressBookField ID=\"FirstName\"/><ImportField Index=\"0\"/></Link>\n"
      "  <Link><AddressBookField ID=\"LastName\"/><ImportField Index=\"1\"/></Link>\n"
      "  <Link><AddressBookField ID=\"Phone\" Label=\"LabelWork\"/><ImportField Index=\"2\"/>"
      "</Link>\n"
      "</Map>\n";
  return Write("people.map", text).string();
}

}  // namespace clitest
