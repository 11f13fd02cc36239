#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ABRecord;

// One link from a catalogue field to an import column, with the value's label and, for a
// compound value, its sub-links. A link owns its sub-links.
class ABMapLink final {
 public:
  using Pointer = std::shared_ptr<ABMapLink>;

  ABMapLink() = default;
  ABMapLink(std::string addressBookField, int importField, std::string label = {});
  ABMapLink(const ABMapLink&) = delete;
  ABMapLink& operator=(const ABMapLink&) = delete;

  // The record's field at ImportField; the empty text when the record has no such field.
  std::string_view Value(const ABRecord& record) const;

  void AppendSubLink(Pointer link);
  std::size_t SubLinkCount() const { return mLinks.size(); }
  const Pointer& SubLink(std::size_t index) const { return mLinks.at(index); }
  // The first sub-link for a field identifier, compared without regard to case, or none.
  Pointer SubLink(std::string_view name) const;

  int ImportField() const { return mImportField; }
  void ImportField(int column) { mImportField = column; }
  const std::string& AddressBookField() const { return mAddressBookField; }
  void AddressBookField(std::string id) { mAddressBookField = std::move(id); }
  const std::string& Label() const { return mLabel; }
  void Label(std::string label) { mLabel = std::move(label); }

 private:
  int mImportField = 0;
  std::string mAddressBookField;
  std::string mLabel;
  std::vector<Pointer> mLinks;
};
