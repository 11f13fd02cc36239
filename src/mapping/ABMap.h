#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapping/ABMapLink.h"

class ABAddressBook;

// A mapping: links from catalogue fields to import columns, the record range and group to
// import with, the map file it belongs to, its format version and the address book it targets.
class ABMap final {
 public:
  // A new mapping for an address book.
  explicit ABMap(std::shared_ptr<ABAddressBook> addressBook);
  // A mapping to be read from a map file with Load.
  explicit ABMap(std::filesystem::path file);
  ABMap(const ABMap&) = delete;
  ABMap& operator=(const ABMap&) = delete;

  // The first link for a field identifier, compared without regard to case, or none.
  ABMapLink::Pointer Link(std::string_view name) const;
  void AppendLink(ABMapLink::Pointer link);
  std::size_t LinkCount() const { return mLinks.size(); }
  const ABMapLink::Pointer& Link(std::size_t index) const { return mLinks.at(index); }
  // Every link for a field identifier, in map order.
  std::vector<ABMapLink::Pointer> Links(std::string_view name) const;
  void DeleteAllLinks() { mLinks.clear(); }

  // Reads the mapping from File; false when the file is missing, malformed or not a map.
  bool Load();
  // Writes the mapping to File through a temporary file, so a failed save keeps the old file.
  bool Save();
  // Sets File, also when the writing then fails, and saves.
  bool SaveAs(std::filesystem::path file);
  // Why the last Load or Save failed, for callers that show more than the fixed message.
  const std::string& LastError() const { return mLastError; }

  const std::optional<std::filesystem::path>& File() const { return mFile; }
  const std::string& Version() const { return mVersion; }

  int RangeStart = 0;
  int RangeEnd = -1;
  std::string Group;
  std::shared_ptr<ABAddressBook> AddressBook;

 private:
  std::vector<ABMapLink::Pointer> mLinks;
  std::optional<std::filesystem::path> mFile;
  std::string mVersion = "2.0";
  std::string mLastError;
};
