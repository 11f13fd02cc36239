#include "mapping/ABMapLink.h"

#include "app/CaseInsensitive.h"
#include "import/ABRecord.h"

ABMapLink::ABMapLink(std::string addressBookField, int importField, std::string label)
    : mImportField(importField),
      mAddressBookField(std::move(addressBookField)),
      mLabel(std::move(label)) {}

std::string_view ABMapLink::Value(const ABRecord& record) const {
  if (mImportField >= 0 && static_cast<std::size_t>(mImportField) < record.FieldCount()) {
    return record.Field(static_cast<std::size_t>(mImportField));
  }
  return {};
}

void ABMapLink::AppendSubLink(Pointer link) {
  mLinks.push_back(std::move(link));
}

ABMapLink::Pointer ABMapLink::SubLink(std::string_view name) const {
  for (const Pointer& link : mLinks) {
    if (caseinsensitive::Equal(link->AddressBookField(), name)) {
      return link;
    }
  }
  return nullptr;
}
