#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Identifiers, keys and names are looked up without regard to letter case everywhere. They are
// ASCII, so ASCII folding serves; other bytes compare as they are.
namespace caseinsensitive {

constexpr char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool Equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) {
      return false;
    }
  }
  return true;
}

inline std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    c = Fold(c);
  }
  return result;
}

// Hash and equality for unordered containers keyed without regard to case; transparent, so a
// std::string_view finds a std::string key without a copy.
struct Hash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    std::size_t hash = 1469598103934665603ULL;
    for (char c : text) {
      hash = (hash ^ static_cast<unsigned char>(Fold(c))) * 1099511628211ULL;
    }
    return hash;
  }
};

struct EqualTo {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return Equal(a, b); }
};

}  // namespace caseinsensitive
