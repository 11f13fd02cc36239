#include "mapping/ABAddressBookField.h"

ABAddressBookField::ABAddressBookField(Key, std::string id) : mID(std::move(id)) {}

ABAddressBookField::Pointer ABAddressBookField::Create(std::string id,
                                                       std::vector<Pointer> subFields) {
  auto field = std::make_shared<ABAddressBookField>(Key{}, std::move(id));
  field->mSubFields = std::move(subFields);
  for (const Pointer& subField : field->mSubFields) {
    subField->mParent = field;
  }
  return field;
}

void ABAddressBookField::AppendLabel(std::string label) {
  mLabels.push_back(std::move(label));
}

ABAddressBookField::Pointer ABAddressBookField::Clone() const {
  Pointer copy = Create(mID);
  copy->mCustomLabel = mCustomLabel;
  copy->mLabels = mLabels;
  copy->mMultiple = mMultiple;
  copy->mParent = mParent;
  for (const Pointer& subField : mSubFields) {
    Pointer subCopy = subField->Clone();
    subCopy->mParent = copy;
    copy->mSubFields.push_back(std::move(subCopy));
  }
  return copy;
}
