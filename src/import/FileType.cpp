#include "import/FileType.h"

#include "app/CaseInsensitive.h"

FileType::FileType(std::string displayName, std::string extensions, std::string typeCode,
                   std::string creatorCode)
    : mDisplayName(std::move(displayName)),
      mExtensions(std::move(extensions)),
      mTypeCode(std::move(typeCode)),
      mCreatorCode(std::move(creatorCode)) {
  std::string_view rest = mExtensions;
  while (!rest.empty()) {
    const std::size_t semicolon = rest.find(';');
    const std::string_view extension = rest.substr(0, semicolon);
    if (!extension.empty()) {
      mExtensionList.emplace_back(extension);
    }
    rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
  }
}

bool FileType::Matches(const std::filesystem::path& file) const {
  const std::string name = file.filename().string();
  for (const std::string& extension : mExtensionList) {
    if (name.size() >= extension.size() &&
        caseinsensitive::Equal(std::string_view(name).substr(name.size() - extension.size()),
                               extension)) {
      return true;
    }
  }
  return false;
}
