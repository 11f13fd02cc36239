#include "addressbook/store/ABMultiValue.h"

#include <utility>

bool ABMultiValue::Add(ABMultiValueItem value, std::string label) {
  if (!mEntries.empty() && mEntries.front().Value.index() != value.index()) {
    return false;
  }
  mEntries.push_back(Entry{std::move(value), std::move(label)});
  return true;
}
