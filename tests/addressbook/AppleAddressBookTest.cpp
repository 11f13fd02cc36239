#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "addressbook/ABAppleAddressBook.h"
#include "addressbook/SystemInfo.h"
#include "addressbook/store/ABStore.h"
#include "app/ABApp.h"
#include "support/TestSupport.h"

namespace {

// Sets the platform layer's answers for one test and restores the system's afterwards.
class SystemOverride {
 public:
  SystemOverride(std::optional<std::uint32_t> code, std::optional<std::int32_t> offset) {
    SystemInfo::OverrideSystemVersionCode(code);
    SystemInfo::OverrideGmtOffsetSeconds(offset);
  }
  ~SystemOverride() {
    SystemInfo::OverrideSystemVersionCode(std::nullopt);
    SystemInfo::OverrideGmtOffsetSeconds(std::nullopt);
  }
};

std::vector<std::string> Ids(const ABAddressBook& book) {
  std::vector<std::string> ids;
  for (const ABAddressBookField::Pointer& field : book.Fields()) {
    ids.push_back(field->ID());
  }
  return ids;
}

const ABAddressBookField* FieldNamed(const ABAddressBook& book, std::string_view id) {
  for (const ABAddressBookField::Pointer& field : book.Fields()) {
    if (field->ID() == id) {
      return field.get();
    }
  }
  return nullptr;
}

TEST(AppleAddressBookTest, systemLevelDecidesTheCatalogue) {
  struct LevelCase {
    std::uint32_t code;
    int version;
    std::size_t fields;
    bool department;
    bool urlMultiple;
    std::size_t urlLabels;
  };
  const LevelCase cases[] = {
      {0x1020, 1, 23, false, false, 1},
      {0x1039, 2, 26, true, false, 1},
      {0x1040, 3, 26, true, true, 4},
      {0x1050, 3, 26, true, true, 4},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.code);
    SystemOverride system(c.code, 0);
    ABAppleAddressBook book;
    EXPECT_EQ(book.Name(), "Apple Address Book");
    EXPECT_EQ(book.Version(), c.version);
    EXPECT_EQ(book.FieldCount(), c.fields);
    EXPECT_EQ(FieldNamed(book, "Department") != nullptr, c.department);
    EXPECT_EQ(FieldNamed(book, "OtherDate") != nullptr, c.department);
    EXPECT_EQ(FieldNamed(book, "RelatedName") != nullptr, c.department);
    const ABAddressBookField* url = FieldNamed(book, "URL");
    ASSERT_NE(url, nullptr);
    EXPECT_EQ(url->Multiple(), c.urlMultiple);
    EXPECT_EQ(url->LabelCount(), c.urlLabels);
    EXPECT_EQ(url->Label(0), "LabelHomepage");
    EXPECT_EQ(url->CustomLabel(), c.urlMultiple ? "LabelCustom" : "");
  }
}

TEST(AppleAddressBookTest, oldSystemsHaveNoAddressBook) {
  SystemOverride system(0x1019, 0);
  try {
    ABAppleAddressBook book;
    FAIL() << "constructed on 10.1.9";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unsupported OS version: Address Book doesn't exist");
  }
}

TEST(AppleAddressBookTest, catalogueOrderAndShapes) {
  SystemOverride system(0x1040, 0);
  ABAppleAddressBook book;
  const std::vector<std::string> expected = {"PhoneticFirstName",
                                             "PhoneticMiddleName",
                                             "PhoneticLastName",
                                             "Prefix",
                                             "FirstName",
                                             "MiddleName",
                                             "LastName",
                                             "Suffix",
                                             "Nickname",
                                             "JobTitle",
                                             "Department",
                                             "Company",
                                             "MaidenName",
                                             "Phone",
                                             "Email",
                                             "URL",
                                             "Birthday",
                                             "OtherDate",
                                             "RelatedName",
                                             "AIM",
                                             "ICQ",
                                             "Jabber",
                                             "MSN",
                                             "Yahoo",
                                             "Address",
                                             "Note"};
  EXPECT_EQ(Ids(book), expected);
  const ABAddressBookField* phone = FieldNamed(book, "Phone");
  EXPECT_EQ(phone->Labels(),
            (std::vector<std::string>{"LabelWork", "LabelHome", "LabelMobile", "LabelMain",
                                      "LabelHomeFax", "LabelWorkFax", "LabelPager", "LabelOther"}));
  EXPECT_EQ(FieldNamed(book, "OtherDate")->Labels(), std::vector<std::string>{"LabelAniversary"});
  EXPECT_EQ(FieldNamed(book, "RelatedName")->LabelCount(), 12u);
  EXPECT_EQ(FieldNamed(book, "MaidenName")->Labels(), std::vector<std::string>{"LabelMaidenName"});
  EXPECT_FALSE(FieldNamed(book, "MaidenName")->Multiple());
  EXPECT_EQ(FieldNamed(book, "Note")->CustomLabel(), "");
  const ABAddressBookField* address = FieldNamed(book, "Address");
  ASSERT_EQ(address->SubFieldCount(), 5u);
  const char* parts[] = {"Street", "City", "State", "PostalCode", "Country"};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(address->SubField(i)->ID(), parts[i]);
    EXPECT_EQ(address->SubField(i)->Parent().get(), address);
    EXPECT_EQ(address->SubField(i)->LabelCount(), 0u);
  }
}

TEST(AppleAddressBookTest, gmtOffsetAndReferenceDate) {
  EXPECT_EQ(ABAppleAddressBook::GmtOffsetFromLocationWord(0xFFB9B0), -18000);
  EXPECT_EQ(ABAppleAddressBook::GmtOffsetFromLocationWord(0x000E10), 3600);
  struct OffsetCase {
    std::int32_t offset;
    int year, month, day, hour;
  };
  const OffsetCase cases[] = {
      {0, 2000, 12, 31, 23}, {3600, 2001, 1, 1, 0}, {-18000, 2000, 12, 31, 18}};
  for (const OffsetCase& c : cases) {
    SCOPED_TRACE(c.offset);
    SystemOverride system(std::nullopt, c.offset);
    ABAppleAddressBook book;
    EXPECT_EQ(book.GmtOffset(), c.offset);
    EXPECT_EQ(book.ReferenceDate().Year(), c.year);
    EXPECT_EQ(book.ReferenceDate().Month(), c.month);
    EXPECT_EQ(book.ReferenceDate().Day(), c.day);
    EXPECT_EQ(book.ReferenceDate().Hour(), c.hour);
    EXPECT_EQ(book.ReferenceDate().Minute(), 0);
  }
}

class LanguageScope {
 public:
  explicit LanguageScope(std::string_view identifier) : mPrevious(App().Language()) {
    App().Language(App().LanguageByIdentifier(identifier));
  }
  ~LanguageScope() { App().Language(mPrevious); }

 private:
  std::shared_ptr<LumoLanguage> mPrevious;
};

TEST(AppleAddressBookTest, labelsBecomeStoreLabels) {
  ABAppleAddressBook book;
  EXPECT_EQ(book.ReplaceKnownLabel("labelwork"), "_$!<Work>!$_");
  EXPECT_EQ(book.ReplaceKnownLabel("LabelWorkFax"), "_$!<WorkFAX>!$_");
  EXPECT_EQ(book.ReplaceKnownLabel("LabelHomepage"), "_$!<HomePage>!$_");
  EXPECT_EQ(book.ReplaceKnownLabel("Summer house"), "Summer house");
  EXPECT_EQ(book.ReplaceKnownLabel(""), "");
  for (const char* language : {"en", "nl", "fr"}) {
    SCOPED_TRACE(language);
    LanguageScope scope(language);
    const std::string father = App().Language()->Text("LabelFather");
    ASSERT_FALSE(father.empty());
    EXPECT_EQ(book.ReplaceKnownLabel("LabelFather"), father);
    EXPECT_EQ(book.ReplaceKnownLabel("LabelAniversary"), App().Language()->Text("LabelAniversary"));
    EXPECT_EQ(book.LocalizedLabelText("NoSuchLabel"), "");
  }
}

TEST(AppleAddressBookTest, fieldNamesInEveryLanguage) {
  ABAppleAddressBook book;
  for (const char* language : {"en", "nl", "fr"}) {
    SCOPED_TRACE(language);
    LanguageScope scope(language);
    const ABAddressBookField* address = FieldNamed(book, "Address");
    EXPECT_EQ(book.LocalizedFieldName(*address), "Address");
    EXPECT_EQ(book.LocalizedFieldName(*FieldNamed(book, "PhoneticFirstName")),
              App().Language()->Text("FieldPhoneticFirstname"));
    EXPECT_EQ(book.LocalizedFieldName(*address->SubField(3)),
              App().Language()->Text("FieldPostalCode"));
    EXPECT_EQ(book.LocalizedFieldName(*ABAddressBookField::Create("Unknown")), "Unknown");
  }
}

}  // namespace

namespace {

// Puts a stand-in for the desktop's opener first on PATH that writes what it was asked to open.
class OpenerOnPath {
 public:
  explicit OpenerOnPath(const testsupport::TempDir& dir) : mLog(dir.Path() / "opened") {
    const std::filesystem::path bin = dir.Path() / "bin";
    std::filesystem::create_directories(bin);
    const std::filesystem::path opener = bin / "xdg-open";
    dir.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"" + mLog.string() + "\"\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const char* path = getenv("PATH");
    mPreviousPath = path ? path : "";
    setenv("PATH", (bin.string() + ":" + mPreviousPath).c_str(), 1);
  }
  ~OpenerOnPath() { setenv("PATH", mPreviousPath.c_str(), 1); }

  // What the opener was given, once it has run or a few seconds have passed.
  std::string Opened(bool expectRun) const {
    for (int i = 0; expectRun && i < 100 && !std::filesystem::exists(mLog); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(expectRun ? 50 : 300));
    return testsupport::ReadFile(mLog);
  }

 private:
  std::filesystem::path mLog;
  std::string mPreviousPath;
};

TEST(AppleAddressBookTest, launchShowsTheStoreFolder) {
  testsupport::TempDir dir;
  OpenerOnPath opener(dir);
  // A folder name a shell would misread must arrive as it is.
  const std::filesystem::path folder = dir.Path() / "my contacts; $(touch pwned) 'x'";
  std::filesystem::create_directories(folder);
  ABStore::SetSharedFolder(folder);
  ABAppleAddressBook book;
  book.Launch();
  EXPECT_EQ(opener.Opened(true), folder.string() + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "pwned"));
  ABStore::SetSharedFolder(dir.Path() / "elsewhere");
}

TEST(AppleAddressBookTest, launchDoesNothingWithoutAFolder) {
  testsupport::TempDir dir;
  OpenerOnPath opener(dir);
  ABStore::SetSharedFolder(dir.Path() / "missing");
  ABAppleAddressBook book;
  book.Launch();
  EXPECT_EQ(opener.Opened(false), "");
}

}  // namespace
