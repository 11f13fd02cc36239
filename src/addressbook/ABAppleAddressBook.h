#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/LocalDate.h"
#include "mapping/ABAddressBook.h"

class ABMapLink;
class ABStore;
class ABStoreGroup;
class ABStorePerson;

// The concrete address book: the catalogue of the address book's person
// properties, their labels and names in the current language, and the import of
// records into the shared store.
class ABAppleAddressBook final : public ABAddressBook {
 public:
  using GroupReference = std::shared_ptr<ABStoreGroup>;

  // Reads the system level and GMT offset and builds the catalogue; throws
  // std::runtime_error on a system level below 10.2.
  ABAppleAddressBook();

  bool Import(const std::vector<ABRecord>& records, const ABMap& map,
              ABProgressObserver* observer) override;
  // Shows the store's folder in the user's file manager.
  void Launch() override;
  std::string LocalizedFieldName(const ABAddressBookField& field) const override;
  std::string LocalizedLabelText(const std::string& label) const override;

  // The store's label for a mapping label: the store's constants for the known
  // keys, the current language's text for other keys, a user's own label
  // unchanged.
  std::string ReplaceKnownLabel(std::string_view label) const;

  // 1 for 10.2, 2 for 10.3, 3 for 10.4 and later.
  int Version() const { return mVersion; }
  const LocalDate& ReferenceDate() const { return mReferenceDate; }
  std::int32_t GmtOffset() const { return mGmtOffset; }

  // The GMT offset held in the low 24 bits of a location record's last word.
  static std::int32_t GmtOffsetFromLocationWord(std::uint32_t word);

  bool ImportRecord(const ABRecord& record, const ABMap& map, const GroupReference& group);
  bool SetStringProperty(ABStorePerson& person, std::string_view key, const ABMapLink& link,
                         const ABRecord& record);
  bool SetDateProperty(ABStorePerson& person, std::string_view key, const ABMapLink& link,
                       const ABRecord& record);
  bool SetStringArrayProperty(ABStorePerson& person, std::string_view key,
                              const std::vector<std::shared_ptr<ABMapLink>>& links,
                              const ABRecord& record);
  bool SetDateArrayProperty(ABStorePerson& person, std::string_view key,
                            const std::vector<std::shared_ptr<ABMapLink>>& links,
                            const ABRecord& record);
  bool SetAddressArrayProperty(ABStorePerson& person, std::string_view key,
                               const std::vector<std::shared_ptr<ABMapLink>>& links,
                               const ABRecord& record);
  // Finds the store's group of that name, or makes and adds one; none on
  // failure.
  GroupReference CreateGroup(const std::string& name);
  void ReleaseGroup(GroupReference& group);
  // Saves the store when it has unsaved changes.
  bool Save();

 private:
  // Seconds after the store's reference moment for a date text, or none when
  // the text is empty or not a date.
  std::optional<double> StoreSeconds(std::string_view text) const;

  int mVersion = 3;
  std::int32_t mGmtOffset = 0;
  LocalDate mReferenceDate;
};
