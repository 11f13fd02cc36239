#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "mapping/ABAddressBook.h"
#include "mapping/ABMap.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

std::shared_ptr<ABAddressBook> Book() {
  auto book = std::make_shared<ABAddressBook>();
  book->Name("Apple Address Book");
  return book;
}

ABMapLink::Pointer Address(std::string label) {
  auto address = std::make_shared<ABMapLink>("Address", 0, std::move(label));
  address->AppendSubLink(std::make_shared<ABMapLink>("Street", 7));
  address->AppendSubLink(std::make_shared<ABMapLink>("City", 8));
  return address;
}

pugi::xml_document Parse(const std::filesystem::path& file) {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_file(file.c_str()));
  return document;
}

TEST(MapFileTest, newMappingWritesOnlyTheRoot) {
  TempDir dir;
  ABMap map(Book());
  ASSERT_TRUE(map.SaveAs(dir.Path() / "empty.map"));
  const pugi::xml_document document = Parse(dir.Path() / "empty.map");
  const pugi::xml_node root = document.document_element();
  EXPECT_STREQ(root.name(), "Map");
  std::vector<std::pair<std::string, std::string>> attributes;
  for (const pugi::xml_attribute attribute : root.attributes()) {
    attributes.emplace_back(attribute.name(), attribute.value());
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Version", "2.0"},
      {"AddressBook", "Apple Address Book"},
      {"Group", ""},
      {"RangeStart", "0"},
      {"RangeEnd", "-1"}};
  EXPECT_EQ(attributes, expected);
  EXPECT_FALSE(root.first_child());
}

TEST(MapFileTest, linksAreWrittenInTheirShapes) {
  TempDir dir;
  ABMap map(Book());
  map.AppendLink(std::make_shared<ABMapLink>("FirstName", 0));
  map.AppendLink(std::make_shared<ABMapLink>("Phone", 3, "LabelWork"));
  map.AppendLink(std::make_shared<ABMapLink>("Phone", 4, "Summer & <house>"));
  map.AppendLink(Address("LabelHome"));
  ASSERT_TRUE(map.SaveAs(dir.Path() / "links.map"));
  const pugi::xml_document document = Parse(dir.Path() / "links.map");
  const pugi::xml_node root = document.document_element();
  std::vector<pugi::xml_node> links;
  for (const pugi::xml_node link : root.children()) {
    EXPECT_STREQ(link.name(), "Link");
    links.push_back(link);
  }
  ASSERT_EQ(links.size(), 4u);

  const pugi::xml_node first = links[0].child("AddressBookField");
  EXPECT_STREQ(first.attribute("ID").value(), "FirstName");
  EXPECT_FALSE(first.attribute("Label"));
  EXPECT_STREQ(links[0].child("ImportField").attribute("Index").value(), "0");
  EXPECT_STREQ(first.next_sibling().name(), "ImportField");

  EXPECT_STREQ(links[1].child("AddressBookField").attribute("Label").value(), "LabelWork");
  EXPECT_STREQ(links[2].child("AddressBookField").attribute("Label").value(), "Summer & <house>");

  const pugi::xml_node address = links[3];
  EXPECT_STREQ(address.child("AddressBookField").attribute("ID").value(), "Address");
  EXPECT_STREQ(address.child("AddressBookField").attribute("Label").value(), "LabelHome");
  EXPECT_FALSE(address.child("ImportField"));
  std::vector<std::string> inner;
  for (const pugi::xml_node link : address.children("Link")) {
    EXPECT_FALSE(link.child("AddressBookField").attribute("Label"));
    inner.push_back(std::string(link.child("AddressBookField").attribute("ID").value()) + "@" +
                    link.child("ImportField").attribute("Index").value());
  }
  EXPECT_EQ(inner, (std::vector<std::string>{"Street@7", "City@8"}));
}

TEST(MapFileTest, saveAndLoadGiveTheSameMapping) {
  TempDir dir;
  ABMap map(Book());
  map.Group = "Vrienden & familie";
  map.RangeStart = 1;
  map.RangeEnd = 41;
  map.AppendLink(std::make_shared<ABMapLink>("FirstName", 0));
  map.AppendLink(std::make_shared<ABMapLink>("Phone", 3, "LabelWork"));
  map.AppendLink(std::make_shared<ABMapLink>("Phone", 4, "Zomerhuis"));
  map.AppendLink(Address("LabelHome"));
  ASSERT_TRUE(map.SaveAs(dir.Path() / "round.map"));

  ABMap loaded(dir.Path() / "round.map");
  ASSERT_TRUE(loaded.Load()) << loaded.LastError();
  EXPECT_EQ(loaded.Version(), "2.0");
  EXPECT_EQ(loaded.Group, "Vrienden & familie");
  EXPECT_EQ(loaded.RangeStart, 1);
  EXPECT_EQ(loaded.RangeEnd, 41);
  ASSERT_NE(loaded.AddressBook, nullptr);
  EXPECT_EQ(loaded.AddressBook->Name(), "Apple Address Book");
  ASSERT_EQ(loaded.LinkCount(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(loaded.Link(i)->AddressBookField(), map.Link(i)->AddressBookField());
    EXPECT_EQ(loaded.Link(i)->Label(), map.Link(i)->Label());
    EXPECT_EQ(loaded.Link(i)->SubLinkCount(), map.Link(i)->SubLinkCount());
  }
  EXPECT_EQ(loaded.Link(2)->ImportField(), 4);
  EXPECT_EQ(loaded.Link(3)->SubLink("City")->ImportField(), 8);
}

TEST(MapFileTest, saveAsChangesTheFileEvenWhenWritingFails) {
  TempDir dir;
  const std::filesystem::path notAFolder = dir.Write("plain", "x");
  ABMap map(Book());
  EXPECT_FALSE(map.SaveAs(notAFolder / "map.map"));
  EXPECT_EQ(map.File(), notAFolder / "map.map");
  EXPECT_FALSE(map.LastError().empty());
}

TEST(MapFileTest, failedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::filesystem::path file = dir.Path() / "keep.map";
  ABMap map(Book());
  map.AppendLink(std::make_shared<ABMapLink>("Note", 2));
  ASSERT_TRUE(map.SaveAs(file));
  const std::string before = ReadFile(file);
  // A folder where the map file should be makes the rename fail after the temporary file is
  // written.
  const std::filesystem::path blocked = dir.Path() / "blocked.map";
  std::filesystem::create_directories(blocked / "inside");
  EXPECT_FALSE(map.SaveAs(blocked));
  EXPECT_EQ(ReadFile(file), before);
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_EQ(entry.path().extension() == ".tmp", false) << entry.path();
  }
}

struct LoadCase {
  const char* name;
  const char* text;
  bool loads;
};

TEST(MapFileTest, loadFollowsTheFailureTable) {
  const LoadCase cases[] = {
      {"lower-case root", R"(<map Version="2.0" AddressBook="Apple Address Book"/>)", true},
      {"not a map", R"(<Preferences Version=""/>)", false},
      {"truncated", R"(<Map Version="2.0"><Link><AddressBookField ID="Note"/>)", false},
      {"not XML", "FirstName,LastName\n", false},
      {"empty file", "", false},
      {"link without field", R"(<Map><Link><ImportField Index="1"/></Link></Map>)", false},
      {"link with empty ID",
       R"(<Map><Link><AddressBookField ID=""/><ImportField Index="1"/></Link></Map>)", false},
      {"link without column", R"(<Map><Link><AddressBookField ID="Note"/></Link></Map>)", false},
      {"link with column -1",
       R"(<Map><Link><AddressBookField ID="Note"/><ImportField Index="-1"/></Link></Map>)", false},
      {"sub-link without column",
       R"(<Map><Link><AddressBookField ID="Address"/><Link><AddressBookField ID="City"/></Link></Link></Map>)",
       false},
      {"sub-link without ID",
       R"(<Map><Link><AddressBookField ID="Address"/><Link><ImportField Index="2"/></Link></Link></Map>)",
       false},
      {"unknown elements are ignored",
       R"(<Map><Extra/><Link><AddressBookField ID="Note"/><ImportField Index="3"/><ImportField Index="9"/></Link>text</Map>)",
       true},
  };
  TempDir dir;
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    ABMap map(dir.Write("case.map", c.text));
    EXPECT_EQ(map.Load(), c.loads) << map.LastError();
  }
}

TEST(MapFileTest, loadReadsWhatThePartsSay) {
  TempDir dir;
  ABMap map(dir.Write("old.map", R"(<?xml version="1.0"?>
<Map Version="1.0" AddressBook="Other Book" Group="Club" RangeStart="3">
  <Link><AddressBookField ID="Email" Label="LabelHome" Extra="x"/><ImportField Index="4"/>
    <Link><AddressBookField ID="City"/><ImportField Index="6"/></Link></Link>
  <Link><AddressBookField ID="Address" Label="LabelWork"/>
    <Link><AddressBookField ID="Street" Label="ignored"/><ImportField Index="7"/></Link>
    <Link><AddressBookField ID="ZIP"/><ImportField Index="2.9"/></Link></Link>
  <Link><AddressBookField ID="Note"/><ImportField/></Link>
</Map>)"));
  ASSERT_TRUE(map.Load()) << map.LastError();
  EXPECT_EQ(map.Version(), "1.0");
  EXPECT_EQ(map.Group, "Club");
  EXPECT_EQ(map.RangeStart, 3);
  EXPECT_EQ(map.RangeEnd, 0);
  ASSERT_EQ(map.LinkCount(), 3u);
  EXPECT_EQ(map.Link(0)->ImportField(), 4);
  EXPECT_EQ(map.Link(0)->SubLinkCount(), 0u);
  EXPECT_EQ(map.Link(0)->Label(), "LabelHome");
  ASSERT_EQ(map.Link(1)->SubLinkCount(), 2u);
  EXPECT_EQ(map.Link(1)->ImportField(), 0);
  EXPECT_EQ(map.Link(1)->SubLink(0)->Label(), "");
  EXPECT_EQ(map.Link(1)->SubLink(1)->ImportField(), 2);
  EXPECT_EQ(map.Link(2)->ImportField(), 0);

  // The version read is the version written back.
  ASSERT_TRUE(map.Save());
  ABMap again(*map.File());
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.Version(), "1.0");
}

TEST(MapFileTest, missingFileOrFolderDoesNotLoad) {
  TempDir dir;
  EXPECT_FALSE(ABMap(dir.Path() / "missing.map").Load());
  EXPECT_FALSE(ABMap(dir.Path()).Load());
}

TEST(MapFileTest, hostileDocumentsDoNotLoadOrCrash) {
  TempDir dir;
  std::string deep = "<Map>";
  for (int i = 0; i < 200000; ++i) {
    deep += "<Link>";
  }
  ABMap nested(dir.Write("deep.map", deep));
  EXPECT_FALSE(nested.Load());

  std::string deepClosed = "<Map><Link><AddressBookField ID=\"Note\"/><ImportField Index=\"1\"/>";
  for (int i = 0; i < 100000; ++i) {
    deepClosed += "<x>";
  }
  for (int i = 0; i < 100000; ++i) {
    deepClosed += "</x>";
  }
  deepClosed += "</Link></Map>";
  ABMap closed(dir.Write("closed.map", deepClosed));
  EXPECT_TRUE(closed.Load());

  const std::string bomb = R"(<?xml version="1.0"?>
<!DOCTYPE Map [
 <!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
 <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
 <!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
 <!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">
 <!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">
 <!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;">
]>
<Map Group="&f;"><Link><AddressBookField ID="Note"/><ImportField Index="1"/></Link></Map>)";
  ABMap expanded(dir.Write("bomb.map", bomb));
  if (expanded.Load()) {
    // Entities are never expanded: the group stays short.
    EXPECT_LT(expanded.Group.size(), 100u);
  }

  const std::filesystem::path huge = dir.Path() / "huge.map";
  {
    std::string big(32 * 1024 * 1024, ' ');
    big.replace(0, 5, "<Map>");
    dir.Write("huge.map", big);
  }
  EXPECT_FALSE(ABMap(huge).Load());
}

}  // namespace
