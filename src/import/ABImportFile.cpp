#include "import/ABImportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <span>
#include <string_view>

#include "app/CaseInsensitive.h"
#include "import/ABProgressObserver.h"
#include "import/CSVParser.h"
#include "import/TextDecoder.h"

namespace {

// Reads the whole file in one go: its size from fstat, then read until the end.
bool ReadBytes(const std::filesystem::path& file, std::string& bytes) {
  const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return false;
  }
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(descriptor);
    return false;
  }
  // One byte to spare, so that the end of a regular file is seen without growing the buffer.
  const std::size_t expected =
      S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 64 * 1024;
  bytes.resize(expected);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t count = ::read(descriptor, bytes.data() + used, bytes.size() - used);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      ::close(descriptor);
      bytes.clear();
      return false;
    }
    if (count == 0) {
      break;
    }
    used += static_cast<std::size_t>(count);
  }
  ::close(descriptor);
  bytes.resize(used);
  return true;
}

// The first of `c` at or after `from`, or end.
const char* Find(const char* from, const char* end, char c) {
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found == nullptr ? end : static_cast<const char*>(found);
}

// Hands each line, without its break, to visit until it returns false. A line ends at LF, CR LF
// or CR alone: spreadsheets on classic Macs wrote CR. False when visit stopped the walk.
template <typename Visit>
bool ForEachLine(std::string_view text, Visit&& visit) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const char* nextLF = p;
  const char* nextCR = p;
  bool first = true;
  while (p < end) {
    // Each search result is kept until the walk passes it, so no byte is searched twice.
    if (first || nextLF < p) {
      nextLF = Find(p, end, '\n');
    }
    if (first || nextCR < p) {
      nextCR = Find(p, end, '\r');
    }
    first = false;
    const char* lineEnd = std::min(nextLF, nextCR);
    if (!visit(std::string_view(p, static_cast<std::size_t>(lineEnd - p)))) {
      return false;
    }
    if (lineEnd == end) {
      break;
    }
    p = lineEnd + 1;
    if (*lineEnd == '\r' && p < end && *p == '\n') {
      ++p;
    }
  }
  return true;
}

bool IsBlank(std::string_view line) {
  for (char c : line) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') {
      return false;
    }
  }
  return true;
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
  if (!ReadBytes(mFile, text)) {
    return false;
  }
  if (!TextDecoder(mEncoding).DecodeInPlace(text)) {
    text.clear();
    return false;
  }
  return true;
}

bool ABImportFile::LoadTabDelimited(std::string_view text, ABProgressObserver* observer,
                                    std::size_t& widest) {
  std::size_t retained = 0;
  ForEachLine(text, [&](std::string_view line) {
    retained += IsBlank(line) ? 0 : 1;
    return true;
  });
  if (observer != nullptr) {
    observer->ProgressLength(static_cast<std::int64_t>(retained));
  }

  mRecords.reserve(retained);
  std::vector<std::string_view> fields;
  return ForEachLine(text, [&](std::string_view line) {
    if (IsBlank(line)) {
      return true;
    }
    fields.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
      const char* tab = Find(p, end, '\t');
      fields.emplace_back(p, static_cast<std::size_t>(tab - p));
      if (tab == end) {
        break;
      }
      p = tab + 1;
    }
    widest = std::max(widest, fields.size());
    mRecords.emplace_back(std::span<const std::string_view>(fields));
    return observer == nullptr || !observer->ProgressStep(mRecords.back());
  });
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
