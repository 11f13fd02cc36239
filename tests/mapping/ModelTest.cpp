#include <gtest/gtest.h>

#include "import/ABRecord.h"
#include "mapping/ABAddressBook.h"
#include "mapping/ABMap.h"

namespace {

ABAddressBookField::Pointer MakeAddress() {
  std::vector<ABAddressBookField::Pointer> parts;
  for (const char* id : {"Street", "City", "State", "PostalCode", "Country"}) {
    parts.push_back(ABAddressBookField::Create(id));
  }
  ABAddressBookField::Pointer address = ABAddressBookField::Create("Address", std::move(parts));
  address->Multiple(true);
  address->AppendLabel("LabelWork");
  address->AppendLabel("LabelHome");
  address->CustomLabel("LabelCustom");
  return address;
}

TEST(AddressBookTest, baseAnswersWithDefaults) {
  ABAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  EXPECT_EQ(book.FieldCount(), 0u);
  EXPECT_FALSE(book.Import({ABRecord{"a"}}, map, nullptr));
  EXPECT_EQ(book.LocalizedFieldName(*ABAddressBookField::Create("Phone")), "Phone");
  EXPECT_EQ(book.LocalizedLabelText("LabelWork"), "");
}

TEST(AddressBookFieldTest, subFieldsPointToTheirParent) {
  ABAddressBookField::Pointer address = MakeAddress();
  ASSERT_EQ(address->SubFieldCount(), 5u);
  for (std::size_t i = 0; i < address->SubFieldCount(); ++i) {
    EXPECT_EQ(address->SubField(i)->Parent(), address);
  }
  EXPECT_EQ(address->Parent(), nullptr);
}

TEST(AddressBookFieldTest, parentDoesNotKeepItselfAlive) {
  ABAddressBookField::Pointer street;
  {
    ABAddressBookField::Pointer address = MakeAddress();
    street = address->SubField(0);
  }
  EXPECT_EQ(street->Parent(), nullptr);
}

TEST(AddressBookFieldTest, cloneIsDeepAndKeepsTheCatalogueUntouched) {
  ABAddressBookField::Pointer address = MakeAddress();
  ABAddressBookField::Pointer clone = address->Clone();
  EXPECT_NE(clone, address);
  EXPECT_EQ(clone->ID(), "Address");
  EXPECT_EQ(clone->Labels(), address->Labels());
  EXPECT_EQ(clone->CustomLabel(), "LabelCustom");
  EXPECT_TRUE(clone->Multiple());
  EXPECT_EQ(clone->Parent(), nullptr);
  ASSERT_EQ(clone->SubFieldCount(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NE(clone->SubField(i), address->SubField(i));
    EXPECT_EQ(clone->SubField(i)->ID(), address->SubField(i)->ID());
    EXPECT_EQ(clone->SubField(i)->Parent(), clone);
    EXPECT_EQ(address->SubField(i)->Parent(), address);
  }
  clone->AppendLabel("LabelOther");
  EXPECT_EQ(address->LabelCount(), 2u);
  EXPECT_EQ(clone->LabelCount(), 3u);
}

TEST(AddressBookFieldTest, cloneOfASubFieldSharesItsParent) {
  ABAddressBookField::Pointer address = MakeAddress();
  EXPECT_EQ(address->SubField(1)->Clone()->Parent(), address);
}

TEST(MapTest, newMappingHasDefaults) {
  ABMap map(std::make_shared<ABAddressBook>());
  EXPECT_EQ(map.Version(), "2.0");
  EXPECT_EQ(map.RangeStart, 0);
  EXPECT_EQ(map.RangeEnd, -1);
  EXPECT_EQ(map.Group, "");
  EXPECT_EQ(map.LinkCount(), 0u);
  EXPECT_FALSE(map.File().has_value());
  EXPECT_NE(map.AddressBook, nullptr);
}

TEST(MapTest, lookupsIgnoreCaseAndKeepMapOrder) {
  ABMap map(std::make_shared<ABAddressBook>());
  auto work = std::make_shared<ABMapLink>("Phone", 3, "LabelWork");
  auto home = std::make_shared<ABMapLink>("Phone", 5, "LabelHome");
  map.AppendLink(work);
  map.AppendLink(home);
  map.AppendLink(std::make_shared<ABMapLink>("FirstName", 0));
  const std::vector<ABMapLink::Pointer> phones = map.Links("phone");
  ASSERT_EQ(phones.size(), 2u);
  EXPECT_EQ(phones[0], work);
  EXPECT_EQ(phones[1], home);
  EXPECT_EQ(map.Link("Phone"), work);
  EXPECT_EQ(map.Link("LastName"), nullptr);
  EXPECT_TRUE(map.Links("LastName").empty());
  EXPECT_EQ(map.Link(2)->AddressBookField(), "FirstName");
}

TEST(MapLinkTest, valueIsEmptyOutsideTheRecord) {
  const ABRecord three{"a", "b", "c"};
  const ABRecord four{"a", "b", "c", "d"};
  EXPECT_EQ(ABMapLink("Note", 3).Value(three), "");
  EXPECT_EQ(ABMapLink("Note", 3).Value(four), "d");
  EXPECT_EQ(ABMapLink("Note", -1).Value(four), "");
}

TEST(MapLinkTest, subLinkByNameIgnoresCase) {
  ABMapLink address("Address", 0, "LabelHome");
  auto street = std::make_shared<ABMapLink>("Street", 7);
  auto city = std::make_shared<ABMapLink>("City", 8);
  address.AppendSubLink(street);
  address.AppendSubLink(city);
  EXPECT_EQ(address.SubLinkCount(), 2u);
  EXPECT_EQ(address.SubLink("city"), city);
  EXPECT_EQ(address.SubLink("Country"), nullptr);
}

TEST(MapTest, deleteAllLinksKeepsEverythingElse) {
  auto book = std::make_shared<ABAddressBook>();
  ABMap map(book);
  map.Group = "Friends";
  map.RangeStart = 2;
  map.RangeEnd = 9;
  map.AppendLink(std::make_shared<ABMapLink>("FirstName", 0));
  map.DeleteAllLinks();
  EXPECT_EQ(map.LinkCount(), 0u);
  EXPECT_EQ(map.Group, "Friends");
  EXPECT_EQ(map.RangeStart, 2);
  EXPECT_EQ(map.RangeEnd, 9);
  EXPECT_EQ(map.Version(), "2.0");
  EXPECT_EQ(map.AddressBook, book);
}

}  // namespace
