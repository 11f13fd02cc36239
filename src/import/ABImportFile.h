#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "import/ABRecord.h"
#include "import/TextEncoding.h"

class ABProgressObserver;

// An import file: which file, in which encoding, and the records read from it. Loaded once (a
// name ending in ".csv", in any case, is comma-separated, anything else tab-delimited), then only
// read.
class ABImportFile final {
 public:
  ABImportFile(std::filesystem::path file, TextEncoding encoding);
  ABImportFile(const ABImportFile&) = delete;
  ABImportFile& operator=(const ABImportFile&) = delete;

  // Reads the file into Records, reporting each record to the observer (which may be null) and
  // stopping when it asks to. False when the file cannot be read. Only the first call reads; a
  // later one returns true and changes nothing.
  bool Load(ABProgressObserver* observer);

  std::size_t RecordCount() const { return mRecords.size(); }
  // The record at a 0-based index; throws std::out_of_range past the last one.
  const ABRecord& Record(std::size_t index) const { return mRecords.at(index); }
  const std::vector<ABRecord>& Records() const { return mRecords; }
  // The file's last path component, extension included.
  std::string Name() const;
  // The number of fields of the widest record; set when a load completes.
  std::size_t FieldCount() const { return mFieldCount; }
  bool Loaded() const { return mLoaded; }
  const std::filesystem::path& File() const { return mFile; }
  TextEncoding Encoding() const { return mEncoding; }

 private:
  // The two loaders append records and raise widest; false when the observer stopped them.
  bool LoadTabDelimited(std::string_view text, ABProgressObserver* observer, std::size_t& widest);
  bool LoadCSV(std::string text, ABProgressObserver* observer, std::size_t& widest);
  // The whole file decoded to UTF-8; false when it cannot be opened or read.
  bool ReadText(std::string& text) const;

  std::filesystem::path mFile;
  TextEncoding mEncoding;
  bool mLoaded = false;
  std::vector<ABRecord> mRecords;
  std::size_t mFieldCount = 0;
};
