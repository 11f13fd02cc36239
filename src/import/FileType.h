#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// One kind of file that dialogs offer and drops accept: display name, extensions and the
// four-character type and creator codes of classic Mac files ("????" for no particular creator).
class FileType final {
 public:
  FileType(std::string displayName, std::string extensions, std::string typeCode,
           std::string creatorCode);

  const std::string& DisplayName() const { return mDisplayName; }
  // The extensions as one text, separated by semicolons: ".tab;.txt".
  const std::string& Extensions() const { return mExtensions; }
  // The same extensions one by one, each with its dot.
  const std::vector<std::string>& ExtensionList() const { return mExtensionList; }
  const std::string& TypeCode() const { return mTypeCode; }
  const std::string& CreatorCode() const { return mCreatorCode; }

  // Whether the file's name ends in one of the extensions, compared without regard to case.
  bool Matches(const std::filesystem::path& file) const;

 private:
  std::string mDisplayName;
  std::string mExtensions;
  std::vector<std::string> mExtensionList;
  std::string mTypeCode;
  std::string mCreatorCode;
};
