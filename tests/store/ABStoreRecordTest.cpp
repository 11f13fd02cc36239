#include <gtest/gtest.h>

#include <limits>

#include "StoreTestSupport.h"
#include "addressbook/store/ABStoreGroup.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABStorePerson.h"

namespace {

using namespace abstore;
using storetest::Texts;

ABMultiValue Dates(std::initializer_list<double> seconds) {
  ABMultiValue list;
  for (double s : seconds) {
    list.Add(ABDate{s}, "");
  }
  return list;
}

ABMultiValue Addresses(std::initializer_list<ABDictionary> dictionaries) {
  ABMultiValue list;
  for (const ABDictionary& dictionary : dictionaries) {
    list.Add(dictionary, std::string(kHomeLabel));
  }
  return list;
}

TEST(ABStoreRecordTest, shouldAcceptOnlyValuesOfTheKeysKind) {
  struct Case {
    std::string Name;
    std::string_view Key;
    ABValue Value;
    bool Accepted;
  };
  const std::vector<Case> cases = {
      {"text", kFirstProperty, std::string("Ann"), true},
      {"empty text", kNoteProperty, std::string(), true},
      {"number for text", kLastProperty, std::int32_t{1}, false},
      {"list for text", kOrganizationProperty, Texts({{"Acme", ""}}), false},
      {"date", kBirthdayProperty, ABDate{-1e9}, true},
      {"text for date", kBirthdayProperty, std::string("1970-01-01"), false},
      {"date not a number", kBirthdayProperty, ABDate{std::numeric_limits<double>::quiet_NaN()},
       false},
      {"date after year 9999", kBirthdayProperty, storetest::Day(10000, 1, 1, 0), false},
      {"date before year 1", kBirthdayProperty, storetest::Day(0, 6, 1, 0), false},
      {"number", kABPersonFlagsProperty, std::int32_t{kShowAsCompany}, true},
      {"text for number", kABPersonFlagsProperty, std::string("1"), false},
      {"texts", kPhoneProperty, Texts({{"555", std::string(kWorkLabel)}}), true},
      {"no entries", kPhoneProperty, ABMultiValue(), true},
      {"dates for texts", kEmailProperty, Dates({0}), false},
      {"dates", kABDateProperty, Dates({0, 1e8}), true},
      {"texts for dates", kABDateProperty, Texts({{"x", ""}}), false},
      {"date out of range in a list", kABDateProperty, Dates({0, 1e300}), false},
      {"addresses", kAddressProperty,
       Addresses({storetest::Address({{"Street", "1 Main"}, {"ZIP", "1000"}})}), true},
      {"unknown address key", kAddressProperty,
       Addresses({storetest::Address({{"Street", "1 Main"}, {"PostalCode", "1000"}})}), false},
      {"texts for addresses", kAddressProperty, Texts({{"1 Main", ""}}), false},
      {"unknown key", "Phones", Texts({{"555", ""}}), false},
      {"keys are exact", "first", std::string("Ann"), false},
      {"group key on a person", kGroupNameProperty, std::string("Friends"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ABStorePerson person;
    EXPECT_EQ(person.SetValue(c.Key, c.Value), c.Accepted);
    EXPECT_EQ(person.Value(c.Key) != nullptr, c.Accepted);
    if (c.Accepted) {
      EXPECT_EQ(*person.Value(c.Key), c.Value);
    }
  }
}

TEST(ABStoreRecordTest, shouldKnowEveryPersonKeyWithItsKind) {
  const std::vector<std::pair<std::string_view, ABValueKind>> keys = {
      {kFirstPhoneticProperty, ABValueKind::Text},
      {kMiddlePhoneticProperty, ABValueKind::Text},
      {kLastPhoneticProperty, ABValueKind::Text},
      {kTitleProperty, ABValueKind::Text},
      {kFirstProperty, ABValueKind::Text},
      {kMiddleProperty, ABValueKind::Text},
      {kLastProperty, ABValueKind::Text},
      {kSuffixProperty, ABValueKind::Text},
      {kNicknameProperty, ABValueKind::Text},
      {kJobTitleProperty, ABValueKind::Text},
      {kABDepartmentProperty, ABValueKind::Text},
      {kOrganizationProperty, ABValueKind::Text},
      {kMaidenNameProperty, ABValueKind::Text},
      {kHomePageProperty, ABValueKind::Text},
      {kNoteProperty, ABValueKind::Text},
      {kBirthdayProperty, ABValueKind::Date},
      {kPhoneProperty, ABValueKind::TextList},
      {kEmailProperty, ABValueKind::TextList},
      {kURLsProperty, ABValueKind::TextList},
      {kABRelatedNamesProperty, ABValueKind::TextList},
      {kAIMInstantProperty, ABValueKind::TextList},
      {kICQInstantProperty, ABValueKind::TextList},
      {kJabberInstantProperty, ABValueKind::TextList},
      {kMSNInstantProperty, ABValueKind::TextList},
      {kYahooInstantProperty, ABValueKind::TextList},
      {kABDateProperty, ABValueKind::DateList},
      {kAddressProperty, ABValueKind::DictionaryList},
      {kABPersonFlagsProperty, ABValueKind::Number},
  };
  for (const auto& [key, kind] : keys) {
    SCOPED_TRACE(std::string(key));
    EXPECT_EQ(ABStorePerson::KeyKind(key), kind);
    EXPECT_EQ(ABStoreGroup::KeyKind(key), std::nullopt);
  }
  EXPECT_EQ(ABStoreGroup::KeyKind(kGroupNameProperty), ABValueKind::Text);
}

TEST(ABStoreRecordTest, shouldReplaceAValueAndReadTextBack) {
  ABStorePerson person;
  EXPECT_EQ(person.Text(kFirstProperty), "");
  ASSERT_TRUE(person.SetValue(kFirstProperty, std::string("Ann")));
  ASSERT_TRUE(person.SetValue(kFirstProperty, std::string("Bea")));
  EXPECT_EQ(person.Text(kFirstProperty), "Bea");
  ASSERT_TRUE(person.SetValue(kBirthdayProperty, ABDate{0}));
  EXPECT_EQ(person.Text(kBirthdayProperty), "");

  ABStoreGroup group;
  EXPECT_EQ(group.Name(), "");
  EXPECT_FALSE(group.SetValue(kFirstProperty, std::string("Ann")));
  ASSERT_TRUE(group.SetValue(kGroupNameProperty, std::string("Friends")));
  EXPECT_EQ(group.Name(), "Friends");
}

TEST(ABStoreRecordTest, shouldKeepAMultiValueOfOneKind) {
  ABMultiValue list;
  EXPECT_TRUE(list.Add(std::string("555"), std::string(kWorkLabel)));
  EXPECT_FALSE(list.Add(ABDate{0}, std::string(kHomeLabel)));
  EXPECT_FALSE(list.Add(ABDictionary(), std::string(kHomeLabel)));
  EXPECT_TRUE(list.Add(std::string("556"), "Boat"));
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(std::get<std::string>(list.Value(1)), "556");
  EXPECT_EQ(list.Label(0), kWorkLabel);

  ABMultiValue dates;
  EXPECT_TRUE(dates.Add(ABDate{1}, ""));
  EXPECT_FALSE(dates.Add(std::string("x"), ""));
}

TEST(ABStoreRecordTest, shouldKeepTheFirstValueOfADictionaryKey) {
  ABDictionary address;
  EXPECT_TRUE(address.Add(std::string(kCityKey), "Gent"));
  EXPECT_FALSE(address.Add(std::string(kCityKey), "Brugge"));
  EXPECT_TRUE(address.Add(std::string(kZIPKey), "9000"));
  EXPECT_EQ(address.Count(), 2u);
  ASSERT_NE(address.Find(kCityKey), nullptr);
  EXPECT_EQ(*address.Find(kCityKey), "Gent");
  EXPECT_EQ(address.Find(kStreetKey), nullptr);
}

}  // namespace
