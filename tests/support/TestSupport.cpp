#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "quillbrook-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  mPath = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Tests may leave folders read-only on purpose; give them back their write bits first.
  for (auto it = std::filesystem::recursive_directory_iterator(mPath, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::permissions(mPath, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(mPath, ignored);
}

std::filesystem::path TempDir::Write(std::string_view name, std::string_view bytes) const {
  std::filesystem::path path = mPath / std::filesystem::path(std::string(name));
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path Fixture(std::string_view relative) {
  return std::filesystem::path(QB_TESTS_DIR) / std::filesystem::path(std::string(relative));
}

}  // namespace testsupport
