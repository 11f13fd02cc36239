#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>
#include <thread>

#include "StoreTestSupport.h"
#include "addressbook/store/ABStore.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABVCardReader.h"
#include "support/TestSupport.h"

namespace {

using namespace abstore;
namespace fs = std::filesystem;
using storetest::CardFiles;
using storetest::FolderNames;
using testsupport::ReadFile;
using testsupport::TempDir;

const std::string kForeignCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:foreign\r\nFN:Zed\r\nCATEGORIES:Friends,Work\r\n"
    "END:VCARD\r\n";

class ABStoreTest : public testing::Test {
 protected:
  fs::path Folder() const { return mTemp.Path() / "contacts"; }

  std::shared_ptr<ABStorePerson> AddPerson(ABStore& store, const std::string& first) {
    std::shared_ptr<ABStorePerson> person = store.CreatePerson();
    EXPECT_TRUE(person->SetValue(kFirstProperty, first));
    EXPECT_TRUE(store.AddRecord(person));
    return person;
  }

  std::shared_ptr<ABStoreGroup> AddGroup(ABStore& store, const std::string& name) {
    std::shared_ptr<ABStoreGroup> group = store.CreateGroup();
    EXPECT_TRUE(group->SetValue(kGroupNameProperty, name));
    EXPECT_TRUE(store.AddRecord(group));
    return group;
  }

  storetest::GmtOffsetOverride mOffset{0};
  TempDir mTemp;
};

// Unique ids taken in turn from a list, for tests that need known file names.
std::function<std::string()> IdsFrom(std::vector<std::string> ids) {
  auto next = std::make_shared<std::size_t>(0);
  return [ids = std::move(ids), next] { return ids.at((*next)++ % ids.size()); };
}

TEST_F(ABStoreTest, shouldSaveEveryPendingPersonAsItsOwnCard) {
  ABStore store(Folder());
  std::vector<std::shared_ptr<ABStorePerson>> people;
  for (const char* name : {"Ann", "Bea", "Cas"}) {
    people.push_back(AddPerson(store, name));
  }
  EXPECT_TRUE(store.HasUnsavedChanges());
  EXPECT_EQ(store.PendingCount(), 3u);
  EXPECT_TRUE(people[0]->UniqueId().empty());

  ASSERT_TRUE(store.Save()) << store.LastError();
  EXPECT_FALSE(store.HasUnsavedChanges());
  EXPECT_EQ(store.PendingCount(), 0u);
  EXPECT_EQ(store.LastError(), "");
  ASSERT_EQ(CardFiles(Folder()).size(), 3u);
  EXPECT_EQ(FolderNames(Folder()).size(), 3u) << "temporary files left behind";

  const std::regex uuid("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  for (const auto& person : people) {
    SCOPED_TRACE(person->Text(kFirstProperty));
    EXPECT_TRUE(person->IsSaved());
    EXPECT_TRUE(std::regex_match(person->UniqueId(), uuid)) << person->UniqueId();
    const std::string card = ReadFile(Folder() / (person->UniqueId() + ".vcf"));
    const auto cards = ABVCardReader::Cards(card);
    ASSERT_TRUE(cards && cards->size() == 1u);
    EXPECT_NE(card.find("\r\nUID:" + person->UniqueId() + "\r\n"), std::string::npos);
    EXPECT_NE(card.find("\r\nN:;" + std::string(person->Text(kFirstProperty)) + ";;;\r\n"),
              std::string::npos);
  }
  EXPECT_NE(people[0]->UniqueId(), people[1]->UniqueId());

  // A second save writes only what was added since.
  AddPerson(store, "Dee");
  ASSERT_TRUE(store.Save()) << store.LastError();
  EXPECT_EQ(CardFiles(Folder()).size(), 4u);
}

TEST_F(ABStoreTest, shouldLeaveTheFolderAloneUntilSomethingIsSaved) {
  const fs::path folder = mTemp.Path() / "not" / "yet";
  ABStore store(folder);
  EXPECT_EQ(store.Folder(), folder);
  EXPECT_FALSE(store.HasUnsavedChanges());
  EXPECT_TRUE(store.Save());
  EXPECT_TRUE(store.GroupsNamed("Friends").empty());
  EXPECT_EQ(store.LastError(), "");
  EXPECT_FALSE(fs::exists(folder));

  AddPerson(store, "Ann");
  ASSERT_TRUE(store.Save()) << store.LastError();
  EXPECT_EQ(CardFiles(folder).size(), 1u);
}

TEST_F(ABStoreTest, shouldFailWithoutTraceWhenTheFolderCannotBeMade) {
  const fs::path blocker = mTemp.Write("blocker", "a file, not a folder");
  const fs::path folder = blocker / "contacts";
  ABStore store(folder);
  AddPerson(store, "Ann");
  AddPerson(store, "Bea");

  EXPECT_FALSE(store.Save());
  EXPECT_NE(store.LastError().find(folder.string()), std::string::npos) << store.LastError();
  EXPECT_EQ(store.PendingCount(), 2u);
  EXPECT_TRUE(store.HasUnsavedChanges());
  EXPECT_EQ(ReadFile(blocker), "a file, not a folder");
  EXPECT_EQ(FolderNames(mTemp.Path()), std::vector<std::string>{"blocker"});

  // The people are still there to save once the folder can be made.
  fs::remove(blocker);
  ASSERT_TRUE(store.Save()) << store.LastError();
  EXPECT_EQ(CardFiles(folder).size(), 2u);
  EXPECT_EQ(store.LastError(), "");
}

TEST_F(ABStoreTest, shouldNeverReplaceAnExistingCard) {
  fs::create_directories(Folder());
  const std::string existing = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Kept\r\nEND:VCARD\r\n";
  mTemp.Write("contacts/taken.vcf", existing);

  ABStore store(Folder());
  store.SetUniqueIdSource(IdsFrom({"first-new", "taken"}));
  AddPerson(store, "Ann");
  AddPerson(store, "Bea");

  EXPECT_FALSE(store.Save());
  EXPECT_NE(store.LastError().find("taken.vcf"), std::string::npos) << store.LastError();
  EXPECT_NE(store.LastError().find(Folder().string()), std::string::npos) << store.LastError();
  EXPECT_EQ(ReadFile(Folder() / "taken.vcf"), existing);
  // The card already moved to its name in this save is gone again, with every temporary file.
  EXPECT_EQ(FolderNames(Folder()), std::vector<std::string>{"taken.vcf"});
  EXPECT_EQ(store.PendingCount(), 2u);

  store.SetUniqueIdSource(IdsFrom({"second-new", "third-new"}));
  ASSERT_TRUE(store.Save()) << store.LastError();
  EXPECT_EQ(FolderNames(Folder()),
            (std::vector<std::string>{"second-new.vcf", "taken.vcf", "third-new.vcf"}));
  EXPECT_EQ(ReadFile(Folder() / "taken.vcf"), existing);
}

TEST_F(ABStoreTest, shouldRefuseUnsafeCardNames) {
  ABStore store(Folder());
  AddPerson(store, "Ann");
  for (const std::string& id : {std::string("../escape"), std::string("")}) {
    SCOPED_TRACE(id);
    store.SetUniqueIdSource(IdsFrom({id}));
    EXPECT_FALSE(store.Save());
    EXPECT_NE(store.LastError().find(Folder().string()), std::string::npos);
    EXPECT_EQ(store.PendingCount(), 1u);
  }
  EXPECT_EQ(FolderNames(mTemp.Path()), std::vector<std::string>{"contacts"});
  EXPECT_TRUE(FolderNames(Folder()).empty());
}

TEST_F(ABStoreTest, shouldDiscardUnsavedChanges) {
  ABStore store(Folder());
  auto group = AddGroup(store, "Trip");
  auto person = AddPerson(store, "Ann");
  ASSERT_TRUE(store.AddMember(group, person));
  ASSERT_EQ(store.GroupsNamed("Trip").size(), 1u);

  store.DiscardUnsavedChanges();
  EXPECT_FALSE(store.HasUnsavedChanges());
  EXPECT_EQ(store.PendingCount(), 0u);
  EXPECT_TRUE(store.GroupsNamed("Trip").empty());
  EXPECT_TRUE(store.Save());
  EXPECT_FALSE(fs::exists(Folder()));

  // A discarded person is free to join a store again, without its old memberships.
  ASSERT_TRUE(store.AddRecord(person));
  ASSERT_TRUE(store.Save()) << store.LastError();
  ASSERT_EQ(CardFiles(Folder()).size(), 1u);
  EXPECT_EQ(ReadFile(CardFiles(Folder())[0]).find("CATEGORIES"), std::string::npos);
}

TEST_F(ABStoreTest, shouldFindGroupsInTheCategoriesOfUnderstoodCards) {
  fs::create_directories(Folder() / "sub.vcf");
  const std::vector<std::pair<std::string, std::string>> files = {
      {"a.vcf", kForeignCard},
      {"b.vcf", "BEGIN:VCARD\nVERSION:3.0\nCATEGORIES:Friends,Ch\n ess\nEND:VCARD\n"},
      {"c.txt", "BEGIN:VCARD\r\nCATEGORIES:NotACard\r\nEND:VCARD\r\n"},
      {"d.vcf.tmp", "BEGIN:VCARD\r\nCATEGORIES:Temporary\r\nEND:VCARD\r\n"},
      {"e.vcf", "BEGIN:VCARD\r\nCATEGORIES:Unclosed\r\n"},
      {"f.vcf", "\x89PNG\r\n\x1A\n binary"},
      {"g.vcf", "BEGIN:VCARD\r\nCATEGORIES:Bad\xFF\r\nEND:VCARD\r\n"},
  };
  for (const auto& [name, content] : files) {
    mTemp.Write("contacts/" + name, content);
  }
  ASSERT_EQ(mkfifo((Folder() / "h.vcf").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", (Folder() / "i.vcf").c_str()), 0);
  const std::vector<std::string> before = FolderNames(Folder());

  ABStore store(Folder());
  const auto friends = store.GroupsNamed("Friends");
  ASSERT_EQ(friends.size(), 1u);
  EXPECT_EQ(friends[0]->Name(), "Friends");
  EXPECT_TRUE(friends[0]->IsSaved());
  EXPECT_EQ(store.GroupsNamed("Work").size(), 1u);
  EXPECT_EQ(store.GroupsNamed("Chess").size(), 1u);
  for (const char* absent : {"friends", "NotACard", "Temporary", "Unclosed", "Bad", ""}) {
    SCOPED_TRACE(absent);
    EXPECT_TRUE(store.GroupsNamed(absent).empty());
  }
  EXPECT_EQ(store.LastError(), "");

  // Added groups come after the existing one of the same name.
  auto added = AddGroup(store, "Friends");
  const auto both = store.GroupsNamed("Friends");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0], friends[0]);
  EXPECT_EQ(both[1], added);

  // Saving into the folder leaves every file that was there as it was.
  auto person = AddPerson(store, "Ann");
  ASSERT_TRUE(store.AddMember(friends[0], person));
  ASSERT_TRUE(store.Save()) << store.LastError();
  std::vector<std::string> after = FolderNames(Folder());
  std::erase(after, person->UniqueId() + ".vcf");
  EXPECT_EQ(after, before);
  for (const auto& [name, content] : files) {
    EXPECT_EQ(ReadFile(Folder() / name), content) << name;
  }
}

TEST_F(ABStoreTest, shouldWriteMembershipsAsCategoriesThatANewStoreFinds) {
  fs::create_directories(Folder());
  mTemp.Write("contacts/old.vcf", kForeignCard);
  {
    ABStore store(Folder());
    const auto work = store.GroupsNamed("Work");
    ASSERT_EQ(work.size(), 1u);
    auto chess = AddGroup(store, "Chess, Go");
    auto ann = AddPerson(store, "Ann");
    auto bea = AddPerson(store, "Bea");
    ASSERT_TRUE(store.AddMember(work[0], ann));
    ASSERT_TRUE(store.AddMember(chess, ann));
    ASSERT_TRUE(store.AddMember(chess, ann));
    ASSERT_TRUE(store.AddMember(chess, bea));
    ASSERT_TRUE(store.Save()) << store.LastError();
    EXPECT_TRUE(chess->IsSaved());
    EXPECT_FALSE(chess->SetValue(kGroupNameProperty, std::string("Renamed")));

    const std::string annCard = ReadFile(Folder() / (ann->UniqueId() + ".vcf"));
    EXPECT_NE(annCard.find("\r\nCATEGORIES:Work,Chess\\, Go\r\n"), std::string::npos) << annCard;
    const std::string beaCard = ReadFile(Folder() / (bea->UniqueId() + ".vcf"));
    EXPECT_NE(beaCard.find("\r\nCATEGORIES:Chess\\, Go\r\n"), std::string::npos) << beaCard;
    EXPECT_EQ(store.GroupsNamed("Chess, Go").size(), 1u);
  }
  ABStore reopened(Folder());
  EXPECT_EQ(reopened.GroupsNamed("Chess, Go").size(), 1u);
  EXPECT_EQ(reopened.GroupsNamed("Work").size(), 1u);
  EXPECT_EQ(reopened.GroupsNamed("Friends").size(), 1u);
}

TEST_F(ABStoreTest, shouldAcceptRecordsAndMembersOnlyOnce) {
  ABStore store(Folder());
  ABStore other(mTemp.Path() / "other");
  auto person = store.CreatePerson();
  auto group = store.CreateGroup();
  auto stranger = other.CreatePerson();
  auto strangerGroup = other.CreateGroup();
  ASSERT_TRUE(other.AddRecord(stranger));
  ASSERT_TRUE(other.AddRecord(strangerGroup));

  EXPECT_FALSE(store.AddRecord(nullptr));
  EXPECT_FALSE(store.AddMember(group, person)) << "neither is in the store yet";
  EXPECT_TRUE(store.AddRecord(person));
  EXPECT_FALSE(store.AddRecord(person));
  EXPECT_FALSE(store.AddRecord(stranger));
  EXPECT_FALSE(store.AddMember(group, person)) << "the group is not in the store yet";
  EXPECT_TRUE(store.AddRecord(group));
  EXPECT_TRUE(store.AddMember(group, person));
  EXPECT_FALSE(store.AddMember(strangerGroup, person));
  EXPECT_FALSE(store.AddMember(group, stranger));
  EXPECT_FALSE(store.AddMember(nullptr, person));
  EXPECT_FALSE(store.AddMember(group, nullptr));
  EXPECT_EQ(store.PendingCount(), 1u);

  ASSERT_TRUE(person->SetValue(kFirstProperty, std::string("Ann")));
  ASSERT_TRUE(store.Save()) << store.LastError();
  // What is on disk does not change: no new values, no new memberships, no second card.
  EXPECT_FALSE(person->SetValue(kFirstProperty, std::string("Bea")));
  EXPECT_EQ(person->Text(kFirstProperty), "Ann");
  EXPECT_FALSE(store.AddMember(group, person));
  EXPECT_FALSE(store.AddRecord(person));
  EXPECT_EQ(store.PendingCount(), 0u);
}

TEST_F(ABStoreTest, shouldCountAnAddedGroupAsAnUnsavedChange) {
  ABStore store(Folder());
  auto group = AddGroup(store, "Empty");
  EXPECT_TRUE(store.HasUnsavedChanges());
  EXPECT_EQ(store.PendingCount(), 0u);
  ASSERT_TRUE(store.Save());
  EXPECT_FALSE(store.HasUnsavedChanges());
  EXPECT_EQ(store.GroupsNamed("Empty").size(), 1u);
}

TEST_F(ABStoreTest, shouldReportAFolderThatCannotBeRead) {
  const fs::path file = mTemp.Write("contacts", "not a folder");
  ABStore store(file);
  EXPECT_TRUE(store.GroupsNamed("Friends").empty());
  EXPECT_NE(store.LastError().find(file.string()), std::string::npos) << store.LastError();
}

TEST_F(ABStoreTest, shouldSaveALargeBatchWithDistinctNames) {
  ABStore store(Folder());
  for (int i = 0; i < 300; ++i) {
    AddPerson(store, "Person " + std::to_string(i));
  }
  ASSERT_TRUE(store.Save()) << store.LastError();
  EXPECT_EQ(FolderNames(Folder()).size(), 300u);
}

TEST(ABStoreSharedTest, shouldOpenTheSharedStoreOnTheChosenFolder) {
  TempDir temp;
  ABStore::SetSharedFolder(temp.Path() / "one");
  const std::shared_ptr<ABStore> first = ABStore::Shared();
  EXPECT_EQ(first->Folder(), temp.Path() / "one");
  EXPECT_EQ(ABStore::Shared(), first);

  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&temp, i] {
      for (int round = 0; round < 50; ++round) {
        if (i == 0) {
          ABStore::SetSharedFolder(temp.Path() / "two");
        } else {
          EXPECT_NE(ABStore::Shared(), nullptr);
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_NE(ABStore::Shared(), first);
  EXPECT_EQ(ABStore::Shared()->Folder(), temp.Path() / "two");
}

TEST(ABStoreSharedTest, shouldPlaceTheDefaultFolderInTheUsersDataFolder) {
  const char* savedData = std::getenv("XDG_DATA_HOME");
  const char* savedHome = std::getenv("HOME");
  const std::string data = savedData ? savedData : "";
  const std::string home = savedHome ? savedHome : "";

  setenv("HOME", "/home/ann", 1);
  setenv("XDG_DATA_HOME", "/data/ann", 1);
  EXPECT_EQ(ABStore::DefaultFolder(), fs::path("/data/ann/quillbrook/contacts"));
  setenv("XDG_DATA_HOME", "relative/data", 1);
  EXPECT_EQ(ABStore::DefaultFolder(), fs::path("/home/ann/.local/share/quillbrook/contacts"));
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(ABStore::DefaultFolder(), fs::path("/home/ann/.local/share/quillbrook/contacts"));

  savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
  savedData ? setenv("XDG_DATA_HOME", data.c_str(), 1) : unsetenv("XDG_DATA_HOME");
}

}  // namespace
