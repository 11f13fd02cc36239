#include "cli/JsonRecordWriter.h"

#include "import/ABRecord.h"

namespace {

// Records are gathered into blocks of about this size before they are written.
constexpr std::size_t kBlockSize = 1 << 16;

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continuation = [&](std::size_t i) {
    return i < text.size() && (byte(i) & 0xC0) == 0x80;
  };
  const unsigned char lead = byte(0);
  if (lead >= 0xC2 && lead <= 0xDF) {
    return continuation(1) ? 2 : 0;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(1) || !continuation(2)) {
      return 0;
    }
    // Overlong forms and UTF-16 surrogates are not valid UTF-8.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F)) {
      return 0;
    }
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) {
      return 0;
    }
    if ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
      return 0;
    }
    return 4;
  }
  return 0;
}

}  // namespace

JsonRecordWriter::JsonRecordWriter(std::FILE* out) : mOut(out) {
  mBuffer.reserve(kBlockSize * 2);
}

JsonRecordWriter::~JsonRecordWriter() {
  Flush();
}

void JsonRecordWriter::AppendString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text.substr(i));
      if (length == 0) {
        out.append("\xEF\xBF\xBD");
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    switch (c) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      case '\b':
        out.append("\\b");
        break;
      case '\f':
        out.append("\\f");
        break;
      default:
        if (c < 0x20) {
          out.append("\\u00");
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 0xF]);
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
    ++i;
  }
  out.push_back('"');
}

void JsonRecordWriter::Write(const ABRecord& record) {
  mBuffer.push_back('[');
  for (std::size_t i = 0; i < record.FieldCount(); ++i) {
    if (i > 0) {
      mBuffer.push_back(',');
    }
    AppendString(mBuffer, record.Field(i));
  }
  mBuffer.append("]\n");
  if (mBuffer.size() >= kBlockSize) {
    Flush();
  }
}

bool JsonRecordWriter::Flush() {
  if (!mBuffer.empty() && !mFailed) {
    mFailed = std::fwrite(mBuffer.data(), 1, mBuffer.size(), mOut) != mBuffer.size();
  }
  mBuffer.clear();
  if (!mFailed) {
    mFailed = std::fflush(mOut) != 0;
  }
  return !mFailed;
}
