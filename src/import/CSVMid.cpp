#include "import/CSVMid.h"

namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte position just past `count` characters from `from`, or the end of the text.
std::size_t SkipCharacters(std::string_view text, std::size_t from, std::size_t count) {
  std::size_t position = from;
  while (count > 0 && position < text.size()) {
    ++position;
    while (position < text.size() && IsContinuationByte(text[position])) {
      ++position;
    }
    --count;
  }
  return position;
}

}  // namespace

std::string CSVMid::Substring(std::size_t start, std::size_t length) const {
  if (start == 0) {
    return {};
  }
  const std::size_t begin = SkipCharacters(mText, 0, start - 1);
  if (begin >= mText.size()) {
    return {};
  }
  const std::size_t end = SkipCharacters(mText, begin, length);
  return std::string(mText.substr(begin, end - begin));
}
