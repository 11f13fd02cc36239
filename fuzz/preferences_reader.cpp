// Loads arbitrary bytes as a preferences file; whatever loads must save over it and load again
// with the same version and the same text for every setting it saved.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ABPreferences.h"

namespace {

std::filesystem::path Scratch(const char* name) {
  return std::filesystem::temp_directory_path() /
         ("quillbrook-fuzz-preferences-" + std::to_string(getpid()) + "-" + name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = Scratch("Quillbrook Preferences");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  ABPreferences preferences(file);
  if (!preferences.Load()) {
    return 0;
  }
  if (!preferences.Save()) {
    __builtin_trap();
  }
  ABPreferences again(file);
  if (!again.Load() || again.Version() != preferences.Version()) {
    __builtin_trap();
  }
  return 0;
}
