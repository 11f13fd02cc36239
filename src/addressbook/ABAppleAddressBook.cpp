#include "addressbook/ABAppleAddressBook.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>

#include "addressbook/DateParser.h"
#include "addressbook/SystemInfo.h"
#include "addressbook/store/ABStore.h"
#include "addressbook/store/ABStoreKeys.h"
#include "app/ABApp.h"
#include "app/CaseInsensitive.h"
#include "app/Resources.h"
#include "app/Subprocess.h"
#include "import/ABProgressObserver.h"
#include "import/ABRecord.h"
#include "mapping/ABMap.h"

namespace {

struct CatalogueEntry {
  std::string_view id;
  int minVersion;
  int maxVersion;
  bool multiple;
  std::vector<std::string_view> labels;
  std::string_view customLabel;
  std::string_view nameKey;
};

const std::vector<std::string_view> kWorkHomeOther = {"LabelWork", "LabelHome", "LabelOther"};

// The catalogue in display order; entries exist at the levels minVersion to
// maxVersion.
const std::vector<CatalogueEntry>& Catalogue() {
  static const std::vector<CatalogueEntry> entries = {
      {"PhoneticFirstName", 1, 3, false, {}, "", "FieldPhoneticFirstname"},
      {"PhoneticMiddleName", 1, 3, false, {}, "", "FieldPhoneticMiddlename"},
      {"PhoneticLastName", 1, 3, false, {}, "", "FieldPhoneticLastname"},
      {"Prefix", 1, 3, false, {}, "", "FieldPrefix"},
      {"FirstName", 1, 3, false, {}, "", "FieldFirstName"},
      {"MiddleName", 1, 3, false, {}, "", "FieldMiddleName"},
      {"LastName", 1, 3, false, {}, "", "FieldLastName"},
      {"Suffix", 1, 3, false, {}, "", "FieldSuffix"},
      {"Nickname", 1, 3, false, {}, "", "FieldNickname"},
      {"JobTitle", 1, 3, false, {}, "", "FieldJobTitle"},
      {"Department", 2, 3, false, {}, "", "FieldDepartment"},
      {"Company", 1, 3, false, {}, "", "FieldCompany"},
      {"MaidenName", 1, 3, false, {"LabelMaidenName"}, "", "FieldMaidenName"},
      {"Phone",
       1,
       3,
       true,
       {"LabelWork", "LabelHome", "LabelMobile", "LabelMain", "LabelHomeFax", "LabelWorkFax",
        "LabelPager", "LabelOther"},
       "LabelCustom",
       "FieldPhone"},
      {"Email", 1, 3, true, kWorkHomeOther, "LabelCustom", "FieldEmail"},
      {"URL",
       3,
       3,
       true,
       {"LabelHomepage", "LabelHome", "LabelWork", "LabelOther"},
       "LabelCustom",
       "FieldURL"},
      {"URL", 1, 2, false, {"LabelHomepage"}, "", "FieldURL"},
      {"Birthday", 1, 3, false, {"LabelBirthday"}, "", "FieldBirthday"},
      {"OtherDate", 2, 3, true, {"LabelAniversary"}, "LabelCustom", "FieldOtherDate"},
      {"RelatedName",
       2,
       3,
       true,
       {"LabelFather", "LabelMother", "LabelParent", "LabelBrother", "LabelSister", "LabelChild",
        "LabelFriend", "LabelSpouse", "LabelPartner", "LabelAssistant", "LabelManager",
        "LabelOther"},
       "LabelCustom",
       "FieldRelatedName"},
      {"AIM", 1, 3, true, kWorkHomeOther, "LabelCustom", "FieldAIM"},
      {"ICQ", 1, 3, true, kWorkHomeOther, "LabelCustom", "FieldICQ"},
      {"Jabber", 1, 3, true, kWorkHomeOther, "LabelCustom", "FieldJabber"},
      {"MSN", 1, 3, true, kWorkHomeOther, "LabelCustom", "FieldMSN"},
      {"Yahoo", 1, 3, true, kWorkHomeOther, "LabelCustom", "FieldYahoo"},
      {"Address", 1, 3, true, kWorkHomeOther, "LabelCustom", ""},
      {"Note", 1, 3, false, {}, "", "FieldNote"},
  };
  return entries;
}

struct AddressPart {
  std::string_view id;
  std::string_view key;
  std::string_view nameKey;
};

constexpr std::array kAddressParts = {
    AddressPart{"Street", abstore::kStreetKey, "FieldStreet"},
    AddressPart{"City", abstore::kCityKey, "FieldCity"},
    AddressPart{"State", abstore::kStateKey, "FieldState"},
    AddressPart{"PostalCode", abstore::kZIPKey, "FieldPostalCode"},
    AddressPart{"Country", abstore::kCountryKey, "FieldCountry"},
};

struct KnownLabel {
  std::string_view key;
  std::string_view storeLabel;
};

constexpr std::array kKnownLabels = {
    KnownLabel{"LabelWork", abstore::kWorkLabel},
    KnownLabel{"LabelHome", abstore::kHomeLabel},
    KnownLabel{"LabelOther", abstore::kOtherLabel},
    KnownLabel{"LabelMain", abstore::kMainLabel},
    KnownLabel{"LabelMobile", abstore::kMobileLabel},
    KnownLabel{"LabelPager", abstore::kPagerLabel},
    KnownLabel{"LabelWorkFax", abstore::kWorkFAXLabel},
    KnownLabel{"LabelHomeFax", abstore::kHomeFAXLabel},
    KnownLabel{"LabelHomepage", abstore::kHomePageLabel},
};

// Import files write line breaks inside a value as backslash-n; the store gets
// real ones.
std::string WithLineBreaks(std::string_view value) {
  std::string result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && (value[i + 1] == 'n' || value[i + 1] == 'N')) {
      result.push_back('\n');
      ++i;
    } else {
      result.push_back(value[i]);
    }
  }
  return result;
}

std::string CurrentText(const std::string& key) {
  return App().Language()->Text(key);
}

}  // namespace

ABAppleAddressBook::ABAppleAddressBook() {
  Name("Apple Address Book");
  const std::uint32_t code = SystemInfo::SystemVersionCode();
  if (code < 0x1020) {
    throw std::runtime_error("Unsupported OS version: Address Book doesn't exist");
  }
  mVersion = code < 0x1030 ? 1 : (code < 0x1040 ? 2 : 3);
  mGmtOffset = GmtOffsetFromLocationWord(
      static_cast<std::uint32_t>(SystemInfo::GmtOffsetSeconds()) & 0xFFFFFFu);
  mReferenceDate = LocalDate(2001, 1, 1, -1, 0, 0);
  mReferenceDate.TotalSeconds(mReferenceDate.TotalSeconds() + mGmtOffset);

  for (const CatalogueEntry& entry : Catalogue()) {
    if (mVersion < entry.minVersion || mVersion > entry.maxVersion) {
      continue;
    }
    std::vector<ABAddressBookField::Pointer> subFields;
    if (entry.id == "Address") {
      for (const AddressPart& part : kAddressParts) {
        subFields.push_back(ABAddressBookField::Create(std::string(part.id)));
      }
    }
    ABAddressBookField::Pointer field =
        ABAddressBookField::Create(std::string(entry.id), std::move(subFields));
    field->Multiple(entry.multiple);
    for (std::string_view label : entry.labels) {
      field->AppendLabel(std::string(label));
    }
    field->CustomLabel(std::string(entry.customLabel));
    AppendField(std::move(field));
  }
}

std::int32_t ABAppleAddressBook::GmtOffsetFromLocationWord(std::uint32_t word) {
  std::int32_t delta = static_cast<std::int32_t>(word & 0xFFFFFFu);
  if (delta > 0x800000) {
    delta -= 0x1000000;
  }
  return delta;
}

std::string ABAppleAddressBook::LocalizedFieldName(const ABAddressBookField& field) const {
  for (const CatalogueEntry& entry : Catalogue()) {
    if (!entry.nameKey.empty() && caseinsensitive::Equal(entry.id, field.ID())) {
      return CurrentText(std::string(entry.nameKey));
    }
  }
  for (const AddressPart& part : kAddressParts) {
    if (caseinsensitive::Equal(part.id, field.ID())) {
      return CurrentText(std::string(part.nameKey));
    }
  }
  return ABAddressBook::LocalizedFieldName(field);
}

std::string ABAppleAddressBook::LocalizedLabelText(const std::string& label) const {
  return CurrentText(label);
}

std::string ABAppleAddressBook::ReplaceKnownLabel(std::string_view label) const {
  for (const KnownLabel& known : kKnownLabels) {
    if (caseinsensitive::Equal(known.key, label)) {
      return std::string(known.storeLabel);
    }
  }
  std::string text = LocalizedLabelText(std::string(label));
  return text.empty() ? std::string(label) : text;
}

bool ABAppleAddressBook::Import(const std::vector<ABRecord>& records, const ABMap& map,
                                ABProgressObserver* observer) {
  if (observer != nullptr) {
    observer->ProgressStarted();
  }
  GroupReference group;
  if (!map.Group.empty()) {
    group = CreateGroup(map.Group);
    if (!group) {
      return false;
    }
  }
  const std::int64_t count = static_cast<std::int64_t>(records.size());
  const std::int64_t first = std::max(map.RangeStart, 0);
  const std::int64_t last =
      (map.RangeEnd == -1 || map.RangeEnd > count - 1) ? count - 1 : map.RangeEnd;
  if (last < first) {
    ReleaseGroup(group);
    return true;
  }
  if (observer != nullptr) {
    observer->ProgressLength(last - first + 1);
  }
  bool succeeded = true;
  for (std::int64_t index = first; index <= last; ++index) {
    const ABRecord& record = records[static_cast<std::size_t>(index)];
    if (!ImportRecord(record, map, group)) {
      succeeded = false;
      break;
    }
    if (observer != nullptr && observer->ProgressStep(record)) {
      ReleaseGroup(group);
      // The user cancelled: the people made so far must not reach the disk with
      // a later save.
      ABStore::Shared()->DiscardUnsavedChanges();
      return true;
    }
  }
  ReleaseGroup(group);
  if (observer != nullptr) {
    observer->ProgressEnded();
  }
  const bool saved = Save();
  return succeeded && saved;
}

bool ABAppleAddressBook::ImportRecord(const ABRecord& record, const ABMap& map,
                                      const GroupReference& group) {
  const std::shared_ptr<ABStore> store = ABStore::Shared();
  std::shared_ptr<ABStorePerson> person = store->CreatePerson();
  if (!person) {
    return false;
  }
  struct Single {
    std::string_view id;
    std::string_view key;
    int minVersion;
  };
  static constexpr std::array kNames = {
      Single{"PhoneticFirstName", abstore::kFirstPhoneticProperty, 1},
      Single{"PhoneticMiddleName", abstore::kMiddlePhoneticProperty, 1},
      Single{"PhoneticLastName", abstore::kLastPhoneticProperty, 1},
      Single{"Prefix", abstore::kTitleProperty, 1},
      Single{"FirstName", abstore::kFirstProperty, 1},
      Single{"MiddleName", abstore::kMiddleProperty, 1},
      Single{"LastName", abstore::kLastProperty, 1},
      Single{"Suffix", abstore::kSuffixProperty, 1},
      Single{"Nickname", abstore::kNicknameProperty, 1},
      Single{"JobTitle", abstore::kJobTitleProperty, 1},
      Single{"Department", abstore::kABDepartmentProperty, 2},
      Single{"Company", abstore::kOrganizationProperty, 1},
      Single{"MaidenName", abstore::kMaidenNameProperty, 1},
  };
  static constexpr std::array kInstantMessaging = {
      Single{"AIM", abstore::kAIMInstantProperty, 1},
      Single{"ICQ", abstore::kICQInstantProperty, 1},
      Single{"Jabber", abstore::kJabberInstantProperty, 1},
      Single{"MSN", abstore::kMSNInstantProperty, 1},
      Single{"Yahoo", abstore::kYahooInstantProperty, 1},
  };

  auto writeOne = [&](const Single& entry) {
    if (mVersion < entry.minVersion) {
      return true;
    }
    const ABMapLink::Pointer link = map.Link(entry.id);
    return !link || SetStringProperty(*person, entry.key, *link, record);
  };
  auto writeList = [&](std::string_view id, std::string_view key) {
    const std::vector<ABMapLink::Pointer> links = map.Links(id);
    return links.empty() || SetStringArrayProperty(*person, key, links, record);
  };

  for (const Single& entry : kNames) {
    if (!writeOne(entry)) {
      return false;
    }
  }
  if (!writeList("Phone", abstore::kPhoneProperty) ||
      !writeList("Email", abstore::kEmailProperty)) {
    return false;
  }
  if (mVersion >= 3) {
    if (!writeList("URL", abstore::kURLsProperty)) {
      return false;
    }
  } else if (!writeOne({"URL", abstore::kHomePageProperty, 1})) {
    return false;
  }
  if (const ABMapLink::Pointer birthday = map.Link("Birthday");
      birthday && !SetDateProperty(*person, abstore::kBirthdayProperty, *birthday, record)) {
    return false;
  }
  if (mVersion >= 2) {
    const std::vector<ABMapLink::Pointer> dates = map.Links("OtherDate");
    if (!dates.empty() && !SetDateArrayProperty(*person, abstore::kABDateProperty, dates, record)) {
      return false;
    }
    if (!writeList("RelatedName", abstore::kABRelatedNamesProperty)) {
      return false;
    }
  }
  for (const Single& entry : kInstantMessaging) {
    if (!writeList(entry.id, entry.key)) {
      return false;
    }
  }
  if (const std::vector<ABMapLink::Pointer> addresses = map.Links("Address");
      !addresses.empty() &&
      !SetAddressArrayProperty(*person, abstore::kAddressProperty, addresses, record)) {
    return false;
  }
  if (!writeOne({"Note", abstore::kNoteProperty, 1})) {
    return false;
  }

  if (mVersion >= 2) {
    auto value = [&](std::string_view id) {
      const ABMapLink::Pointer link = map.Link(id);
      return link ? link->Value(record) : std::string_view();
    };
    if (value("FirstName").empty() && value("MiddleName").empty() && value("LastName").empty() &&
        !value("Company").empty()) {
      person->SetValue(abstore::kABPersonFlagsProperty, std::int32_t{abstore::kShowAsCompany});
    }
  }

  if (!store->AddRecord(person)) {
    return false;
  }
  return !group || store->AddMember(group, person);
}

bool ABAppleAddressBook::SetStringProperty(ABStorePerson& person, std::string_view key,
                                           const ABMapLink& link, const ABRecord& record) {
  std::string value = WithLineBreaks(link.Value(record));
  if (value.empty()) {
    return true;
  }
  return person.SetValue(key, std::move(value));
}

std::optional<double> ABAppleAddressBook::StoreSeconds(std::string_view text) const {
  if (text.empty()) {
    return std::nullopt;
  }
  const std::optional<LocalDate> parsed =
      DateParser::Parse(text, DateParser::OrderForLanguage(App().Language()->Identifier()));
  if (!parsed) {
    return std::nullopt;
  }
  LocalDate date = *parsed;
  if (date.Year() > 2035) {
    date = LocalDate(date.Year() - 100, date.Month(), date.Day());
  }
  return static_cast<double>(date.TotalSeconds() - mReferenceDate.TotalSeconds());
}

bool ABAppleAddressBook::SetDateProperty(ABStorePerson& person, std::string_view key,
                                         const ABMapLink& link, const ABRecord& record) {
  const std::optional<double> seconds = StoreSeconds(link.Value(record));
  if (!seconds) {
    return true;
  }
  return person.SetValue(key, ABDate{*seconds});
}

bool ABAppleAddressBook::SetStringArrayProperty(ABStorePerson& person, std::string_view key,
                                                const std::vector<ABMapLink::Pointer>& links,
                                                const ABRecord& record) {
  ABMultiValue multi;
  for (const ABMapLink::Pointer& link : links) {
    std::string label = ReplaceKnownLabel(link->Label());
    std::string value = WithLineBreaks(link->Value(record));
    if (!value.empty() && !multi.Add(std::move(value), std::move(label))) {
      return false;
    }
  }
  return person.SetValue(key, std::move(multi));
}

bool ABAppleAddressBook::SetDateArrayProperty(ABStorePerson& person, std::string_view key,
                                              const std::vector<ABMapLink::Pointer>& links,
                                              const ABRecord& record) {
  ABMultiValue multi;
  for (const ABMapLink::Pointer& link : links) {
    std::string label = ReplaceKnownLabel(link->Label());
    const std::optional<double> seconds = StoreSeconds(link->Value(record));
    if (seconds && !multi.Add(ABDate{*seconds}, std::move(label))) {
      return false;
    }
  }
  return person.SetValue(key, std::move(multi));
}

bool ABAppleAddressBook::SetAddressArrayProperty(ABStorePerson& person, std::string_view key,
                                                 const std::vector<ABMapLink::Pointer>& links,
                                                 const ABRecord& record) {
  ABMultiValue multi;
  for (const ABMapLink::Pointer& link : links) {
    std::string label = ReplaceKnownLabel(link->Label());
    ABDictionary address;
    for (const AddressPart& part : kAddressParts) {
      const ABMapLink::Pointer subLink = link->SubLink(part.id);
      const std::string_view value = subLink ? subLink->Value(record) : std::string_view();
      if (!value.empty()) {
        address.Add(std::string(part.key), std::string(value));
      }
    }
    if (address.Count() > 0 && !multi.Add(std::move(address), std::move(label))) {
      return false;
    }
  }
  if (multi.Count() == 0) {
    return true;
  }
  return person.SetValue(key, std::move(multi));
}

ABAppleAddressBook::GroupReference ABAppleAddressBook::CreateGroup(const std::string& name) {
  const std::shared_ptr<ABStore> store = ABStore::Shared();
  std::vector<GroupReference> found = store->GroupsNamed(name);
  if (!found.empty()) {
    return found.front();
  }
  GroupReference group = store->CreateGroup();
  if (!group) {
    return nullptr;
  }
  group->SetValue(abstore::kGroupNameProperty, name);
  if (!store->AddRecord(group)) {
    return nullptr;
  }
  return group;
}

void ABAppleAddressBook::ReleaseGroup(GroupReference& group) {
  group.reset();
}

bool ABAppleAddressBook::Save() {
  const std::shared_ptr<ABStore> store = ABStore::Shared();
  return !store->HasUnsavedChanges() || store->Save();
}

void ABAppleAddressBook::Launch() {
  const std::optional<std::string_view> script = Resources::Find("scripts/find-address-book.sh");
  if (!script) {
    return;
  }
  const std::string folder = ABStore::Shared()->Folder().string();
  std::optional<std::string> answer =
      Subprocess::Capture({"/bin/sh", "-c", std::string(*script), "find-address-book"},
                          {{"QUILLBROOK_STORE_FOLDER", folder}});
  if (!answer) {
    return;
  }
  while (!answer->empty() && (answer->back() == '\n' || answer->back() == '\r')) {
    answer->pop_back();
  }
  std::error_code error;
  if (answer->empty() || !std::filesystem::is_directory(*answer, error)) {
    return;
  }
  Subprocess::StartDetached({"xdg-open", *answer});
}
