#include "import/ABImportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

#include "app/CaseInsensitive.h"
#include "import/ABProgressObserver.h"
#include "import/ByteScan.h"
#include "import/CSVParser.h"
#include "import/TextDecoder.h"

namespace {

// A file open for reading, closed when it goes. Folders do not open.
class InputFile final {
 public:
  explicit InputFile(const std::filesystem::path& file)
      : mDescriptor(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    if (mDescriptor >= 0 && (::fstat(mDescriptor, &info) != 0 || S_ISDIR(info.st_mode))) {
      ::close(mDescriptor);
      mDescriptor = -1;
    } else if (mDescriptor >= 0 && S_ISREG(info.st_mode)) {
      mSize = static_cast<std::size_t>(info.st_size);
    }
  }
  ~InputFile() {
    if (mDescriptor >= 0) {
      ::close(mDescriptor);
    }
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const { return mDescriptor >= 0; }
  // The size of a regular file when it was opened; 0 for other kinds.
  std::size_t Size() const { return mSize; }
  // Reads up to capacity bytes: the count, 0 at the end, -1 when reading fails.
  ssize_t Read(char* into, std::size_t capacity) {
    for (;;) {
      const ssize_t count = ::read(mDescriptor, into, capacity);
      if (count >= 0 || errno != EINTR) {
        return count;
      }
    }
  }

 private:
  int mDescriptor;
  std::size_t mSize = 0;
};

// Reads the whole file in one go into bytes.
bool ReadBytes(InputFile& input, std::string& bytes) {
  // One byte to spare, so that the end of a regular file is seen without growing the buffer.
  bytes.resize(input.Size() > 0 ? input.Size() + 1 : 64 * 1024);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t count = input.Read(bytes.data() + used, bytes.size() - used);
    if (count < 0) {
      bytes.clear();
      return false;
    }
    if (count == 0) {
      break;
    }
    used += static_cast<std::size_t>(count);
  }
  bytes.resize(used);
  return true;
}

// Reads and decodes a single-byte encoding a piece at a time, so that the raw bytes never
// take memory beside the text.
bool ReadBytewise(InputFile& input, const TextDecoder& decoder, std::string& text) {
  constexpr std::size_t kPiece = 1 << 20;
  text.clear();
  // Accented letters take two bytes in UTF-8; a quarter more is room for most texts.
  text.reserve(input.Size() + input.Size() / 4 + 64);
  const auto piece = std::make_unique_for_overwrite<char[]>(kPiece);
  for (;;) {
    const ssize_t count = input.Read(piece.get(), kPiece);
    if (count < 0) {
      text.clear();
      return false;
    }
    if (count == 0) {
      return true;
    }
    decoder.AppendBytewise(std::string_view(piece.get(), static_cast<std::size_t>(count)), text);
  }
}

// The first of `c` at or after `from`, or end.
const char* Find(const char* from, const char* end, char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found == nullptr ? end : static_cast<const char*>(found);
}

// Lines end at LF, CR LF or CR alone: spreadsheets on classic Macs wrote CR.
// The position just past the line break at p (which is CR, LF or the end).
const char* AfterLineBreak(const char* p, const char* end) {
  if (p == end) {
    return end;
  }
  if (*p == '\r' && p + 1 < end && p[1] == '\n') {
    return p + 2;
  }
  return p + 1;
}

// Whether the line from p holds only white space; the end of its blank part goes to stop.
bool IsBlankLine(const char* p, const char* end, const char*& stop) {
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\f' || *p == '\v')) {
    ++p;
  }
  stop = p;
  return p == end || *p == '\n' || *p == '\r';
}

std::size_t CountLineFeeds(std::string_view text) {
  std::size_t count = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while ((p = Find(p, end, '\n')) != end) {
    ++count;
    ++p;
  }
  return count;
}

}  // namespace

ABImportFile::ABImportFile(std::filesystem::path file, TextEncoding encoding)
    : mFile(std::move(file)), mEncoding(encoding) {}

std::string ABImportFile::Name() const {
  return mFile.filename().string();
}

bool ABImportFile::Load(ABProgressObserver* observer) {
  if (mLoaded) {
    return true;
  }
  mLoaded = true;
  if (observer != nullptr) {
    observer->ProgressStarted();
  }
  std::string text;
  if (!ReadText(text)) {
    return false;
  }
  const std::string name = Name();
  const bool csv = name.size() >= 4 &&
                   caseinsensitive::Equal(std::string_view(name).substr(name.size() - 4), ".csv");
  std::size_t widest = 0;
  const bool finished =
      csv ? LoadCSV(std::move(text), observer, widest) : LoadTabDelimited(text, observer, widest);
  // A stopped load keeps its records but leaves FieldCount as it was.
  if (finished) {
    mFieldCount = widest;
    if (observer != nullptr) {
      observer->ProgressEnded();
    }
  }
  return true;
}

bool ABImportFile::ReadText(std::string& text) const {
  InputFile input(mFile);
  if (!input.IsOpen()) {
    return false;
  }
  const TextDecoder decoder(mEncoding);
  if (decoder.DecodesBytewise()) {
    return ReadBytewise(input, decoder, text);
  }
  if (!ReadBytes(input, text)) {
    return false;
  }
  if (!decoder.DecodeInPlace(text)) {
    text.clear();
    return false;
  }
  return true;
}

bool ABImportFile::LoadTabDelimited(std::string_view text, ABProgressObserver* observer,
                                    std::size_t& widest) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  std::size_t retained = 0;
  for (const char* p = begin; p < end;) {
    const char* stop;
    retained += IsBlankLine(p, end, stop) ? 0 : 1;
    p = AfterLineBreak(bytescan::FindAny<'\n', '\r'>(stop, end), end);
  }
  if (observer != nullptr) {
    observer->ProgressLength(static_cast<std::int64_t>(retained));
  }

  mRecords.reserve(retained);
  std::vector<std::string_view> fields;
  for (const char* p = begin; p < end;) {
    const char* stop;
    if (IsBlankLine(p, end, stop)) {
      p = AfterLineBreak(bytescan::FindAny<'\n', '\r'>(stop, end), end);
      continue;
    }
    fields.clear();
    const char* fieldEnd;
    for (;;) {
      fieldEnd = bytescan::FindAny<'\t', '\n', '\r'>(p, end);
      fields.emplace_back(p, static_cast<std::size_t>(fieldEnd - p));
      if (fieldEnd == end || *fieldEnd != '\t') {
        break;
      }
      p = fieldEnd + 1;
    }
    p = AfterLineBreak(fieldEnd, end);
    widest = std::max(widest, fields.size());
    mRecords.emplace_back(std::span<const std::string_view>(fields));
    if (observer != nullptr && observer->ProgressStep(mRecords.back())) {
      return false;
    }
  }
  return true;
}

bool ABImportFile::LoadCSV(std::string text, ABProgressObserver* observer, std::size_t& widest) {
  // Pieces at LF: an estimate, as quoted fields may hold line breaks.
  const std::size_t estimate = CountLineFeeds(text) + 1;
  if (observer != nullptr) {
    observer->ProgressLength(static_cast<std::int64_t>(estimate));
  }
  mRecords.reserve(estimate);

  CSVParser parser(std::move(text));
  while (!parser.Eof()) {
    widest = std::max(widest, parser.FieldCount());
    mRecords.emplace_back(parser.Values());
    if (observer != nullptr && observer->ProgressStep(mRecords.back())) {
      return false;
    }
    parser.MoveNext();
  }
  return true;
}
