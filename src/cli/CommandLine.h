#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the user asked quillbrook-import to do, read from its arguments.
class CommandLine final {
 public:
  // A record range counted from 0, as a map holds it; End -1 means through the last record.
  struct Range {
    int Start = 0;
    int End = -1;
  };

  CommandLine() = default;

  // Reads the arguments after the program name; false with a one-line reason in Error().
  bool Parse(const std::vector<std::string_view>& arguments);
  const std::string& Error() const { return mError; }

  // The usage text, several lines, each ending in a line feed.
  static std::string Usage();
  // Reads "all", "all-but-first", "FROM-TO" or "FROM-" (counted from 1); none when malformed.
  static std::optional<Range> ParseRange(std::string_view text);

  bool Help() const { return mHelp; }
  bool ShowVersion() const { return mShowVersion; }
  bool Records() const { return mRecords; }
  bool Quiet() const { return mQuiet; }
  const std::filesystem::path& ImportFile() const { return mImportFile; }
  const std::optional<std::filesystem::path>& MapFile() const { return mMapFile; }
  // The encoding's name as given (checked against the known names); "system" by default.
  const std::string& EncodingName() const { return mEncodingName; }
  const std::optional<Range>& RangeOverride() const { return mRange; }
  // The group to use instead of the map's; the empty text for --no-group.
  const std::optional<std::string>& GroupOverride() const { return mGroup; }
  const std::optional<std::filesystem::path>& StoreFolder() const { return mStore; }

 private:
  bool Fail(std::string reason);
  bool Apply(std::string_view option, std::string_view value);

  std::string mError;
  bool mHelp = false;
  bool mShowVersion = false;
  bool mRecords = false;
  bool mQuiet = false;
  std::filesystem::path mImportFile;
  std::optional<std::filesystem::path> mMapFile;
  std::string mEncodingName = "system";
  std::optional<Range> mRange;
  std::optional<std::string> mGroup;
  std::optional<std::filesystem::path> mStore;
};
