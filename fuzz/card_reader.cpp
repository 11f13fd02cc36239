// Feeds bytes to the reader of cards found in the store's folder, and writes a card whose values
// are parts of the bytes, reads it back and checks that writer and reader agree.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "addressbook/store/ABCivilDate.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABStorePerson.h"
#include "addressbook/store/ABUtf8.h"
#include "addressbook/store/ABVCardReader.h"
#include "addressbook/store/ABVCardWriter.h"

namespace {

using namespace abstore;

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void ReadForeignCard(std::string_view text) {
  const std::optional<std::vector<std::string>> names = ABVCardReader::Categories(text);
  if (!names) {
    return;
  }
  std::unordered_set<std::string> seen;
  for (const std::string& name : *names) {
    Check(!name.empty());
    Check(seen.insert(name).second);
  }
}

std::vector<std::string> Parts(std::string_view text, std::size_t count) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (parts.size() + 1 < count && start <= text.size()) {
    const std::size_t end = text.find('\0', start);
    if (end == std::string_view::npos) {
      break;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  parts.emplace_back(start <= text.size() ? text.substr(start) : std::string_view());
  parts.resize(count);
  return parts;
}

bool IsKnownLabel(std::string_view label) {
  for (std::string_view known : {kWorkLabel, kHomeLabel, kOtherLabel, kMainLabel, kMobileLabel,
                                 kPagerLabel, kWorkFAXLabel, kHomeFAXLabel}) {
    if (label == known) {
      return true;
    }
  }
  return false;
}

std::vector<const ABVCardProperty*> Named(const ABVCardReader::Card& card, std::string_view name) {
  std::vector<const ABVCardProperty*> found;
  for (const ABVCardProperty& property : card) {
    if (property.Is(name)) {
      found.push_back(&property);
    }
  }
  return found;
}

void CheckText(const ABVCardReader::Card& card, std::string_view name, const std::string& value) {
  const std::string expected = ABVCardWriter::CleanText(value);
  const std::vector<const ABVCardProperty*> found = Named(card, name);
  if (expected.empty()) {
    Check(found.empty());
    return;
  }
  Check(found.size() == 1);
  Check(found[0]->Text() == expected);
}

void CheckDay(double seconds, std::int32_t offset) {
  const std::optional<std::string> day = ABVCardWriter::FormatDay(ABDate{seconds}, offset);
  if (!day) {
    return;
  }
  Check(day->size() == 10 && (*day)[4] == '-' && (*day)[7] == '-');
  const int year = std::atoi(day->substr(0, 4).c_str());
  const unsigned month = static_cast<unsigned>(std::atoi(day->substr(5, 2).c_str()));
  const unsigned dayOfMonth = static_cast<unsigned>(std::atoi(day->substr(8, 2).c_str()));
  const ABCivilDate date =
      ABCivilDate::FromDaysSinceEpoch(ABCivilDate::DaysSinceEpoch(year, month, dayOfMonth));
  Check(date == (ABCivilDate{year, month, dayOfMonth}));
  const double days = static_cast<double>(ABCivilDate::DaysSinceEpoch(year, month, dayOfMonth) -
                                          kABReferenceDaysSinceEpoch);
  Check(days * 86400 <= seconds + offset && seconds + offset < (days + 1) * 86400);
}

void RoundTrip(std::string_view text) {
  const std::vector<std::string> parts = Parts(text, 10);
  const std::string& first = parts[0];
  const std::string& last = parts[1];
  const std::string& note = parts[2];
  const std::string& phone = parts[3];
  const std::string& label = parts[4];
  const std::string& street = parts[7];
  const std::string& city = parts[8];

  ABStorePerson person;
  Check(person.SetValue(kFirstProperty, first));
  Check(person.SetValue(kLastProperty, last));
  Check(person.SetValue(kNoteProperty, note));
  ABMultiValue phones;
  Check(phones.Add(phone, label));
  Check(person.SetValue(kPhoneProperty, phones));
  ABDictionary address;
  Check(address.Add(std::string(kStreetKey), street));
  Check(address.Add(std::string(kCityKey), city));
  ABMultiValue addresses;
  Check(addresses.Add(address, parts[9]));
  Check(person.SetValue(kAddressProperty, addresses));

  std::string card;
  ABVCardWriter(0, "2024-01-01T00:00:00Z").Write(person, "uid", {parts[5], parts[6]}, card);

  // Physical lines: CRLF, at most 75 octets, never a split character.
  std::size_t start = 0;
  while (start < card.size()) {
    const std::size_t end = card.find("\r\n", start);
    Check(end != std::string::npos);
    std::string_view line(card.data() + start, end - start);
    Check(line.size() <= 75);
    if (!line.empty() && line.front() == ' ') {
      line.remove_prefix(1);
    }
    Check(ABUtf8::IsValid(line));
    Check(line.find_first_of("\r\n") == std::string_view::npos);
    start = end + 2;
  }

  const std::optional<std::vector<ABVCardReader::Card>> cards = ABVCardReader::Cards(card);
  Check(cards && cards->size() == 1);
  const ABVCardReader::Card& read = cards->front();

  const std::vector<const ABVCardProperty*> names = Named(read, "N");
  Check(names.size() == 1);
  const std::vector<std::string> components = names[0]->Components(';');
  Check(components.size() == 5);
  Check(components[0] == ABVCardWriter::CleanText(last));
  Check(components[1] == ABVCardWriter::CleanText(first));
  CheckText(read, "NOTE", note);

  const std::vector<const ABVCardProperty*> tels = Named(read, "TEL");
  if (ABVCardWriter::CleanText(phone).empty()) {
    Check(tels.empty());
  } else {
    Check(tels.size() == 1);
    Check(tels[0]->Text() == ABVCardWriter::CleanText(phone));
    if (label.empty()) {
      Check(tels[0]->Group.empty() && tels[0]->Types().empty());
    } else if (IsKnownLabel(label)) {
      Check(tels[0]->Group.empty() && !tels[0]->Types().empty());
    } else {
      Check(!tels[0]->Group.empty());
      bool labelled = false;
      for (const ABVCardProperty* ablabel : Named(read, "X-ABLabel")) {
        labelled = labelled || (ablabel->Group == tels[0]->Group &&
                                ablabel->Text() == ABVCardWriter::CleanText(label));
      }
      Check(labelled);
    }
  }

  const std::vector<const ABVCardProperty*> adrs = Named(read, "ADR");
  if (ABVCardWriter::CleanText(street).empty() && ABVCardWriter::CleanText(city).empty()) {
    Check(adrs.empty());
  } else {
    Check(adrs.size() == 1);
    const std::vector<std::string> adr = adrs[0]->Components(';');
    Check(adr.size() == 7);
    Check(adr[2] == ABVCardWriter::CleanText(street));
    Check(adr[3] == ABVCardWriter::CleanText(city));
  }

  std::vector<std::string> expected;
  for (const std::string& category : {parts[5], parts[6]}) {
    std::string clean = ABVCardWriter::CleanText(category);
    if (!clean.empty() && (expected.empty() || expected.front() != clean)) {
      expected.push_back(std::move(clean));
    }
  }
  const std::optional<std::vector<std::string>> categories = ABVCardReader::Categories(card);
  Check(categories && *categories == expected);

  if (text.size() >= 12) {
    double seconds;
    std::int32_t offset;
    std::memcpy(&seconds, text.data(), sizeof seconds);
    std::memcpy(&offset, text.data() + 8, sizeof offset);
    CheckDay(seconds, offset % 100000);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadForeignCard(text);
  RoundTrip(text);
  return 0;
}
