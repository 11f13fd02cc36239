#include "import/TextEncoding.h"

#include <array>

#include "app/CaseInsensitive.h"

namespace {

struct EncodingNames {
  TextEncoding encoding;
  std::string_view name;
  std::string_view displayName;
};

constexpr std::array<EncodingNames, 6> kEncodings{{
    {TextEncoding::System, "system", "System default"},
    {TextEncoding::MacRoman, "mac-roman", "Mac OS Roman"},
    {TextEncoding::WindowsLatin1, "windows-1252", "Windows Latin 1"},
    {TextEncoding::IsoLatin1, "iso-8859-1", "ISO Latin 1"},
    {TextEncoding::Utf8, "utf-8", "UTF-8"},
    {TextEncoding::Utf16, "utf-16", "UTF-16"},
}};

const EncodingNames& Names(TextEncoding encoding) {
  for (const EncodingNames& names : kEncodings) {
    if (names.encoding == encoding) {
      return names;
    }
  }
  return kEncodings[0];
}

}  // namespace

bool ParseTextEncoding(std::string_view name, TextEncoding& encoding) {
  for (const EncodingNames& names : kEncodings) {
    if (caseinsensitive::Equal(name, names.name)) {
      encoding = names.encoding;
      return true;
    }
  }
  return false;
}

std::string_view TextEncodingName(TextEncoding encoding) {
  return Names(encoding).name;
}

std::string_view TextEncodingDisplayName(TextEncoding encoding) {
  return Names(encoding).displayName;
}
