#pragma once

#include <cstddef>
#include <string_view>

// Strict UTF-8 checks (no overlong forms, surrogates or code points above U+10FFFF).
class ABUtf8 final {
 public:
  ABUtf8() = delete;

  // The length of the well-formed sequence that starts at the offset, or 0 when none does.
  static std::size_t SequenceLength(std::string_view text, std::size_t offset);
  static bool IsValid(std::string_view text);
};
