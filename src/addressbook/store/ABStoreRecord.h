#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addressbook/store/ABValue.h"

class ABStore;

// A person or group of the store: values under fixed keys. A record joins one store through
// ABStore::AddRecord; once saved to the folder its values can no longer change.
class ABStoreRecord {
 public:
  virtual ~ABStoreRecord();
  ABStoreRecord(const ABStoreRecord&) = delete;
  ABStoreRecord& operator=(const ABStoreRecord&) = delete;

  // Sets or replaces the value; false for an unknown key, a value of the wrong kind, or a record
  // that is already saved.
  bool SetValue(std::string_view key, ABValue value);
  // The value under the key, or null.
  const ABValue* Value(std::string_view key) const;
  // The text under the key; empty when there is none.
  std::string_view Text(std::string_view key) const;
  // True once the record is on disk.
  bool IsSaved() const { return mSaved; }

 protected:
  ABStoreRecord() = default;
  // The kind of value the key holds in this kind of record; none for a key it does not have.
  virtual std::optional<ABValueKind> KindOf(std::string_view key) const = 0;

 private:
  friend class ABStore;

  std::vector<std::pair<std::string, ABValue>> mValues;
  const ABStore* mStore = nullptr;
  bool mSaved = false;
};
