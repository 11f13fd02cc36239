#include "addressbook/store/ABUtf8.h"

namespace {

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
  return c >= low && c <= high;
}

}  // namespace

std::size_t ABUtf8::SequenceLength(std::string_view text, std::size_t offset) {
  const std::size_t left = text.size() - offset;
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[offset + i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) {
    return 1;
  }
  if (InRange(lead, 0xC2, 0xDF)) {
    return left >= 2 && InRange(at(1), 0x80, 0xBF) ? 2 : 0;
  }
  if (InRange(lead, 0xE0, 0xEF)) {
    if (left < 3) {
      return 0;
    }
    const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
    return InRange(at(1), low, high) && InRange(at(2), 0x80, 0xBF) ? 3 : 0;
  }
  if (InRange(lead, 0xF0, 0xF4)) {
    if (left < 4) {
      return 0;
    }
    const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
    return InRange(at(1), low, high) && InRange(at(2), 0x80, 0xBF) && InRange(at(3), 0x80, 0xBF)
               ? 4
               : 0;
  }
  return 0;
}

bool ABUtf8::IsValid(std::string_view text) {
  std::size_t offset = 0;
  while (offset < text.size()) {
    if (static_cast<unsigned char>(text[offset]) < 0x80) {
      ++offset;
      continue;
    }
    const std::size_t length = SequenceLength(text, offset);
    if (length == 0) {
      return false;
    }
    offset += length;
  }
  return true;
}
