// Feeds arbitrary bytes to the map-file reader; a map that loads must save and load again alike.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "mapping/ABMap.h"

namespace {

// Memory-backed when possible: every run writes and syncs two files.
std::filesystem::path ScratchFolder() {
  std::error_code error;
  return std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                          : std::filesystem::temp_directory_path();
}

struct ScratchFiles {
  ~ScratchFiles() {
    std::error_code error;
    std::filesystem::remove(Path("in.map"), error);
    std::filesystem::remove(Path("out.map"), error);
  }
  static std::filesystem::path Path(const char* name) {
    return ScratchFolder() / ("quillbrook-fuzz-map-" + std::to_string(getpid()) + "-" + name);
  }
};

ScratchFiles gScratch;

std::filesystem::path Scratch(const char* name) {
  return ScratchFiles::Path(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path input = Scratch("in.map");
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  ABMap map(input);
  if (map.Load()) {
    const std::filesystem::path output = Scratch("out.map");
    if (!map.SaveAs(output)) {
      __builtin_trap();
    }
    ABMap again(output);
    if (!again.Load() || again.LinkCount() != map.LinkCount() || again.Group != map.Group ||
        again.RangeStart != map.RangeStart || again.RangeEnd != map.RangeEnd ||
        again.Version() != map.Version()) {
      __builtin_trap();
    }
  }
  return 0;
}
