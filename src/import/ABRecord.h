#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One row of an import file: its fields in column order, numbered from 0. All fields live in one
// block of memory (count, end offsets, text), so a large file's records cost little more than
// their text.
class ABRecord final {
 public:
  ABRecord() = default;
  explicit ABRecord(std::span<const std::string_view> fields);
  ABRecord(std::initializer_list<std::string_view> fields);
  ABRecord(const ABRecord& other);
  ABRecord& operator=(const ABRecord& other);
  ABRecord(ABRecord&&) noexcept = default;
  ABRecord& operator=(ABRecord&&) noexcept = default;

  void AppendField(std::string_view value);
  // The field at a 0-based index; the empty text for an index outside the record.
  std::string_view Field(std::size_t index) const;
  std::size_t FieldCount() const { return mData ? mData[0] : 0; }
  std::vector<std::string> Fields() const;

  bool operator==(const ABRecord& other) const;

 private:
  const char* Text() const;

  // Word 0: field count n; words 1..n: end offset of each field in the text; then the text.
  std::unique_ptr<std::uint32_t[]> mData;
};
