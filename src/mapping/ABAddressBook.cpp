#include "mapping/ABAddressBook.h"

void ABAddressBook::AppendField(ABAddressBookField::Pointer field) {
  mFields.push_back(std::move(field));
}

bool ABAddressBook::Import(const std::vector<ABRecord>&, const ABMap&, ABProgressObserver*) {
  return false;
}

void ABAddressBook::Launch() {}

std::string ABAddressBook::LocalizedFieldName(const ABAddressBookField& field) const {
  return field.ID();
}

std::string ABAddressBook::LocalizedLabelText(const std::string&) const {
  return {};
}
