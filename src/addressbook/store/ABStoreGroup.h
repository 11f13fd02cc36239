#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "addressbook/store/ABStoreRecord.h"

// A group of the store; on disk it is a category on the cards of its members.
class ABStoreGroup final : public ABStoreRecord {
 public:
  ABStoreGroup() = default;

  // The GroupName text; empty when none is set.
  std::string Name() const;

  // The kind of value a group key holds; none for a key that is not a group key.
  static std::optional<ABValueKind> KeyKind(std::string_view key);

 protected:
  std::optional<ABValueKind> KindOf(std::string_view key) const override { return KeyKind(key); }
};
