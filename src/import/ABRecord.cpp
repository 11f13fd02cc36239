#include "import/ABRecord.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

std::unique_ptr<std::uint32_t[]> Layout(std::span<const std::string_view> fields) {
  std::size_t textSize = 0;
  for (std::string_view field : fields) {
    textSize += field.size();
  }
  if (textSize > UINT32_MAX || fields.size() > UINT32_MAX) {
    throw std::length_error("record too large");
  }
  const std::size_t words = 1 + fields.size() + (textSize + 3) / 4;
  auto data = std::make_unique_for_overwrite<std::uint32_t[]>(words);
  data[0] = static_cast<std::uint32_t>(fields.size());
  char* text = reinterpret_cast<char*>(data.get() + 1 + fields.size());
  std::uint32_t end = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].empty()) {
      std::memcpy(text + end, fields[i].data(), fields[i].size());
    }
    end += static_cast<std::uint32_t>(fields[i].size());
    data[1 + i] = end;
  }
  return data;
}

}  // namespace

ABRecord::ABRecord(std::span<const std::string_view> fields) {
  if (!fields.empty()) {
    mData = Layout(fields);
  }
}

ABRecord::ABRecord(std::initializer_list<std::string_view> fields)
    : ABRecord(std::span<const std::string_view>(fields.begin(), fields.size())) {}

ABRecord::ABRecord(const ABRecord& other) {
  *this = other;
}

ABRecord& ABRecord::operator=(const ABRecord& other) {
  if (this != &other) {
    std::vector<std::string_view> fields;
    fields.reserve(other.FieldCount());
    for (std::size_t i = 0; i < other.FieldCount(); ++i) {
      fields.push_back(other.Field(i));
    }
    mData = fields.empty() ? nullptr : Layout(fields);
  }
  return *this;
}

void ABRecord::AppendField(std::string_view value) {
  std::vector<std::string_view> fields;
  fields.reserve(FieldCount() + 1);
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    fields.push_back(Field(i));
  }
  fields.push_back(value);
  mData = Layout(fields);
}

const char* ABRecord::Text() const {
  return reinterpret_cast<const char*>(mData.get() + 1 + FieldCount());
}

std::string_view ABRecord::Field(std::size_t index) const {
  if (index >= FieldCount()) {
    return {};
  }
  const std::uint32_t begin = index == 0 ? 0 : mData[index];
  return std::string_view(Text() + begin, mData[1 + index] - begin);
}

std::vector<std::string> ABRecord::Fields() const {
  std::vector<std::string> fields;
  fields.reserve(FieldCount());
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    fields.emplace_back(Field(i));
  }
  return fields;
}

bool ABRecord::operator==(const ABRecord& other) const {
  if (FieldCount() != other.FieldCount()) {
    return false;
  }
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    if (Field(i) != other.Field(i)) {
      return false;
    }
  }
  return true;
}
