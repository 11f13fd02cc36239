#include "addressbook/store/ABDictionary.h"

bool ABDictionary::Add(std::string key, std::string value) {
  if (Find(key) != nullptr) {
    return false;
  }
  mEntries.emplace_back(std::move(key), std::move(value));
  return true;
}

const std::string* ABDictionary::Find(std::string_view key) const {
  for (const Entry& entry : mEntries) {
    if (entry.first == key) {
      return &entry.second;
    }
  }
  return nullptr;
}
