#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "addressbook/store/ABDate.h"
#include "addressbook/store/ABDictionary.h"

using ABMultiValueItem = std::variant<std::string, ABDate, ABDictionary>;

// An ordered list of values of one kind, each with a label (a label constant or plain text).
class ABMultiValue final {
 public:
  struct Entry {
    ABMultiValueItem Value;
    std::string Label;

    friend bool operator==(const Entry&, const Entry&) = default;
  };

  ABMultiValue() = default;

  // Appends the value with its label; false when its kind differs from the first entry's.
  bool Add(ABMultiValueItem value, std::string label);
  std::size_t Count() const { return mEntries.size(); }
  const std::vector<Entry>& Entries() const { return mEntries; }
  const ABMultiValueItem& Value(std::size_t index) const { return mEntries.at(index).Value; }
  const std::string& Label(std::size_t index) const { return mEntries.at(index).Label; }

  friend bool operator==(const ABMultiValue&, const ABMultiValue&) = default;

 private:
  std::vector<Entry> mEntries;
};
