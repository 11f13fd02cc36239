// Parses arbitrary bytes as a strings text, then looks up a key with arguments. Input: the
// strings text, a NUL, then the key and the arguments separated by \x01.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/CaseInsensitive.h"
#include "app/LumoLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view content = input.substr(0, split);
  std::string_view rest =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  std::vector<std::string> pieces;
  while (true) {
    const std::size_t end = rest.find('\x01');
    pieces.emplace_back(rest.substr(0, end));
    if (end == std::string_view::npos) {
      break;
    }
    rest.remove_prefix(end + 1);
  }
  const std::string key = pieces.front();
  const std::vector<std::string> arguments(pieces.begin() + 1, pieces.end());

  const LumoLanguage language("xx", "Fuzz", std::string(content), "");
  const std::string bare = language.Text(key);
  const std::string filled = language.Text(key, arguments);
  if (!language.Loaded() || language.Text(caseinsensitive::Lower(key)) != bare) {
    __builtin_trap();
  }
  // A missing key gives the empty text whatever the arguments.
  if (bare.empty() && !filled.empty()) {
    __builtin_trap();
  }
  return 0;
}
