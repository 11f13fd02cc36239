#include "SamplePeople.h"

#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "addressbook/store/ABStoreKeys.h"

namespace storetest {

namespace {

using namespace abstore;

using PersonPtr = std::shared_ptr<ABStorePerson>;

void Set(ABStorePerson& person, std::string_view key, ABValue value) {
  ASSERT_TRUE(person.SetValue(key, std::move(value))) << key;
}

void Join(ABStore& store, const PersonPtr& person, const std::string& name) {
  std::vector<std::shared_ptr<ABStoreGroup>> groups = store.GroupsNamed(name);
  std::shared_ptr<ABStoreGroup> group;
  if (groups.empty()) {
    group = store.CreateGroup();
    ASSERT_TRUE(group->SetValue(kGroupNameProperty, name));
    ASSERT_TRUE(store.AddRecord(group));
  } else {
    group = groups.front();
  }
  ASSERT_TRUE(store.AddMember(group, person));
}

void Everything(ABStore& store, const PersonPtr& shared) {
  ABStorePerson& person = *shared;
  Set(person, kTitleProperty, std::string("Dr."));
  Set(person, kFirstProperty, std::string("Ann"));
  Set(person, kMiddleProperty, std::string("Beth"));
  Set(person, kLastProperty, std::string("Cole"));
  Set(person, kSuffixProperty, std::string("PhD"));
  Set(person, kFirstPhoneticProperty, std::string("an"));
  Set(person, kMiddlePhoneticProperty, std::string("beth"));
  Set(person, kLastPhoneticProperty, std::string("kohl"));
  Set(person, kNicknameProperty, std::string("Annie"));
  Set(person, kMaidenNameProperty, std::string("Dale"));
  Set(person, kJobTitleProperty, std::string("Chief, Research"));
  Set(person, kOrganizationProperty, std::string("Acme; Ltd"));
  Set(person, kABDepartmentProperty, std::string("R&D"));
  Set(person, kHomePageProperty, std::string("http://ann.example/"));
  Set(person, kNoteProperty, std::string("First line\nsecond, with \\ and ;"));
  Set(person, kBirthdayProperty, Day(1936, 2, 29, kSampleGmtOffset));
  Set(person, kPhoneProperty,
      Texts({{"+1 555 0100", std::string(kWorkLabel)},
             {"+1 555 0101", std::string(kMobileLabel)},
             {"+1 555 0102", std::string(kWorkFAXLabel)},
             {"+1 555 0103", "Summer house"}}));
  Set(person, kEmailProperty,
      Texts({{"ann@acme.example", std::string(kWorkLabel)}, {"ann@home.example", ""}}));
  Set(person, kURLsProperty, Texts({{"http://acme.example/ann", std::string(kHomePageLabel)}}));
  ABMultiValue dates;
  ASSERT_TRUE(dates.Add(Day(1960, 6, 1, kSampleGmtOffset), "Anniversary"));
  ASSERT_TRUE(dates.Add(Day(2040, 12, 31, kSampleGmtOffset), ""));
  Set(person, kABDateProperty, dates);
  Set(person, kABRelatedNamesProperty, Texts({{"Carl Cole", "Father"}}));
  Set(person, kAIMInstantProperty, Texts({{"annaim", std::string(kHomeLabel)}}));
  Set(person, kICQInstantProperty, Texts({{"12345", std::string(kWorkLabel)}}));
  Set(person, kJabberInstantProperty, Texts({{"ann@jabber.example", std::string(kOtherLabel)}}));
  Set(person, kMSNInstantProperty, Texts({{"ann@msn.example", "Old"}}));
  Set(person, kYahooInstantProperty, Texts({{"annyahoo", ""}}));
  ABMultiValue addresses;
  ASSERT_TRUE(addresses.Add(Address({{"Street", "1 Main St, Suite 2"},
                                     {"City", "Springfield"},
                                     {"State", "IL"},
                                     {"ZIP", "62701"},
                                     {"Country", "USA"}}),
                            std::string(kWorkLabel)));
  ASSERT_TRUE(addresses.Add(Address({{"City", "Gent"}, {"Country", "Belgium"}}), "Cabin"));
  Set(person, kAddressProperty, addresses);
  Set(person, kABPersonFlagsProperty, std::int32_t{0});
  Join(store, shared, "Friends");
  Join(store, shared, "Chess, Go");
}

void Company(ABStore& store, const PersonPtr& shared) {
  ABStorePerson& person = *shared;
  Set(person, kOrganizationProperty, std::string("Acme; Ltd"));
  Set(person, kABDepartmentProperty, std::string("Sales"));
  Set(person, kABPersonFlagsProperty, std::int32_t{kShowAsCompany});
  Set(person, kPhoneProperty, Texts({{"+1 555 0199", std::string(kMainLabel)}}));
  Join(store, shared, "Suppliers");
}

void OnlyAnEmail(ABStore&, const PersonPtr& shared) {
  ABStorePerson& person = *shared;
  Set(person, kEmailProperty, Texts({{"who@example.org", std::string(kHomeLabel)}}));
  Set(person, kNoteProperty, std::string("met at the fair"));
}

void LongUnicode(ABStore&, const PersonPtr& shared) {
  ABStorePerson& person = *shared;
  Set(person, kFirstProperty, std::string("Zo\xC3\xAB"));
  Set(person, kLastProperty,
      std::string("\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x82\xBF\xE3\x83\xAF\xE3\x83"
                  "\xBC\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E"));
  std::string note;
  for (int i = 0; i < 12; ++i) {
    note += "caf\xC3\xA9 \xE2\x82\xAC" + std::to_string(i) + " \xF0\x9F\x98\x80\r\n";
  }
  Set(person, kNoteProperty, note);
  ABMultiValue addresses;
  ASSERT_TRUE(addresses.Add(Address({{"Street",
                                      "Stra\xC3\x9F"
                                      "e 1"},
                                     {"City", "M\xC3\xBCnchen"}}),
                            std::string(kHomeLabel)));
  Set(person, kAddressProperty, addresses);
}

void Nothing(ABStore&, const PersonPtr&) {}

}  // namespace

std::vector<SamplePerson> SamplePeople() {
  return {{"everything", Everything},
          {"company", Company},
          {"only-email", OnlyAnEmail},
          {"long-unicode", LongUnicode},
          {"nothing", Nothing}};
}

}  // namespace storetest
