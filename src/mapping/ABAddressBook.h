#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "mapping/ABAddressBookField.h"

class ABMap;
class ABProgressObserver;
class ABRecord;

// An address book: its name and its catalogue of fields. The base answers with defaults; the
// concrete address book builds the catalogue and overrides the four virtual operations.
class ABAddressBook {
 public:
  ABAddressBook() = default;
  virtual ~ABAddressBook() = default;
  ABAddressBook(const ABAddressBook&) = delete;
  ABAddressBook& operator=(const ABAddressBook&) = delete;

  std::size_t FieldCount() const { return mFields.size(); }
  const ABAddressBookField::Pointer& Field(std::size_t index) const { return mFields.at(index); }
  const std::vector<ABAddressBookField::Pointer>& Fields() const { return mFields; }
  void AppendField(ABAddressBookField::Pointer field);

  // Imports the records through the map, reporting to the observer (which may be null).
  virtual bool Import(const std::vector<ABRecord>& records, const ABMap& map,
                      ABProgressObserver* observer);
  // Shows the user the address book's own program.
  virtual void Launch();
  // The field's display name in the current language.
  virtual std::string LocalizedFieldName(const ABAddressBookField& field) const;
  // The display text of a label key, or empty when the label is not one of this book's keys.
  virtual std::string LocalizedLabelText(const std::string& label) const;

  const std::string& Name() const { return mName; }
  void Name(std::string name) { mName = std::move(name); }

 private:
  std::vector<ABAddressBookField::Pointer> mFields;
  std::string mName;
};
