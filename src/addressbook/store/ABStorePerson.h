#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/store/ABStoreRecord.h"

class ABStoreGroup;

// A person of the store; each saved person is one vCard file in the store's folder.
class ABStorePerson final : public ABStoreRecord {
 public:
  ABStorePerson() = default;

  // The UID of the person's card; empty until the person is saved.
  const std::string& UniqueId() const { return mUniqueId; }
  // The groups the person joined, in the order joined.
  const std::vector<std::shared_ptr<ABStoreGroup>>& Groups() const { return mGroups; }

  // The kind of value a person key holds; none for a key that is not a person key.
  static std::optional<ABValueKind> KeyKind(std::string_view key);

 protected:
  std::optional<ABValueKind> KindOf(std::string_view key) const override { return KeyKind(key); }

 private:
  friend class ABStore;

  std::string mUniqueId;
  std::vector<std::shared_ptr<ABStoreGroup>> mGroups;
};
