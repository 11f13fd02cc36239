#include "mapping/ABMap.h"

#include "app/CaseInsensitive.h"
#include "mapping/ABAddressBook.h"

ABMap::ABMap(std::shared_ptr<ABAddressBook> addressBook) : AddressBook(std::move(addressBook)) {}

ABMap::ABMap(std::filesystem::path file) : mFile(std::move(file)) {}

ABMapLink::Pointer ABMap::Link(std::string_view name) const {
  for (const ABMapLink::Pointer& link : mLinks) {
    if (caseinsensitive::Equal(link->AddressBookField(), name)) {
      return link;
    }
  }
  return nullptr;
}

void ABMap::AppendLink(ABMapLink::Pointer link) {
  mLinks.push_back(std::move(link));
}

std::vector<ABMapLink::Pointer> ABMap::Links(std::string_view name) const {
  std::vector<ABMapLink::Pointer> links;
  for (const ABMapLink::Pointer& link : mLinks) {
    if (caseinsensitive::Equal(link->AddressBookField(), name)) {
      links.push_back(link);
    }
  }
  return links;
}

bool ABMap::SaveAs(std::filesystem::path file) {
  mFile = std::move(file);
  return Save();
}
