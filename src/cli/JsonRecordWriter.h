#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class ABRecord;

// Writes records as JSON Lines: each record one array of strings (RFC 8259), one per line. Text
// that is not valid UTF-8 is written with U+FFFD in place of each bad byte, so every line parses.
class JsonRecordWriter final {
 public:
  explicit JsonRecordWriter(std::FILE* out);
  ~JsonRecordWriter();
  JsonRecordWriter(const JsonRecordWriter&) = delete;
  JsonRecordWriter& operator=(const JsonRecordWriter&) = delete;

  void Write(const ABRecord& record);
  // Writes what is buffered; false when the stream refused it.
  bool Flush();

  // Appends `text` as one JSON string, quotes included.
  static void AppendString(std::string& out, std::string_view text);

 private:
  std::FILE* mOut;
  std::string mBuffer;
  bool mFailed = false;
};
