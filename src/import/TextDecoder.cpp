#include "import/TextDecoder.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/CaseInsensitive.h"
#include "import/ByteScan.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Mac OS Roman 0x80-0xFF as Apple maps it. glibc differs in two places: 0xC6 is U+0394 there
// (Apple: U+2206 increment) and 0xF0, the Apple logo, U+E01E (Apple: U+F8FF).
constexpr std::array<char16_t, 128> kMacRomanHigh{
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

// Windows-1252 0x80-0x9F; the five bytes Microsoft leaves undefined become the C1 controls of the
// same number, as Windows' own converter does.
constexpr std::array<char16_t, 32> kWindows1252C1{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (c >> 6)));
    text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | (c >> 12)));
    text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | (c >> 18)));
    text.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The UTF-8 form of each byte of a single-byte encoding, built once per encoding.
struct SingleByteTable {
  std::array<std::array<char, 3>, 256> bytes{};
  std::array<std::uint8_t, 256> length{};
};

SingleByteTable BuildTable(char32_t (*map)(unsigned char)) {
  SingleByteTable table;
  for (int b = 0; b < 256; ++b) {
    std::string utf8;
    AppendUtf8(utf8, map(static_cast<unsigned char>(b)));
    table.length[b] = static_cast<std::uint8_t>(utf8.size());
    std::memcpy(table.bytes[b].data(), utf8.data(), utf8.size());
  }
  return table;
}

const SingleByteTable& TableFor(TextEncoding encoding) {
  static const SingleByteTable macRoman = BuildTable(
      [](unsigned char b) -> char32_t { return b < 0x80 ? b : kMacRomanHigh[b - 0x80]; });
  static const SingleByteTable windows1252 = BuildTable([](unsigned char b) -> char32_t {
    return (b >= 0x80 && b < 0xA0) ? kWindows1252C1[b - 0x80] : b;
  });
  static const SingleByteTable isoLatin1 =
      BuildTable([](unsigned char b) -> char32_t { return b; });
  switch (encoding) {
    case TextEncoding::MacRoman:
      return macRoman;
    case TextEncoding::WindowsLatin1:
      return windows1252;
    default:
      return isoLatin1;
  }
}

// The bytes the text grows by over the input; 0 means the input is plain ASCII.
std::size_t SingleByteGrowth(std::string_view bytes, const SingleByteTable& table) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  std::size_t growth = 0;
  while ((p = bytescan::SkipAscii(p, end)) < end) {
    growth += table.length[*p] - 1;
    ++p;
  }
  return growth;
}

// Writes the text of bytes at out, which has room for bytes.size() + growth.
void DecodeSingleByte(std::string_view bytes, const SingleByteTable& table, char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const auto* ascii = bytescan::SkipAscii(p, end);
    std::memcpy(out, p, static_cast<std::size_t>(ascii - p));
    out += ascii - p;
    p = ascii;
    if (p == end) {
      break;
    }
    const std::uint8_t length = table.length[*p];
    std::memcpy(out, table.bytes[*p].data(), length);
    out += length;
    ++p;
  }
}

// A UTF-8 sequence at some position: its length when valid, else the length of its maximal
// subpart (the longest start of a valid sequence, at least one byte), which becomes one U+FFFD.
struct Sequence {
  bool valid;
  std::size_t length;
};

Sequence Examine(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = *p;
  if (lead < 0x80) {
    return {true, 1};
  }
  std::size_t continuation;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuation = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuation = 2;
    if (lead == 0xE0) {
      low = 0xA0;
    } else if (lead == 0xED) {
      high = 0x9F;
    }
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuation = 3;
    if (lead == 0xF0) {
      low = 0x90;
    } else if (lead == 0xF4) {
      high = 0x8F;
    }
  } else {
    return {false, 1};
  }
  std::size_t length = 1;
  for (std::size_t i = 0; i < continuation; ++i) {
    if (p + length >= end || p[length] < low || p[length] > high) {
      return {false, length};
    }
    ++length;
    low = 0x80;
    high = 0xBF;
  }
  return {true, length};
}

bool StartsWithUtf8Bom(std::string_view bytes) {
  return bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
}

// Copies valid runs and replaces each maximal subpart of an invalid sequence with U+FFFD.
void RepairUtf8(std::string_view bytes, std::size_t validPrefix, std::string& text) {
  text.clear();
  text.reserve(bytes.size() + bytes.size() / 8);
  text.append(bytes.substr(0, validPrefix));
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = begin + bytes.size();
  const auto* p = begin + validPrefix;
  while (p < end) {
    const Sequence sequence = Examine(p, end);
    if (!sequence.valid) {
      AppendUtf8(text, kReplacement);
      p += sequence.length;
      continue;
    }
    const std::size_t run = TextDecoder::ValidUtf8Length(
        std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
    text.append(reinterpret_cast<const char*>(p), run);
    p += run;
  }
}

void DecodeUtf16(std::string_view bytes, std::string& text) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  bool bigEndian;
  if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    bigEndian = false;
    i = 2;
  } else if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
    bigEndian = true;
    i = 2;
  } else {
    bigEndian = TextDecoder::LooksBigEndian(bytes);
  }
  auto unitAt = [&](std::size_t at) -> char32_t {
    return bigEndian ? static_cast<char32_t>((b[at] << 8) | b[at + 1])
                     : static_cast<char32_t>((b[at + 1] << 8) | b[at]);
  };
  text.clear();
  text.reserve(size + size / 2);
  while (i + 1 < size) {
    const char32_t unit = unitAt(i);
    i += 2;
    if (unit < 0xD800 || unit > 0xDFFF) {
      AppendUtf8(text, unit);
    } else if (unit <= 0xDBFF && i + 1 < size && unitAt(i) >= 0xDC00 && unitAt(i) <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i) - 0xDC00));
      i += 2;
    } else {
      AppendUtf8(text, kReplacement);
    }
  }
  if (i < size) {
    AppendUtf8(text, kReplacement);
  }
}

// Converts through iconv; a byte it cannot convert becomes U+FFFD and conversion goes on after it.
bool DecodeWithIconv(std::string_view bytes, const std::string& codeSet, std::string& text) {
  iconv_t converter = iconv_open("UTF-8", codeSet.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return false;
  }
  text.assign(bytes.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t written = 0;
  auto convert = [&](char** input, std::size_t* left) {
    for (;;) {
      char* out = text.data() + written;
      std::size_t outLeft = text.size() - written;
      const std::size_t result = iconv(converter, input, left, &out, &outLeft);
      written = text.size() - outLeft;
      if (result != static_cast<std::size_t>(-1)) {
        return;
      }
      if (errno == E2BIG) {
        text.resize(text.size() * 2);
      } else if (errno == EILSEQ || errno == EINVAL) {
        if (text.size() - written < 3) {
          text.resize(text.size() * 2);
        }
        std::memcpy(text.data() + written, "\xEF\xBF\xBD", 3);
        written += 3;
        const std::size_t skip = errno == EILSEQ ? 1 : *left;
        *input += skip;
        *left -= skip;
      } else {
        return;
      }
    }
  };
  convert(&in, &inLeft);
  convert(nullptr, nullptr);
  iconv_close(converter);
  text.resize(written);
  return true;
}

bool IsSingleByte(TextEncoding encoding) {
  return encoding == TextEncoding::MacRoman || encoding == TextEncoding::WindowsLatin1 ||
         encoding == TextEncoding::IsoLatin1;
}

// The encoding that decodes: System becomes the locale's code set when that is one of ours, and
// stays System, decoded through iconv, when it is not.
TextEncoding Resolved(TextEncoding encoding) {
  if (encoding == TextEncoding::System) {
    TextDecoder::SystemEncoding(encoding);
  }
  return encoding;
}

}  // namespace

TextDecoder::TextDecoder(TextEncoding encoding) : mEncoding(encoding) {}

std::size_t TextDecoder::ValidUtf8Length(std::string_view bytes) {
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = begin + bytes.size();
  const auto* p = begin;
  while ((p = bytescan::SkipAscii(p, end)) < end) {
    const Sequence sequence = Examine(p, end);
    if (!sequence.valid) {
      break;
    }
    p += sequence.length;
  }
  return static_cast<std::size_t>(p - begin);
}

bool TextDecoder::LooksBigEndian(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = std::min<std::size_t>(bytes.size() / 2, 1024);
  auto isAscii = [](unsigned char c) { return c > 0 && c < 0x80; };
  std::size_t bigEndianAscii = 0;
  std::size_t littleEndianAscii = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned char first = b[2 * i];
    const unsigned char second = b[2 * i + 1];
    if (first == 0 && isAscii(second)) {
      ++bigEndianAscii;
    } else if (second == 0 && isAscii(first)) {
      ++littleEndianAscii;
    }
  }
  return bigEndianAscii > 2 * littleEndianAscii && 2 * bigEndianAscii >= units;
}

std::string TextDecoder::SystemCodeSet() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') {
      continue;
    }
    std::string_view locale(value);
    const std::size_t dot = locale.find('.');
    if (dot == std::string_view::npos) {
      break;
    }
    std::string_view codeSet = locale.substr(dot + 1);
    codeSet = codeSet.substr(0, codeSet.find('@'));
    if (codeSet.empty()) {
      break;
    }
    return std::string(codeSet);
  }
  return "UTF-8";
}

bool TextDecoder::SystemEncoding(TextEncoding& encoding) {
  std::string key;
  for (char c : SystemCodeSet()) {
    if (c != '-' && c != '_' && c != ' ') {
      key.push_back(caseinsensitive::Fold(c));
    }
  }
  struct Known {
    std::string_view key;
    TextEncoding encoding;
  };
  // ASCII locales read UTF-8, its superset, so that valid UTF-8 files keep their accents.
  static constexpr std::array<Known, 13> kKnown{{
      {"utf8", TextEncoding::Utf8},
      {"ascii", TextEncoding::Utf8},
      {"usascii", TextEncoding::Utf8},
      {"ansix3.41968", TextEncoding::Utf8},
      {"iso88591", TextEncoding::IsoLatin1},
      {"latin1", TextEncoding::IsoLatin1},
      {"l1", TextEncoding::IsoLatin1},
      {"cp1252", TextEncoding::WindowsLatin1},
      {"windows1252", TextEncoding::WindowsLatin1},
      {"macintosh", TextEncoding::MacRoman},
      {"macroman", TextEncoding::MacRoman},
      {"mac", TextEncoding::MacRoman},
      {"utf16", TextEncoding::Utf16},
  }};
  for (const Known& known : kKnown) {
    if (key == known.key) {
      encoding = known.encoding;
      return true;
    }
  }
  return false;
}

bool TextDecoder::Decode(std::string_view bytes, std::string& text) const {
  text.assign(bytes);
  return DecodeInPlace(text);
}

bool TextDecoder::DecodeInPlace(std::string& buffer) const {
  const TextEncoding encoding = Resolved(mEncoding);
  std::string text;
  if (encoding == TextEncoding::Utf8) {
    const std::size_t bom = StartsWithUtf8Bom(buffer) ? 3 : 0;
    const std::string_view bytes = std::string_view(buffer).substr(bom);
    const std::size_t valid = ValidUtf8Length(bytes);
    if (valid == bytes.size()) {
      buffer.erase(0, bom);
      return true;
    }
    RepairUtf8(bytes, valid, text);
  } else if (IsSingleByte(encoding)) {
    const SingleByteTable& table = TableFor(encoding);
    const std::size_t growth = SingleByteGrowth(buffer, table);
    if (growth == 0) {
      return true;
    }
    text.resize(buffer.size() + growth);
    DecodeSingleByte(buffer, table, text.data());
  } else if (encoding == TextEncoding::Utf16) {
    DecodeUtf16(buffer, text);
  } else if (!DecodeWithIconv(buffer, SystemCodeSet(), text)) {
    return false;
  }
  buffer.swap(text);
  return true;
}

bool TextDecoder::DecodesBytewise() const {
  return IsSingleByte(Resolved(mEncoding));
}

void TextDecoder::AppendBytewise(std::string_view bytes, std::string& text) const {
  const SingleByteTable& table = TableFor(Resolved(mEncoding));
  const std::size_t old = text.size();
  text.resize(old + bytes.size() + SingleByteGrowth(bytes, table));
  DecodeSingleByte(bytes, table, text.data() + old);
}
