// Runs the CSV parser over arbitrary bytes, decoded as UTF-8 first, and checks that every line has
// a field, that the parser reaches the end, and that the values hold nothing but text from input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "import/CSVParser.h"
#include "import/TextDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text;
  if (!TextDecoder(TextEncoding::Utf8)
           .Decode(std::string_view(reinterpret_cast<const char*>(data), size), text)) {
    std::abort();
  }
  if (TextDecoder::ValidUtf8Length(text) != text.size()) {
    std::abort();
  }
  const std::size_t length = text.size();
  const bool header = size > 0 && data[0] == '#';
  CSVParser parser(text, header);
  std::size_t lines = 0;
  std::size_t valueBytes = 0;
  while (!parser.Eof()) {
    if (parser.FieldCount() == 0) {
      std::abort();
    }
    for (std::size_t i = 1; i <= parser.FieldCount(); ++i) {
      const CSVField field = parser.IdxField(i);
      if (field.Value() != parser.Values()[i - 1] || (!header && field.Name().empty())) {
        std::abort();
      }
      valueBytes += field.Value().size();
    }
    // Each line consumes at least one character, so a parse can never take more lines than that.
    if (++lines > length) {
      std::abort();
    }
    parser.MoveNext();
  }
  if (length > 0 && lines == 0 && !header) {
    std::abort();
  }
  // Quoting only ever removes characters.
  if (valueBytes > length) {
    std::abort();
  }
  return 0;
}
