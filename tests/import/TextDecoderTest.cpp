#include <gtest/gtest.h>
#include <iconv.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "import/ABImportFile.h"
#include "import/TextDecoder.h"
#include "support/TestSupport.h"

namespace {

using namespace std::string_literals;

std::string Decoded(std::string_view bytes, TextEncoding encoding) {
  std::string text;
  EXPECT_TRUE(TextDecoder(encoding).Decode(bytes, text));
  return text;
}

// The code point glibc's iconv gives for one byte, or none when it rejects the byte.
std::optional<char32_t> IconvCodePoint(const char* codeSet, unsigned char byte) {
  iconv_t converter = iconv_open("UTF-32LE", codeSet);
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPointer = in;
  char* outPointer = out;
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1) || sizeof out - outLeft != 4) {
    return std::nullopt;
  }
  return static_cast<char32_t>(static_cast<unsigned char>(out[0]) |
                               (static_cast<unsigned char>(out[1]) << 8) |
                               (static_cast<unsigned char>(out[2]) << 16));
}

std::string Utf8(char32_t c) {
  std::string text;
  iconv_t converter = iconv_open("UTF-8", "UTF-32LE");
  char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                static_cast<char>((c >> 16) & 0xFF), 0};
  char out[8] = {};
  char* inPointer = in;
  char* outPointer = out;
  std::size_t inLeft = 4;
  std::size_t outLeft = sizeof out;
  iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  return std::string(out, sizeof out - outLeft);
}

// Sets the three locale variables for one test and puts the old values back afterwards.
class LocaleEnvironment final {
 public:
  LocaleEnvironment(const char* all, const char* ctype, const char* lang) {
    Set("LC_ALL", all);
    Set("LC_CTYPE", ctype);
    Set("LANG", lang);
  }
  ~LocaleEnvironment() {
    for (const auto& [name, value] : mSaved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

 private:
  void Set(const char* name, const char* value) {
    const char* old = getenv(name);
    mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

TEST(TextEncodingTest, parsesEveryNameInAnyCaseAndNamesItBack) {
  const std::vector<std::pair<std::string, TextEncoding>> cases = {
      {"system", TextEncoding::System},
      {"Mac-Roman", TextEncoding::MacRoman},
      {"WINDOWS-1252", TextEncoding::WindowsLatin1},
      {"iso-8859-1", TextEncoding::IsoLatin1},
      {"UTF-8", TextEncoding::Utf8},
      {"utf-16", TextEncoding::Utf16},
  };
  for (const auto& [name, expected] : cases) {
    SCOPED_TRACE(name);
    TextEncoding encoding = TextEncoding::System;
    ASSERT_TRUE(ParseTextEncoding(name, encoding));
    EXPECT_EQ(encoding, expected);
    TextEncoding again = TextEncoding::Utf16;
    ASSERT_TRUE(ParseTextEncoding(TextEncodingName(expected), again));
    EXPECT_EQ(again, expected);
  }
  TextEncoding untouched = TextEncoding::MacRoman;
  EXPECT_FALSE(ParseTextEncoding("latin-9", untouched));
  EXPECT_FALSE(ParseTextEncoding("", untouched));
  EXPECT_EQ(untouched, TextEncoding::MacRoman);
  EXPECT_EQ(TextEncodingDisplayName(TextEncoding::MacRoman), "Mac OS Roman");
  EXPECT_EQ(TextEncodingDisplayName(TextEncoding::WindowsLatin1), "Windows Latin 1");
}

TEST(TextDecoderTest, singleByteTablesMatchIconvForEveryByte) {
  struct Case {
    TextEncoding encoding;
    const char* iconvName;
    // Bytes where we knowingly differ: our code point, and glibc's (none: glibc rejects it).
    std::vector<std::tuple<unsigned char, char32_t, std::optional<char32_t>>> differences;
  };
  const std::vector<Case> cases = {
      {TextEncoding::IsoLatin1, "ISO-8859-1", {}},
      // Windows maps the five undefined bytes to C1 controls; glibc rejects them.
      {TextEncoding::WindowsLatin1,
       "CP1252",
       {{0x81, 0x81, std::nullopt},
        {0x8D, 0x8D, std::nullopt},
        {0x8F, 0x8F, std::nullopt},
        {0x90, 0x90, std::nullopt},
        {0x9D, 0x9D, std::nullopt}}},
      // Apple's own table: increment sign and the Apple logo in Apple's private-use slot.
      {TextEncoding::MacRoman, "MACINTOSH", {{0xC6, 0x2206, 0x0394}, {0xF0, 0xF8FF, 0xE01E}}},
  };
  for (const Case& c : cases) {
    for (int b = 0; b < 256; ++b) {
      SCOPED_TRACE(std::string(c.iconvName) + " byte " + std::to_string(b));
      const auto byte = static_cast<unsigned char>(b);
      std::optional<char32_t> expected = IconvCodePoint(c.iconvName, byte);
      std::string ours = Decoded(std::string(1, static_cast<char>(byte)), c.encoding);
      bool differs = false;
      for (const auto& [at, mine, glibc] : c.differences) {
        if (at == byte) {
          differs = true;
          EXPECT_EQ(expected, glibc);
          EXPECT_EQ(ours, Utf8(mine));
        }
      }
      if (!differs) {
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(ours, Utf8(*expected));
      }
    }
  }
}

TEST(TextDecoderTest, readsAccentedNamesFromMacRomanAndWindowsFixtures) {
  ABImportFile mac(testsupport::Fixture("import/fixtures/accents-macroman.txt"),
                   TextEncoding::MacRoman);
  ASSERT_TRUE(mac.Load(nullptr));
  ABImportFile windows(testsupport::Fixture("import/fixtures/accents-cp1252.csv"),
                       TextEncoding::WindowsLatin1);
  ASSERT_TRUE(windows.Load(nullptr));
  for (const ABImportFile* file : {&mac, &windows}) {
    SCOPED_TRACE(file->Name());
    ASSERT_EQ(file->RecordCount(), 3u);
    EXPECT_EQ(file->Record(1), (ABRecord{"Frédérique", "Müller", "Roubaix"}));
    EXPECT_EQ(file->Record(2), (ABRecord{"Çedille", "Zoë", "Genève"}));
  }
}

TEST(TextDecoderTest, replacesEachMaximalSubpartOfInvalidUtf8) {
  const std::string r = "\xEF\xBF\xBD";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain ascii", "plain ascii"},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"a\x80z", "a" + r + "z"},
      {"\xC0\x80", r + r},
      {"\xE0\x80\x80", r + r + r},
      {"\xED\xA0\x80", r + r + r},
      {"\xF4\x90\x80\x80", r + r + r + r},
      {"\xE1\x80", r},
      {"\xE1\x80z", r + "z"},
      {"\xF0\x9F\x98z", r + "z"},
      {"\xF1\x80\x80\xE1\x80\xC2", r + r + r},
      {"\xFF\xFE", r + r},
      {"0123456789abcdef\xC3", "0123456789abcdef" + r},
      {"\xC3\xA9"
       "0123456789\xC3(",
       "\xC3\xA9"
       "0123456789" +
           r + "("},
  };
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(Decoded(bytes, TextEncoding::Utf8), expected);
    std::string buffer = bytes;
    ASSERT_TRUE(TextDecoder(TextEncoding::Utf8).DecodeInPlace(buffer));
    EXPECT_EQ(buffer, expected);
  }
  EXPECT_EQ(TextDecoder::ValidUtf8Length("0123456789abcdefghij\xFF"), 20u);
}

TEST(TextDecoderTest, keepsNulBytesInEveryEncoding) {
  for (TextEncoding encoding : {TextEncoding::MacRoman, TextEncoding::WindowsLatin1,
                                TextEncoding::IsoLatin1, TextEncoding::Utf8}) {
    SCOPED_TRACE(std::string(TextEncodingName(encoding)));
    EXPECT_EQ(Decoded("a\0b"s, encoding), "a\0b"s);
  }
  EXPECT_EQ(Decoded("a\0\0\0b\0"s, TextEncoding::Utf16), "a\0b"s);
}

TEST(TextDecoderTest, dropsOnlyALeadingUtf8ByteOrderMark) {
  EXPECT_EQ(Decoded("\xEF\xBB\xBFname", TextEncoding::Utf8), "name");
  EXPECT_EQ(Decoded("\xEF\xBB\xBF", TextEncoding::Utf8), "");
  EXPECT_EQ(Decoded("a\xEF\xBB\xBF", TextEncoding::Utf8), "a\xEF\xBB\xBF");
  std::string buffer = "\xEF\xBB\xBF\xC3\xA9\x80";
  ASSERT_TRUE(TextDecoder(TextEncoding::Utf8).DecodeInPlace(buffer));
  EXPECT_EQ(buffer, "\xC3\xA9\xEF\xBF\xBD");
}

TEST(TextDecoderTest, decodesUtf16ByByteOrderMarkOrBytePattern) {
  const std::string r = "\xEF\xBF\xBD";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xFF\xFE"
       "A\0\xE9\0"s,
       "A\xC3\xA9"},
      {"\xFE\xFF\0A\0\xE9"s, "A\xC3\xA9"},
      {"A\0B\0"s, "AB"},
      {"\0A\0B"s, "AB"},
      {"\xFE\xFF\0A\0B"s, "AB"},
      // Ideographs U+4E00 U+4E8C U+4E09 U+56DB in little-endian order: one zero first byte does
      // not make them big-endian.
      {"\x00\x4E\x8C\x4E\x09\x4E\xDB\x56"s, "\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B"},
      {"\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
      {"\x00\xD8"
       "A\0"s,
       r + "A"},
      {"\x00\xDC"s, r},
      {"A\0\x3D\xD8"s, "A" + r},
      {"A\0B"s, "A" + r},
      {"\xFF"s, r},
      {"\xFF\xFE"s, ""},
      {""s, ""},
  };
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    EXPECT_EQ(Decoded(bytes, TextEncoding::Utf16), expected);
  }
}

TEST(TextDecoderTest, systemCodeSetComesFromTheFirstLocaleVariableSet) {
  struct Case {
    const char* all;
    const char* ctype;
    const char* lang;
    std::string codeSet;
  };
  const std::vector<Case> cases = {
      {nullptr, nullptr, nullptr, "UTF-8"},
      {nullptr, nullptr, "de_DE.ISO-8859-1", "ISO-8859-1"},
      {nullptr, "fr_FR.UTF-8", "de_DE.ISO-8859-1", "UTF-8"},
      {"nl_NL.CP1252", "fr_FR.UTF-8", "de_DE.ISO-8859-1", "CP1252"},
      {"", "nl_NL.ISO-8859-15@euro", nullptr, "ISO-8859-15"},
      {"C", nullptr, "de_DE.ISO-8859-1", "UTF-8"},
      {nullptr, nullptr, "POSIX", "UTF-8"},
      {nullptr, nullptr, "de_DE", "UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codeSet);
    LocaleEnvironment environment(c.all, c.ctype, c.lang);
    EXPECT_EQ(TextDecoder::SystemCodeSet(), c.codeSet);
  }
}

TEST(TextDecoderTest, systemEncodingDecodesInTheLocalesCodeSet) {
  {
    LocaleEnvironment environment(nullptr, nullptr, "de_DE.ISO-8859-1");
    EXPECT_EQ(Decoded("M\xFCller", TextEncoding::System), "M\xC3\xBCller");
  }
  {
    LocaleEnvironment environment(nullptr, nullptr, "fr_FR.ISO-8859-15");
    EXPECT_EQ(Decoded("\xA4 5", TextEncoding::System), "\xE2\x82\xAC 5");
    EXPECT_EQ(Decoded("a\0b"s, TextEncoding::System), "a\0b"s);
  }
  {
    LocaleEnvironment environment(nullptr, nullptr, nullptr);
    std::string buffer = "\xEF\xBB\xBFZo\xC3\xAB";
    ASSERT_TRUE(TextDecoder(TextEncoding::System).DecodeInPlace(buffer));
    EXPECT_EQ(buffer, "Zo\xC3\xAB");
  }
  {
    LocaleEnvironment environment(nullptr, nullptr, "xx_XX.NO-SUCH-CODESET");
    std::string text;
    EXPECT_FALSE(TextDecoder(TextEncoding::System).Decode("abc", text));
    testsupport::TempDir folder;
    ABImportFile file(folder.Write("names.txt", "abc\n"), TextEncoding::System);
    EXPECT_FALSE(file.Load(nullptr));
    EXPECT_TRUE(file.Loaded());
  }
}

}  // namespace
