#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One field of an address book's catalogue: identifier, label keys, custom-label key,
// multi-valued flag, and the sub-fields of a compound field. A field owns its sub-fields; the
// parent is a back reference that does not keep the parent alive.
class ABAddressBookField final : public std::enable_shared_from_this<ABAddressBookField> {
  struct Key {};

 public:
  using Pointer = std::shared_ptr<ABAddressBookField>;

  // Makes a field with an identifier that takes over the sub-fields and becomes their parent.
  static Pointer Create(std::string id, std::vector<Pointer> subFields = {});
  ABAddressBookField(Key, std::string id);
  ABAddressBookField(const ABAddressBookField&) = delete;
  ABAddressBookField& operator=(const ABAddressBookField&) = delete;

  void AppendLabel(std::string label);
  std::size_t LabelCount() const { return mLabels.size(); }
  const std::string& Label(std::size_t index) const { return mLabels.at(index); }
  const std::vector<std::string>& Labels() const { return mLabels; }

  const std::string& ID() const { return mID; }

  std::size_t SubFieldCount() const { return mSubFields.size(); }
  const Pointer& SubField(std::size_t index) const { return mSubFields.at(index); }

  // A deep copy sharing nothing mutable with this field; its parent is this field's parent.
  Pointer Clone() const;

  const std::string& CustomLabel() const { return mCustomLabel; }
  void CustomLabel(std::string label) { mCustomLabel = std::move(label); }
  bool Multiple() const { return mMultiple; }
  void Multiple(bool multiple) { mMultiple = multiple; }
  // The compound field this field is a part of, or none.
  Pointer Parent() const { return mParent.lock(); }
  void Parent(const Pointer& parent) { mParent = parent; }

 private:
  std::string mID;
  std::vector<std::string> mLabels;
  std::string mCustomLabel;
  bool mMultiple = false;
  std::vector<Pointer> mSubFields;
  std::weak_ptr<ABAddressBookField> mParent;
};
