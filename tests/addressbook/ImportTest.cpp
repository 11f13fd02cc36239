#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <map>

#include "addressbook/ABAppleAddressBook.h"
#include "addressbook/SystemInfo.h"
#include "addressbook/store/ABStore.h"
#include "addressbook/store/ABVCardReader.h"
#include "app/ABApp.h"
#include "import/ABProgressObserver.h"
#include "import/ABRecord.h"
#include "mapping/ABMap.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

// Remembers every call, and asks to stop at a chosen step.
class RecordingObserver final : public ABProgressObserver {
 public:
  explicit RecordingObserver(int stopAtStep = 0) : mStopAtStep(stopAtStep) {}
  bool ProgressStep(const ABRecord&) override {
    ++mSteps;
    mCalls.push_back("step");
    return mSteps == mStopAtStep;
  }
  void ProgressLength(std::int64_t count) override {
    mCalls.push_back("length " + std::to_string(count));
  }
  void ProgressEnded() override { mCalls.push_back("ended"); }
  void ProgressStarted() override { mCalls.push_back("started"); }
  const std::vector<std::string>& Calls() const { return mCalls; }

 private:
  int mStopAtStep;
  int mSteps = 0;
  std::vector<std::string> mCalls;
};

using Card = ABVCardReader::Card;

// Every card of the folder, in no particular order.
std::vector<Card> CardsIn(const std::filesystem::path& folder) {
  std::vector<Card> cards;
  if (!std::filesystem::exists(folder)) {
    return cards;
  }
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().extension(), ".vcf") << entry.path();
    const std::optional<std::vector<Card>> parsed = ABVCardReader::Cards(ReadFile(entry.path()));
    EXPECT_TRUE(parsed.has_value()) << entry.path();
    if (parsed) {
      cards.insert(cards.end(), parsed->begin(), parsed->end());
    }
  }
  return cards;
}

std::vector<const ABVCardProperty*> All(const Card& card, std::string_view name) {
  std::vector<const ABVCardProperty*> found;
  for (const ABVCardProperty& property : card) {
    if (property.Is(name)) {
      found.push_back(&property);
    }
  }
  return found;
}

std::string TextOf(const Card& card, std::string_view name) {
  const std::vector<const ABVCardProperty*> found = All(card, name);
  return found.empty() ? std::string() : found.front()->Text();
}

// The X-ABLabel of a grouped property, or its TYPE values joined with commas.
std::string LabelOf(const Card& card, const ABVCardProperty& property) {
  if (!property.Group.empty()) {
    for (const ABVCardProperty& other : card) {
      if (other.Group == property.Group && other.Is("X-ABLabel")) {
        return other.Text();
      }
    }
  }
  std::string types;
  for (const std::string& type : property.Types()) {
    if (type != "INTERNET" && type != "VOICE") {
      types += (types.empty() ? "" : ",") + type;
    }
  }
  return types;
}

ABMapLink::Pointer Link(std::string id, int column, std::string label = {}) {
  return std::make_shared<ABMapLink>(std::move(id), column, std::move(label));
}

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override { ABStore::SetSharedFolder(mDir.Path() / "contacts"); }
  void TearDown() override {
    ABStore::SetSharedFolder(mDir.Path() / "unused");
    SystemInfo::OverrideSystemVersionCode(std::nullopt);
    SystemInfo::OverrideGmtOffsetSeconds(std::nullopt);
  }
  std::filesystem::path Folder() const { return mDir.Path() / "contacts"; }

  TempDir mDir;
};

std::vector<ABRecord> Names(int count) {
  std::vector<ABRecord> records;
  for (int i = 0; i < count; ++i) {
    records.push_back(ABRecord{"First" + std::to_string(i), "Last" + std::to_string(i)});
  }
  return records;
}

TEST_F(ImportTest, importsTheRangeIntoTheGroup) {
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.AppendLink(Link("FirstName", 0));
  map.AppendLink(Link("LastName", 1));
  map.Group = "Club";
  map.RangeStart = 1;
  map.RangeEnd = 3;
  RecordingObserver observer;
  ASSERT_TRUE(book.Import(Names(5), map, &observer)) << ABStore::Shared()->LastError();
  EXPECT_EQ(observer.Calls(),
            (std::vector<std::string>{"started", "length 3", "step", "step", "step", "ended"}));
  std::vector<std::string> firsts;
  for (const Card& card : CardsIn(Folder())) {
    firsts.push_back(card.empty() ? "" : TextOf(card, "FN"));
    EXPECT_EQ(TextOf(card, "CATEGORIES"), "Club");
  }
  std::sort(firsts.begin(), firsts.end());
  EXPECT_EQ(firsts, (std::vector<std::string>{"First1 Last1", "First2 Last2", "First3 Last3"}));
}

TEST_F(ImportTest, rangeIsResolvedAgainstTheRecords) {
  struct RangeCase {
    int start;
    int end;
    std::size_t records;
    std::size_t imported;
    std::vector<std::string> calls;
  };
  const std::vector<std::string> threeSteps = {"started", "length 3", "step",
                                               "step",    "step",     "ended"};
  const RangeCase cases[] = {
      {-3, -1, 3, 3, threeSteps}, {0, 99, 3, 3, threeSteps}, {5, -1, 3, 0, {"started"}},
      {0, -1, 0, 0, {"started"}}, {2, 1, 3, 0, {"started"}},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + ".." + std::to_string(c.end));
    TempDir dir;
    ABStore::SetSharedFolder(dir.Path() / "contacts");
    ABAppleAddressBook book;
    ABMap map(std::shared_ptr<ABAddressBook>{});
    map.AppendLink(Link("FirstName", 0));
    map.RangeStart = c.start;
    map.RangeEnd = c.end;
    RecordingObserver observer;
    EXPECT_TRUE(book.Import(Names(static_cast<int>(c.records)), map, &observer));
    EXPECT_EQ(observer.Calls(), c.calls);
    EXPECT_EQ(CardsIn(dir.Path() / "contacts").size(), c.imported);
  }
}

TEST_F(ImportTest, emptyRangeStillMakesTheGroup) {
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.Group = "Nieuw";
  EXPECT_TRUE(book.Import({}, map, nullptr));
  EXPECT_EQ(ABStore::Shared()->GroupsNamed("Nieuw").size(), 1u);
  EXPECT_TRUE(CardsIn(Folder()).empty());
}

TEST_F(ImportTest, cancelledImportLeavesNothingBehind) {
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.AppendLink(Link("FirstName", 0));
  RecordingObserver observer(2);
  EXPECT_TRUE(book.Import(Names(5), map, &observer));
  EXPECT_EQ(observer.Calls(), (std::vector<std::string>{"started", "length 5", "step", "step"}));
  EXPECT_FALSE(ABStore::Shared()->HasUnsavedChanges());
  EXPECT_TRUE(book.Save());
  EXPECT_TRUE(CardsIn(Folder()).empty());
}

TEST_F(ImportTest, failedSaveIsReported) {
  const std::filesystem::path file = mDir.Write("plain", "x");
  ABStore::SetSharedFolder(file / "contacts");
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.AppendLink(Link("FirstName", 0));
  RecordingObserver observer;
  EXPECT_FALSE(book.Import(Names(2), map, &observer));
  EXPECT_EQ(observer.Calls().back(), "ended");
  EXPECT_FALSE(ABStore::Shared()->LastError().empty());
}

TEST_F(ImportTest, valuesLabelsAndConversions) {
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.AppendLink(Link("FirstName", 0));
  map.AppendLink(Link("FirstName", 1));
  map.AppendLink(Link("Phone", 2, "LabelMobile"));
  map.AppendLink(Link("Phone", 3, "Summer house"));
  map.AppendLink(Link("Phone", 9, "LabelWork"));
  map.AppendLink(Link("RelatedName", 4, "LabelFather"));
  map.AppendLink(Link("Note", 5));
  auto address = Link("Address", 0, "LabelHome");
  address->AppendSubLink(Link("Street", 5));
  address->AppendSubLink(Link("City", 6));
  map.AppendLink(address);
  auto empty = Link("Address", 0, "LabelWork");
  empty->AppendSubLink(Link("Street", 9));
  map.AppendLink(empty);
  const std::vector<ABRecord> records = {
      ABRecord{"Zoë", "Other", "+31 6 1234", "0299 1234", "Jan", "one\\ntwo", "Utrecht"}};
  ASSERT_TRUE(book.Import(records, map, nullptr)) << ABStore::Shared()->LastError();
  const std::vector<Card> cards = CardsIn(Folder());
  ASSERT_EQ(cards.size(), 1u);
  const Card& card = cards[0];
  EXPECT_EQ(card.empty() ? "" : All(card, "N")[0]->Components(';')[1], "Zoë");
  EXPECT_EQ(TextOf(card, "NOTE"), "one\ntwo");
  const std::vector<const ABVCardProperty*> phones = All(card, "TEL");
  ASSERT_EQ(phones.size(), 2u);
  EXPECT_EQ(phones[0]->Text(), "+31 6 1234");
  EXPECT_EQ(LabelOf(card, *phones[0]), "CELL");
  EXPECT_EQ(phones[1]->Text(), "0299 1234");
  EXPECT_EQ(LabelOf(card, *phones[1]), "Summer house");
  const std::vector<const ABVCardProperty*> related = All(card, "X-ABRELATEDNAMES");
  ASSERT_EQ(related.size(), 1u);
  EXPECT_EQ(LabelOf(card, *related[0]), App().Language()->Text("LabelFather"));
  const std::vector<const ABVCardProperty*> addresses = All(card, "ADR");
  ASSERT_EQ(addresses.size(), 1u);
  EXPECT_EQ(addresses[0]->Components(';'),
            (std::vector<std::string>{"", "", "one\\ntwo", "Utrecht", "", "", ""}));
  EXPECT_EQ(LabelOf(card, *addresses[0]), "HOME");
}

TEST_F(ImportTest, companyFlagNeedsACompanyAndNoName) {
  struct FlagCase {
    const char* first;
    const char* company;
    const char* nickname;
    int version;
    bool company_card;
  };
  const FlagCase cases[] = {
      {"", "Bakkerij Visser", "", 0x1040, true},
      {"Anna", "Bakkerij Visser", "", 0x1040, false},
      {"", "", "Ankie", 0x1040, false},
      {"", "Bakkerij Visser", "", 0x1020, false},
      {"", "Bakkerij Visser", "Ankie", 0x1040, true},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(std::string(c.first) + "/" + c.company + "/" + c.nickname);
    TempDir dir;
    ABStore::SetSharedFolder(dir.Path());
    SystemInfo::OverrideSystemVersionCode(c.version);
    ABAppleAddressBook book;
    ABMap map(std::shared_ptr<ABAddressBook>{});
    map.AppendLink(Link("FirstName", 0));
    map.AppendLink(Link("Company", 1));
    map.AppendLink(Link("Nickname", 2));
    ASSERT_TRUE(book.Import({ABRecord{c.first, c.company, c.nickname}}, map, nullptr));
    const std::vector<Card> cards = CardsIn(dir.Path());
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(TextOf(cards[0], "X-ABShowAs") == "COMPANY", c.company_card);
  }
}

TEST_F(ImportTest, olderLevelsWriteOneHomePage) {
  SystemInfo::OverrideSystemVersionCode(0x1030);
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.AppendLink(Link("URL", 0, "LabelHomepage"));
  map.AppendLink(Link("URL", 1, "LabelWork"));
  ASSERT_TRUE(book.Import({ABRecord{"https://a.example", "https://b.example"}}, map, nullptr));
  const std::vector<Card> cards = CardsIn(Folder());
  ASSERT_EQ(cards.size(), 1u);
  const std::vector<const ABVCardProperty*> urls = All(cards[0], "URL");
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0]->Text(), "https://a.example");
}

std::string BirthdayAfterImport(const std::string& text, const std::filesystem::path& folder) {
  ABStore::SetSharedFolder(folder);
  ABAppleAddressBook book;
  ABMap map(std::shared_ptr<ABAddressBook>{});
  map.AppendLink(Link("FirstName", 0));
  map.AppendLink(Link("Birthday", 1));
  EXPECT_TRUE(book.Import({ABRecord{"Anna", text}}, map, nullptr));
  const std::vector<Card> cards = CardsIn(folder);
  return cards.size() == 1 ? TextOf(cards[0], "BDAY") : "no card";
}

TEST_F(ImportTest, birthdaysAreParsedOrSkipped) {
  const std::pair<const char*, const char*> cases[] = {
      {"1980-05-01", "1980-05-01"},
      {"5/1/1980", "1980-05-01"},
      {"1 May 1980", "1980-05-01"},
      {"2036-03-04", "1936-03-04"},
      {"2035-03-04", "2035-03-04"},
      {"3/4/80", "1980-03-04"},
      {"someday", ""},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    TempDir dir;
    EXPECT_EQ(BirthdayAfterImport(text, dir.Path()), expected);
  }
}

// Runs with the process's time zone set to `zone`, and restores it afterwards.
class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone) {
    const char* previous = getenv("TZ");
    mHadPrevious = previous != nullptr;
    mPrevious = previous ? previous : "";
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZoneScope() {
    if (mHadPrevious) {
      setenv("TZ", mPrevious.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool mHadPrevious;
  std::string mPrevious;
};

TEST_F(ImportTest, birthdayIsTheWrittenDayInEveryTimeZone) {
  const char* zones[] = {
      "Etc/GMT+12",       "Pacific/Pago_Pago", "America/New_York",    "America/St_Johns",  "UTC",
      "Europe/Amsterdam", "Asia/Kathmandu",    "Australia/Lord_Howe", "Pacific/Kiritimati"};
  const char* days[] = {"1980-05-01", "1975-07-15", "2000-02-29", "1969-12-31",
                        "1901-01-01", "2035-12-31", "2001-01-01", "1999-03-28"};
  for (const char* zone : zones) {
    TimeZoneScope scope(zone);
    for (const char* day : days) {
      SCOPED_TRACE(std::string(zone) + " " + day);
      TempDir dir;
      EXPECT_EQ(BirthdayAfterImport(day, dir.Path()), day);
    }
  }
}

TEST_F(ImportTest, birthdayKeepsItsDayWhenTheOffsetChangesDuringTheImport) {
  // Daylight saving may begin or end between making the address book and saving the store.
  for (const std::int32_t offset : {-43200, -18000, 0, 3600, 50400}) {
    for (const std::int32_t change : {-3600, 3600}) {
      SCOPED_TRACE(std::to_string(offset) + " then " + std::to_string(offset + change));
      TempDir dir;
      ABStore::SetSharedFolder(dir.Path());
      SystemInfo::OverrideGmtOffsetSeconds(offset);
      ABAppleAddressBook book;
      ABMap map(std::shared_ptr<ABAddressBook>{});
      map.AppendLink(Link("Birthday", 0));
      map.AppendLink(Link("FirstName", 1));
      RecordingObserver observer;
      SystemInfo::OverrideGmtOffsetSeconds(offset + change);
      ASSERT_TRUE(book.Import({ABRecord{"1980-05-01", "Anna"}}, map, &observer));
      const std::vector<Card> cards = CardsIn(dir.Path());
      ASSERT_EQ(cards.size(), 1u);
      EXPECT_EQ(TextOf(cards[0], "BDAY"), "1980-05-01");
    }
  }
}

}  // namespace
