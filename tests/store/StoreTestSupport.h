#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "addressbook/store/ABMultiValue.h"

namespace storetest {

// The date the importer stores for a calendar day: local midnight plus one hour at the offset.
ABDate Day(int year, unsigned month, unsigned day, int gmtOffsetSeconds);

// A multi-value of texts with their labels.
ABMultiValue Texts(std::initializer_list<std::pair<std::string, std::string>> entries);

// An address dictionary from (key, value) pairs.
ABDictionary Address(std::initializer_list<std::pair<std::string, std::string>> parts);

// Every file in the folder whose name ends in ".vcf", sorted by name.
std::vector<std::filesystem::path> CardFiles(const std::filesystem::path& folder);
// Every name in the folder, sorted.
std::vector<std::string> FolderNames(const std::filesystem::path& folder);

// The card with the values of UID and REV replaced by fixed words, so runs compare equal.
std::string Normalised(std::string_view card);

// Compares two texts line by line; a failure names the first line that differs.
void ExpectSameLines(std::string_view actual, std::string_view expected, std::string_view what);

// Sets the GMT offset the store sees for as long as it lives.
class GmtOffsetOverride final {
 public:
  explicit GmtOffsetOverride(int seconds);
  ~GmtOffsetOverride();
  GmtOffsetOverride(const GmtOffsetOverride&) = delete;
  GmtOffsetOverride& operator=(const GmtOffsetOverride&) = delete;
};

// A program's result: exit code (-1 when it did not start or ended by a signal) and outputs.
struct ProcessResult {
  int ExitCode = -1;
  std::string Output;
  std::string Errors;
};

// Runs the program at the path with the arguments, without a shell, and waits for it.
ProcessResult RunProcess(const std::vector<std::string>& arguments);

}  // namespace storetest
