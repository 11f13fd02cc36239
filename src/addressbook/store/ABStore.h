#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/store/ABStoreGroup.h"
#include "addressbook/store/ABStorePerson.h"

class ABUuidGenerator;

// The address-book store: people and groups kept as a folder of vCard files, one per person.
// New people stay pending in memory until Save writes them all at once. Used by one thread at a
// time; only Shared and SetSharedFolder may be called from any thread.
class ABStore final {
 public:
  // The shared store, opened on first use on DefaultFolder() unless SetSharedFolder chose another.
  static std::shared_ptr<ABStore> Shared();
  // Chooses the folder of the shared store; replaces the shared store by one on that folder.
  static void SetSharedFolder(std::filesystem::path folder);
  // $XDG_DATA_HOME/quillbrook/contacts, by default ~/.local/share/quillbrook/contacts.
  static std::filesystem::path DefaultFolder();

  // A store on the folder; the folder is not touched until it is needed.
  explicit ABStore(std::filesystem::path folder);
  ~ABStore();
  ABStore(const ABStore&) = delete;
  ABStore& operator=(const ABStore&) = delete;

  const std::filesystem::path& Folder() const { return mFolder; }

  // A new person, not in the store yet.
  std::shared_ptr<ABStorePerson> CreatePerson();
  // A new group, not in the store yet.
  std::shared_ptr<ABStoreGroup> CreateGroup();
  // Adds a person or group that is in no store yet; a person stays pending until Save.
  bool AddRecord(const std::shared_ptr<ABStoreRecord>& record);
  // Makes a pending person of this store a member of a group of this store.
  bool AddMember(const std::shared_ptr<ABStoreGroup>& group,
                 const std::shared_ptr<ABStorePerson>& person);
  // Groups whose GroupName equals the name exactly: first those already in the folder (the
  // categories of its cards, read on first use), then those added.
  std::vector<std::shared_ptr<ABStoreGroup>> GroupsNamed(std::string_view name);

  bool HasUnsavedChanges() const;
  // Writes every pending person as a new card, all or nothing; false with LastError on failure,
  // leaving them pending.
  bool Save();
  // Drops every pending person and membership and the groups added since the last save.
  void DiscardUnsavedChanges();
  // Why the last Save or folder read failed; empty after a success.
  const std::string& LastError() const { return mLastError; }
  std::size_t PendingCount() const { return mPending.size(); }

  // Replaces the random UUIDs of new cards (tests that need known file names).
  void SetUniqueIdSource(std::function<std::string()> source);

 private:
  void ReadFolderGroups();
  std::string NextUniqueId();

  std::filesystem::path mFolder;
  std::vector<std::shared_ptr<ABStorePerson>> mPending;
  std::vector<std::shared_ptr<ABStoreGroup>> mGroups;
  std::size_t mUnsavedGroupCount = 0;
  bool mFolderRead = false;
  std::string mLastError;
  std::function<std::string()> mUniqueIdSource;
  std::unique_ptr<ABUuidGenerator> mUuids;
};
