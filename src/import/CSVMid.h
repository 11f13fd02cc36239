#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Constant-time access to the text a CSV parser reads. The syntax characters are all ASCII and
// never occur inside a UTF-8 sequence, so the parser reads bytes; Substring counts characters.
class CSVMid final {
 public:
  explicit CSVMid(std::string_view text) : mText(text) {}

  std::size_t Size() const { return mText.size(); }
  // The byte at a 0-based position below Size.
  char At(std::size_t position) const { return mText[position]; }
  const char* Data() const { return mText.data(); }

  // At most length characters from the 1-based character position start, cut off at the end of
  // the text; empty when start lies beyond the last character.
  std::string Substring(std::size_t start, std::size_t length) const;

 private:
  std::string_view mText;
};
