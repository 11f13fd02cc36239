#include "addressbook/store/ABStoreRecord.h"

#include <array>
#include <cmath>

#include "addressbook/store/ABCivilDate.h"
#include "addressbook/store/ABStoreKeys.h"

namespace {

constexpr std::array<std::string_view, 5> kAddressKeys = {abstore::kStreetKey, abstore::kCityKey,
                                                          abstore::kStateKey, abstore::kZIPKey,
                                                          abstore::kCountryKey};

// The cards hold four-digit years; a day's margin keeps every GMT offset inside them.
constexpr double kSecondsPerDay = 86400;
constexpr double kEarliestSeconds =
    static_cast<double>(ABCivilDate::DaysSinceEpoch(1, 1, 2) - kABReferenceDaysSinceEpoch) *
    kSecondsPerDay;
constexpr double kLatestSeconds =
    static_cast<double>(ABCivilDate::DaysSinceEpoch(9999, 12, 31) - kABReferenceDaysSinceEpoch) *
    kSecondsPerDay;

bool IsWritableDate(const ABDate& date) {
  return std::isfinite(date.SecondsSinceReference) &&
         date.SecondsSinceReference >= kEarliestSeconds &&
         date.SecondsSinceReference < kLatestSeconds;
}

bool IsAddress(const ABDictionary& dictionary) {
  for (const ABDictionary::Entry& entry : dictionary.Entries()) {
    bool known = false;
    for (std::string_view key : kAddressKeys) {
      known = known || entry.first == key;
    }
    if (!known) {
      return false;
    }
  }
  return true;
}

bool ListFits(const ABMultiValue& list, ABValueKind kind) {
  for (const ABMultiValue::Entry& entry : list.Entries()) {
    const bool fits =
        (kind == ABValueKind::TextList && std::holds_alternative<std::string>(entry.Value)) ||
        (kind == ABValueKind::DateList && std::holds_alternative<ABDate>(entry.Value) &&
         IsWritableDate(std::get<ABDate>(entry.Value))) ||
        (kind == ABValueKind::DictionaryList && std::holds_alternative<ABDictionary>(entry.Value) &&
         IsAddress(std::get<ABDictionary>(entry.Value)));
    if (!fits) {
      return false;
    }
  }
  return true;
}

bool Fits(const ABValue& value, ABValueKind kind) {
  switch (kind) {
    case ABValueKind::Text:
      return std::holds_alternative<std::string>(value);
    case ABValueKind::Date:
      return std::holds_alternative<ABDate>(value) && IsWritableDate(std::get<ABDate>(value));
    case ABValueKind::Number:
      return std::holds_alternative<std::int32_t>(value);
    case ABValueKind::TextList:
    case ABValueKind::DateList:
    case ABValueKind::DictionaryList:
      return std::holds_alternative<ABMultiValue>(value) &&
             ListFits(std::get<ABMultiValue>(value), kind);
  }
  return false;
}

}  // namespace

ABStoreRecord::~ABStoreRecord() = default;

bool ABStoreRecord::SetValue(std::string_view key, ABValue value) {
  const std::optional<ABValueKind> kind = KindOf(key);
  if (mSaved || !kind || !Fits(value, *kind)) {
    return false;
  }
  for (auto& [existingKey, existingValue] : mValues) {
    if (existingKey == key) {
      existingValue = std::move(value);
      return true;
    }
  }
  mValues.emplace_back(std::string(key), std::move(value));
  return true;
}

const ABValue* ABStoreRecord::Value(std::string_view key) const {
  for (const auto& [existingKey, existingValue] : mValues) {
    if (existingKey == key) {
      return &existingValue;
    }
  }
  return nullptr;
}

std::string_view ABStoreRecord::Text(std::string_view key) const {
  const ABValue* value = Value(key);
  const std::string* text = value != nullptr ? std::get_if<std::string>(value) : nullptr;
  return text != nullptr ? std::string_view(*text) : std::string_view();
}
