#include "addressbook/store/ABStoreGroup.h"

#include "addressbook/store/ABStoreKeys.h"

std::string ABStoreGroup::Name() const {
  return std::string(Text(abstore::kGroupNameProperty));
}

std::optional<ABValueKind> ABStoreGroup::KeyKind(std::string_view key) {
  if (key == abstore::kGroupNameProperty) {
    return ABValueKind::Text;
  }
  return std::nullopt;
}
