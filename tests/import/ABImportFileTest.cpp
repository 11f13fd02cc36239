#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "import/ABImportFile.h"
#include "import/ABProgressObserver.h"
#include "import/FileTypes.h"
#include "support/TestSupport.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::vector<std::string>>;

// Writes down every call in order; asks to stop at step number stopAt (never when 0).
class RecordingObserver final : public ABProgressObserver {
 public:
  explicit RecordingObserver(std::size_t stopAt = 0) : mStopAt(stopAt) {}

  bool ProgressStep(const ABRecord& item) override {
    mCalls.push_back("step " + (item.FieldCount() > 0 ? std::string(item.Field(0)) : ""));
    return ++mSteps == mStopAt;
  }
  void ProgressLength(std::int64_t count) override {
    mCalls.push_back("length " + std::to_string(count));
  }
  void ProgressEnded() override { mCalls.push_back("ended"); }
  void ProgressStarted() override { mCalls.push_back("started"); }

  const std::vector<std::string>& Calls() const { return mCalls; }

 private:
  std::size_t mStopAt;
  std::size_t mSteps = 0;
  std::vector<std::string> mCalls;
};

Lines Records(const ABImportFile& file) {
  Lines lines;
  for (const ABRecord& record : file.Records()) {
    lines.push_back(record.Fields());
  }
  return lines;
}

TEST(ABImportFileTest, splitsTabDelimitedLinesAndDropsBlankOnes) {
  struct Case {
    const char* name;
    std::string text;
    Lines lines;
    std::size_t fieldCount;
  };
  const std::vector<Case> cases = {
      {"two tabs", "a\t\tb\n", {{"a", "", "b"}}, 3},
      {"trailing tab", "a\t\n", {{"a", ""}}, 2},
      {"leading tab", "\ta", {{"", "a"}}, 2},
      {"blank lines dropped", " \t \n x \n\t\n", {{" x "}}, 1},
      {"quotes kept", "\"q\"\t\"a,b\"\n", {{"\"q\"", "\"a,b\""}}, 2},
      {"records of 2, 5 and 3 fields",
       "a\tb\nc\td\te\tf\tg\nh\ti\tj\n",
       {{"a", "b"}, {"c", "d", "e", "f", "g"}, {"h", "i", "j"}},
       5},
      {"empty file", "", {}, 0},
      {"blank lines only", "\n  \n\t\r\n\f\v\n", {}, 0},
      {"LF, CR LF and CR all end lines", "a\r\nb\rc\nd", {{"a"}, {"b"}, {"c"}, {"d"}}, 1},
      {"CR CR leaves a blank line", "a\r\rb\r", {{"a"}, {"b"}}, 1},
      {"NUL is no white space", "\0\na\0b\tc\n"s, {{"\0"s}, {"a\0b"s, "c"}}, 2},
      {"UTF-8 byte-order mark dropped", "\xEF\xBB\xBFname\tx\n", {{"name", "x"}}, 2},
  };
  testsupport::TempDir folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ABImportFile file(folder.Write("case.txt", c.text), TextEncoding::Utf8);
    RecordingObserver observer;
    ASSERT_TRUE(file.Load(&observer));
    EXPECT_EQ(Records(file), c.lines);
    EXPECT_EQ(file.RecordCount(), c.lines.size());
    EXPECT_EQ(file.FieldCount(), c.fieldCount);
    ASSERT_GE(observer.Calls().size(), 2u);
    EXPECT_EQ(observer.Calls()[1], "length " + std::to_string(c.lines.size()));
  }
}

TEST(ABImportFileTest, choosesTheLoaderByTheNameEnding) {
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"people.csv", {{"a", "b\tc"}}}, {"PEOPLE.CSV", {{"a", "b\tc"}}},
      {"people.Csv", {{"a", "b\tc"}}}, {".csv", {{"a", "b\tc"}}},
      {"people.txt", {{"a,b", "c"}}},  {"people.tab", {{"a,b", "c"}}},
      {"people", {{"a,b", "c"}}},      {"people.csv.txt", {{"a,b", "c"}}},
      {"people.xcsv", {{"a,b", "c"}}},
  };
  testsupport::TempDir folder;
  for (const auto& [name, lines] : cases) {
    SCOPED_TRACE(name);
    ABImportFile file(folder.Write(name, "a,b\tc\n"), TextEncoding::Utf8);
    EXPECT_EQ(file.Name(), name);
    ASSERT_TRUE(file.Load(nullptr));
    EXPECT_EQ(Records(file), lines);
  }
}

TEST(ABImportFileTest, reportsStartLengthEachRecordAndEndInOrder) {
  testsupport::TempDir folder;
  for (const char* name : {"four.txt", "four.csv"}) {
    SCOPED_TRACE(name);
    ABImportFile file(folder.Write(name, "a\nb\n\nc\nd\n"), TextEncoding::Utf8);
    RecordingObserver observer;
    ASSERT_TRUE(file.Load(&observer));
    const std::string length = std::string(name) == "four.txt" ? "length 4" : "length 6";
    EXPECT_EQ(observer.Calls(), (std::vector<std::string>{"started", length, "step a", "step b",
                                                          "step c", "step d", "ended"}));
    EXPECT_EQ(file.FieldCount(), 1u);
  }
}

TEST(ABImportFileTest, stopAfterTheThirdStepKeepsThreeRecordsAndNoFieldCount) {
  testsupport::TempDir folder;
  for (const char* name : {"five.txt", "five.csv"}) {
    SCOPED_TRACE(name);
    ABImportFile file(folder.Write(name, "a\nb\nc\nd\ne\n"), TextEncoding::Utf8);
    RecordingObserver observer(3);
    ASSERT_TRUE(file.Load(&observer));
    EXPECT_EQ(file.RecordCount(), 3u);
    EXPECT_EQ(file.FieldCount(), 0u);
    EXPECT_TRUE(file.Loaded());
    ASSERT_EQ(observer.Calls().size(), 5u);
    EXPECT_EQ(observer.Calls().back(), "step c");
  }
}

TEST(ABImportFileTest, secondLoadReturnsTrueAndLeavesRecordsAlone) {
  testsupport::TempDir folder;
  const auto path = folder.Write("again.txt", "a\tb\n");
  ABImportFile file(path, TextEncoding::Utf8);
  EXPECT_FALSE(file.Loaded());
  ASSERT_TRUE(file.Load(nullptr));
  folder.Write("again.txt", "x\ny\tz\tw\n");
  RecordingObserver observer;
  EXPECT_TRUE(file.Load(&observer));
  EXPECT_TRUE(observer.Calls().empty());
  EXPECT_EQ(Records(file), (Lines{{"a", "b"}}));
  EXPECT_EQ(file.FieldCount(), 2u);
  EXPECT_THROW(file.Record(1), std::out_of_range);
}

TEST(ABImportFileTest, fileThatCannotBeReadFailsAndStaysEmpty) {
  testsupport::TempDir folder;
  const auto locked = folder.Write("locked.txt", "a\n");
  ::chmod(locked.c_str(), 0);
  const bool lockedIsReadable = ::access(locked.c_str(), R_OK) == 0;
  std::filesystem::create_directory(folder.Path() / "folder.csv");
  std::vector<std::filesystem::path> paths = {
      folder.Path() / "missing.txt", folder.Path() / "missing.csv", folder.Path() / "folder.csv",
      folder.Path() / "locked.txt" / "inside.txt",
      // Opens, but reading it fails.
      "/proc/self/mem"};
  if (!lockedIsReadable) {
    paths.push_back(locked);
  }
  for (const auto& path : paths) {
    SCOPED_TRACE(path.string());
    ABImportFile file(path, TextEncoding::Utf8);
    RecordingObserver observer;
    EXPECT_FALSE(file.Load(&observer));
    EXPECT_TRUE(file.Loaded());
    EXPECT_EQ(file.RecordCount(), 0u);
    EXPECT_EQ(file.FieldCount(), 0u);
    EXPECT_EQ(observer.Calls(), (std::vector<std::string>{"started"}));
    EXPECT_TRUE(file.Load(nullptr));
  }
}

TEST(ABImportFileTest, readsLargeFilesAndPipesWhole) {
  // Well over the piece size of the bytewise reader and the first buffer for pipes.
  std::string latin1;
  std::string utf8;
  for (int i = 0; i < 60000; ++i) {
    latin1 += "Zo\xEB\tM\xFCller " + std::to_string(i) + "\n";
    utf8 += "Zoë\tMüller " + std::to_string(i) + "\n";
  }
  testsupport::TempDir folder;
  const std::filesystem::path fifo = folder.Path() / "pipe.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::filesystem::path file;
    TextEncoding encoding;
    const std::string* bytes;
  };
  const std::vector<Case> cases = {
      {folder.Write("large.txt", latin1), TextEncoding::IsoLatin1, &latin1},
      {folder.Write("large-utf8.txt", utf8), TextEncoding::Utf8, &utf8},
      {fifo, TextEncoding::WindowsLatin1, &latin1},
      {fifo, TextEncoding::Utf8, &utf8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.filename().string() + " " + std::string(TextEncodingName(c.encoding)));
    std::thread writer;
    if (c.file == fifo) {
      writer = std::thread([&] { std::ofstream(fifo, std::ios::binary) << *c.bytes; });
    }
    ABImportFile file(c.file, c.encoding);
    const bool loaded = file.Load(nullptr);
    if (writer.joinable()) {
      writer.join();
    }
    ASSERT_TRUE(loaded);
    ASSERT_EQ(file.RecordCount(), 60000u);
    EXPECT_EQ(file.Record(0), (ABRecord{"Zoë", "Müller 0"}));
    EXPECT_EQ(file.Record(59999), (ABRecord{"Zoë", "Müller 59999"}));
  }
}

TEST(ABImportFileTest, keepsFileAndEncoding) {
  ABImportFile file("/some/where/Contacts Export.csv", TextEncoding::MacRoman);
  EXPECT_EQ(file.File(), std::filesystem::path("/some/where/Contacts Export.csv"));
  EXPECT_EQ(file.Name(), "Contacts Export.csv");
  EXPECT_EQ(file.Encoding(), TextEncoding::MacRoman);
  EXPECT_FALSE(file.Loaded());
}

TEST(FileTypesTest, describesTheThreeKindsOfFiles) {
  FileTypes::Initialize();
  const FileType& map = FileTypes::MapFile();
  EXPECT_EQ(map.DisplayName(), "Map file");
  EXPECT_EQ(map.Extensions(), ".map");
  EXPECT_EQ(map.TypeCode(), "Map ");
  EXPECT_EQ(map.CreatorCode(), "????");
  EXPECT_EQ(FileTypes::CSVFile().DisplayName(), "CSV file");
  EXPECT_EQ(FileTypes::CSVFile().TypeCode(), "TEXT");
  const FileType& tab = FileTypes::TabDelimitedFile();
  EXPECT_EQ(tab.DisplayName(), "Tab-delimited file");
  EXPECT_EQ(tab.Extensions(), ".tab;.txt");
  EXPECT_EQ(tab.ExtensionList(), (std::vector<std::string>{".tab", ".txt"}));
  EXPECT_EQ(tab.CreatorCode(), "????");
  EXPECT_EQ(&FileTypes::CSVFile(), &FileTypes::CSVFile());
  EXPECT_TRUE(FileTypes::CSVFile().Matches("x/People.CSV"));
  EXPECT_TRUE(tab.Matches("people.TXT"));
  EXPECT_FALSE(tab.Matches("people.csv"));
  EXPECT_FALSE(map.Matches("people"));
}

}  // namespace
