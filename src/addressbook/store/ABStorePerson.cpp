#include "addressbook/store/ABStorePerson.h"

#include <array>
#include <utility>

#include "addressbook/store/ABStoreKeys.h"

namespace {

using namespace abstore;

constexpr std::array<std::pair<std::string_view, ABValueKind>, 28> kPersonKeys = {{
    {kFirstPhoneticProperty, ABValueKind::Text},
    {kMiddlePhoneticProperty, ABValueKind::Text},
    {kLastPhoneticProperty, ABValueKind::Text},
    {kTitleProperty, ABValueKind::Text},
    {kFirstProperty, ABValueKind::Text},
    {kMiddleProperty, ABValueKind::Text},
    {kLastProperty, ABValueKind::Text},
    {kSuffixProperty, ABValueKind::Text},
    {kNicknameProperty, ABValueKind::Text},
    {kJobTitleProperty, ABValueKind::Text},
    {kABDepartmentProperty, ABValueKind::Text},
    {kOrganizationProperty, ABValueKind::Text},
    {kMaidenNameProperty, ABValueKind::Text},
    {kHomePageProperty, ABValueKind::Text},
    {kNoteProperty, ABValueKind::Text},
    {kBirthdayProperty, ABValueKind::Date},
    {kPhoneProperty, ABValueKind::TextList},
    {kEmailProperty, ABValueKind::TextList},
    {kURLsProperty, ABValueKind::TextList},
    {kABRelatedNamesProperty, ABValueKind::TextList},
    {kAIMInstantProperty, ABValueKind::TextList},
    {kICQInstantProperty, ABValueKind::TextList},
    {kJabberInstantProperty, ABValueKind::TextList},
    {kMSNInstantProperty, ABValueKind::TextList},
    {kYahooInstantProperty, ABValueKind::TextList},
    {kABDateProperty, ABValueKind::DateList},
    {kAddressProperty, ABValueKind::DictionaryList},
    {kABPersonFlagsProperty, ABValueKind::Number},
}};

}  // namespace

std::optional<ABValueKind> ABStorePerson::KeyKind(std::string_view key) {
  for (const auto& [name, kind] : kPersonKeys) {
    if (name == key) {
      return kind;
    }
  }
  return std::nullopt;
}
