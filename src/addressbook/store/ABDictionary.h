#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Texts under text keys, kept in the order they were added; the address parts of a person.
class ABDictionary final {
 public:
  using Entry = std::pair<std::string, std::string>;

  ABDictionary() = default;

  // Adds the value under the key; false when the key is already there, which keeps the first.
  bool Add(std::string key, std::string value);
  std::size_t Count() const { return mEntries.size(); }
  // The value under the key, or null.
  const std::string* Find(std::string_view key) const;
  const std::vector<Entry>& Entries() const { return mEntries; }

  friend bool operator==(const ABDictionary&, const ABDictionary&) = default;

 private:
  std::vector<Entry> mEntries;
};
