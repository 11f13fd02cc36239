// Writes arbitrary bytes to one temporary file per process and loads it as a tab-delimited and as
// a CSV import file in several encodings, checking what every load must hold.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "import/ABImportFile.h"
#include "import/ABProgressObserver.h"
#include "import/TextDecoder.h"

namespace {

// Checks the calling order and stops after a number of steps taken from the input.
class CheckingObserver final : public ABProgressObserver {
 public:
  explicit CheckingObserver(std::size_t stopAt) : mStopAt(stopAt) {}

  bool ProgressStep(const ABRecord& item) override {
    if (!mStarted || mEnded || item.FieldCount() == 0) {
      std::abort();
    }
    return ++mSteps == mStopAt;
  }
  void ProgressLength(std::int64_t count) override {
    if (!mStarted || mSteps != 0 || count < 0) {
      std::abort();
    }
    mLength = count;
  }
  void ProgressEnded() override {
    if (!mStarted || mEnded) {
      std::abort();
    }
    mEnded = true;
  }
  void ProgressStarted() override {
    if (mStarted) {
      std::abort();
    }
    mStarted = true;
  }

  std::size_t Steps() const { return mSteps; }
  std::int64_t Length() const { return mLength; }
  bool Ended() const { return mEnded; }

 private:
  std::size_t mStopAt;
  std::size_t mSteps = 0;
  std::int64_t mLength = -1;
  bool mStarted = false;
  bool mEnded = false;
};

// One folder per fuzzing process, removed when the process exits normally.
class Scratch final {
 public:
  Scratch()
      : mPath(std::filesystem::temp_directory_path() /
              ("quillbrook-fuzz-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(mPath);
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::filesystem::path& Path() const { return mPath; }

 private:
  std::filesystem::path mPath;
};

const std::filesystem::path& Folder() {
  static const Scratch scratch;
  return scratch.Path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t stopAt = size > 0 ? data[0] % 8 : 0;
  for (const char* name : {"input.txt", "input.csv"}) {
    const std::filesystem::path file = Folder() / name;
    {
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const bool tab = name[6] == 't';
    for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16, TextEncoding::MacRoman,
                                  TextEncoding::WindowsLatin1}) {
      ABImportFile importFile(file, encoding);
      CheckingObserver observer(stopAt);
      if (!importFile.Load(&observer) || !importFile.Loaded()) {
        std::abort();
      }
      std::size_t widest = 0;
      for (const ABRecord& record : importFile.Records()) {
        if (record.FieldCount() == 0) {
          std::abort();
        }
        for (std::size_t i = 0; i < record.FieldCount(); ++i) {
          if (TextDecoder::ValidUtf8Length(record.Field(i)) != record.Field(i).size()) {
            std::abort();
          }
        }
        widest = std::max(widest, record.FieldCount());
      }
      if (observer.Steps() != importFile.RecordCount()) {
        std::abort();
      }
      // A stopped load is never ended and keeps FieldCount at 0.
      const bool stopped = stopAt != 0 && observer.Steps() == stopAt;
      if (observer.Ended() == stopped || importFile.FieldCount() != (stopped ? 0 : widest)) {
        std::abort();
      }
      // The tab-delimited total is exact; the CSV one only an estimate.
      if (tab && observer.Ended() &&
          observer.Length() != static_cast<std::int64_t>(importFile.RecordCount())) {
        std::abort();
      }
    }
  }
  return 0;
}
