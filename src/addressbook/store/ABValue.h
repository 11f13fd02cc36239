#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "addressbook/store/ABDate.h"
#include "addressbook/store/ABMultiValue.h"

// A property value of a store record: text, date, 32-bit number or multi-value.
using ABValue = std::variant<std::string, ABDate, std::int32_t, ABMultiValue>;

// The kind of value a key holds; a multi-value's kind is that of its entries.
enum class ABValueKind { Text, Date, Number, TextList, DateList, DictionaryList };
