#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addressbook/store/ABStore.h"

namespace storetest {

// The GMT offset the sample people's dates are made for.
inline constexpr int kSampleGmtOffset = -18000;

// A person to write, built on a person that is already added to the store.
struct SamplePerson {
  std::string Name;
  std::function<void(ABStore&, const std::shared_ptr<ABStorePerson>&)> Build;
};

// Every kind of value with known and custom labels; a company; only an e-mail; long Unicode
// text; nothing at all.
std::vector<SamplePerson> SamplePeople();

}  // namespace storetest
