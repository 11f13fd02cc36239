#pragma once

#include "mapping/ABAddressBook.h"

// The concrete address book over our vCard store.
class ABAppleAddressBook final : public ABAddressBook {
 public:
  ABAppleAddressBook();
};
