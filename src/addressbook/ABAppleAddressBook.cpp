#include "addressbook/ABAppleAddressBook.h"

ABAppleAddressBook::ABAppleAddressBook() {
  Name("Apple Address Book");
}
