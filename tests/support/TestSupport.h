#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it on destruction.
class TempDir final {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return mPath; }
  // Writes the bytes to a file of that name inside the folder and returns its path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path mPath;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// A fixture file below tests/.
std::filesystem::path Fixture(std::string_view relative);

}  // namespace testsupport
