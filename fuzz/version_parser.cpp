// Parses arbitrary text as a version: the text form must read back as itself, and comparing
// must be a consistent order.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/LumoVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t half = text.size() / 2;
  const LumoVersion whole(text);
  const LumoVersion first(text.substr(0, half));
  const LumoVersion printed(whole.Text());
  if (printed.Text() != whole.Text()) {
    __builtin_trap();
  }
  if (whole.Compare(&whole) != 0 || whole.Compare(nullptr) != 1 ||
      whole.Compare(&first) != -first.Compare(&whole) || (whole == first) != (first == whole)) {
    __builtin_trap();
  }
  if (whole.Prerelease() == (whole.StageCode() == LumoVersion::kStageFinal)) {
    __builtin_trap();
  }
  return 0;
}
