#include "addressbook/store/ABStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "addressbook/SystemInfo.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABUuidGenerator.h"
#include "addressbook/store/ABVCardBatch.h"
#include "addressbook/store/ABVCardReader.h"
#include "addressbook/store/ABVCardWriter.h"

namespace {

// Larger files are not cards the store needs to read (photos aside, a card is a few kilobytes).
constexpr off_t kLargestCardBytes = 16 * 1024 * 1024;

std::mutex gSharedMutex;
std::shared_ptr<ABStore> gShared;
std::optional<std::filesystem::path> gSharedFolder;

// The whole content of a regular file; none for anything else or a read error.
std::optional<std::string> ReadCardFile(const std::filesystem::path& path) {
  // Non-blocking, so that a FIFO named like a card cannot hang the reader.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<std::string> content;
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= kLargestCardBytes) {
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t filled = 0;
    bool failed = false;
    while (filled < bytes.size()) {
      const ssize_t got = read(fd, bytes.data() + filled, bytes.size() - filled);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      if (got <= 0) {
        failed = got < 0;
        break;
      }
      filled += static_cast<std::size_t>(got);
    }
    if (!failed) {
      bytes.resize(filled);
      content = std::move(bytes);
    }
  }
  close(fd);
  return content;
}

}  // namespace

std::shared_ptr<ABStore> ABStore::Shared() {
  std::lock_guard<std::mutex> lock(gSharedMutex);
  if (!gShared) {
    gShared = std::make_shared<ABStore>(gSharedFolder ? *gSharedFolder : DefaultFolder());
  }
  return gShared;
}

void ABStore::SetSharedFolder(std::filesystem::path folder) {
  auto store = std::make_shared<ABStore>(folder);
  std::lock_guard<std::mutex> lock(gSharedMutex);
  gSharedFolder = std::move(folder);
  gShared = std::move(store);
}

std::filesystem::path ABStore::DefaultFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::filesystem::path base;
  // The XDG rules ignore a relative XDG_DATA_HOME.
  if (dataHome != nullptr && dataHome[0] == '/') {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* user = getpwuid(getuid());
      home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
    }
    base = std::filesystem::path(home) / ".local" / "share";
  }
  return base / "quillbrook" / "contacts";
}

ABStore::ABStore(std::filesystem::path folder)
    : mFolder(std::move(folder)), mUuids(std::make_unique<ABUuidGenerator>()) {}

ABStore::~ABStore() {
  // Records that outlive the store must not look as if they still belonged to it.
  for (const std::shared_ptr<ABStorePerson>& person : mPending) {
    person->mStore = nullptr;
    person->mGroups.clear();
  }
  for (const std::shared_ptr<ABStoreGroup>& group : mGroups) {
    group->mStore = nullptr;
  }
}

std::shared_ptr<ABStorePerson> ABStore::CreatePerson() {
  return std::make_shared<ABStorePerson>();
}

std::shared_ptr<ABStoreGroup> ABStore::CreateGroup() {
  return std::make_shared<ABStoreGroup>();
}

bool ABStore::AddRecord(const std::shared_ptr<ABStoreRecord>& record) {
  if (!record || record->mStore != nullptr) {
    return false;
  }
  if (auto person = std::dynamic_pointer_cast<ABStorePerson>(record)) {
    person->mStore = this;
    mPending.push_back(std::move(person));
    return true;
  }
  if (auto group = std::dynamic_pointer_cast<ABStoreGroup>(record)) {
    group->mStore = this;
    mGroups.push_back(std::move(group));
    ++mUnsavedGroupCount;
    return true;
  }
  return false;
}

bool ABStore::AddMember(const std::shared_ptr<ABStoreGroup>& group,
                        const std::shared_ptr<ABStorePerson>& person) {
  if (!group || !person || group->mStore != this || person->mStore != this || person->mSaved) {
    return false;
  }
  std::vector<std::shared_ptr<ABStoreGroup>>& groups = person->mGroups;
  if (std::find(groups.begin(), groups.end(), group) == groups.end()) {
    groups.push_back(group);
  }
  return true;
}

void ABStore::ReadFolderGroups() {
  mFolderRead = true;
  std::error_code error;
  std::filesystem::directory_iterator entries(mFolder, error);
  if (error) {
    if (error != std::errc::no_such_file_or_directory) {
      mLastError = "Could not read the folder \"" + mFolder.string() + "\": " + error.message();
    }
    return;
  }
  std::unordered_set<std::string> known;
  for (const std::shared_ptr<ABStoreGroup>& group : mGroups) {
    if (group->mSaved) {
      known.insert(group->Name());
    }
  }
  std::vector<std::shared_ptr<ABStoreGroup>> found;
  for (auto it = entries; it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::filesystem::path& path = it->path();
    if (path.extension() != ".vcf") {
      continue;
    }
    const std::optional<std::string> content = ReadCardFile(path);
    if (!content) {
      continue;
    }
    const std::optional<std::vector<std::string>> names = ABVCardReader::Categories(*content);
    if (!names) {
      continue;
    }
    for (const std::string& name : *names) {
      if (!known.insert(name).second) {
        continue;
      }
      auto group = std::make_shared<ABStoreGroup>();
      group->SetValue(abstore::kGroupNameProperty, name);
      group->mStore = this;
      group->mSaved = true;
      found.push_back(std::move(group));
    }
  }
  if (error) {
    mLastError = "Could not read the folder \"" + mFolder.string() + "\": " + error.message();
  }
  mGroups.insert(mGroups.begin(), found.begin(), found.end());
}

std::vector<std::shared_ptr<ABStoreGroup>> ABStore::GroupsNamed(std::string_view name) {
  if (!mFolderRead) {
    ReadFolderGroups();
  }
  std::vector<std::shared_ptr<ABStoreGroup>> matches;
  for (bool saved : {true, false}) {
    for (const std::shared_ptr<ABStoreGroup>& group : mGroups) {
      if (group->mSaved == saved && group->Text(abstore::kGroupNameProperty) == name) {
        matches.push_back(group);
      }
    }
  }
  return matches;
}

bool ABStore::HasUnsavedChanges() const {
  return !mPending.empty() || mUnsavedGroupCount > 0;
}

void ABStore::SetUniqueIdSource(std::function<std::string()> source) {
  mUniqueIdSource = std::move(source);
}

std::string ABStore::NextUniqueId() {
  return mUniqueIdSource ? mUniqueIdSource() : mUuids->Next();
}

bool ABStore::Save() {
  if (!mPending.empty()) {
    ABVCardBatch batch(mFolder);
    if (!batch.Open()) {
      mLastError = batch.LastError();
      return false;
    }
    const ABVCardWriter writer(SystemInfo::GmtOffsetSeconds(),
                               ABVCardWriter::FormatTimestamp(std::chrono::system_clock::now()));
    std::vector<std::string> uids;
    uids.reserve(mPending.size());
    std::vector<std::string> categories;
    std::string card;
    for (const std::shared_ptr<ABStorePerson>& person : mPending) {
      std::string uid = NextUniqueId();
      if (uid.empty()) {
        mLastError =
            "Could not make a unique name for a card in the folder \"" + mFolder.string() + "\"";
        return false;
      }
      categories.clear();
      for (const std::shared_ptr<ABStoreGroup>& group : person->mGroups) {
        std::string name = group->Name();
        if (!name.empty() &&
            std::find(categories.begin(), categories.end(), name) == categories.end()) {
          categories.push_back(std::move(name));
        }
      }
      card.clear();
      writer.Write(*person, uid, categories, card);
      if (!batch.Add(uid + ".vcf", card)) {
        mLastError = batch.LastError();
        return false;
      }
      uids.push_back(std::move(uid));
    }
    if (!batch.Commit()) {
      mLastError = batch.LastError();
      return false;
    }
    for (std::size_t i = 0; i < mPending.size(); ++i) {
      ABStorePerson& person = *mPending[i];
      person.mUniqueId = std::move(uids[i]);
      person.mSaved = true;
      for (const std::shared_ptr<ABStoreGroup>& group : person.mGroups) {
        group->mSaved = true;
      }
    }
    mPending.clear();
  }
  // A group without members has no card of its own; it stays known to this store only.
  for (const std::shared_ptr<ABStoreGroup>& group : mGroups) {
    group->mSaved = true;
  }
  mUnsavedGroupCount = 0;
  mLastError.clear();
  return true;
}

void ABStore::DiscardUnsavedChanges() {
  for (const std::shared_ptr<ABStorePerson>& person : mPending) {
    person->mStore = nullptr;
    person->mGroups.clear();
  }
  mPending.clear();
  std::erase_if(mGroups, [](const std::shared_ptr<ABStoreGroup>& group) {
    if (group->mSaved) {
      return false;
    }
    group->mStore = nullptr;
    return true;
  });
  mUnsavedGroupCount = 0;
}
