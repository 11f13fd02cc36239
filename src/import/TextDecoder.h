#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "import/TextEncoding.h"

// Turns the bytes of a file in one of the import encodings into UTF-8 text. Byte-order marks at
// the start of UTF-8 and UTF-16 input are dropped, every invalid sequence becomes U+FFFD, and NUL
// bytes stay as characters.
class TextDecoder final {
 public:
  explicit TextDecoder(TextEncoding encoding);

  TextEncoding Encoding() const { return mEncoding; }

  // Decodes bytes into text. False only when the system's code set is one iconv does not know.
  bool Decode(std::string_view bytes, std::string& text) const;
  // Replaces the bytes in buffer by their text; valid UTF-8 stays where it is, without a copy.
  bool DecodeInPlace(std::string& buffer) const;

  // Whether the encoding maps each byte to a character on its own (Mac OS Roman, Windows Latin 1,
  // ISO Latin 1), so that a file may be decoded piece by piece as it is read.
  bool DecodesBytewise() const;
  // Appends the text of bytes to text; for an encoding that DecodesBytewise.
  void AppendBytewise(std::string_view bytes, std::string& text) const;

  // The code set of the locale named by LC_ALL, LC_CTYPE or LANG, the first one set; "UTF-8"
  // when none is set or the locale names no code set (C, POSIX).
  static std::string SystemCodeSet();
  // The encoding that the system code set stands for; false when it is none of ours.
  static bool SystemEncoding(TextEncoding& encoding);

  // The length of the longest valid UTF-8 prefix of bytes.
  static std::size_t ValidUtf8Length(std::string_view bytes);
  // Whether UTF-16 bytes without a byte-order mark read as big-endian: among the first 1024 code
  // units, those that are an ASCII character in big-endian order (00 41) outnumber those that are
  // one in little-endian order (41 00) more than twice and make up at least half the units.
  static bool LooksBigEndian(std::string_view bytes);

 private:
  TextEncoding mEncoding;
};
