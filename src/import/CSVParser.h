#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "import/CSVField.h"
#include "import/CSVMid.h"

// Reads comma-separated text line by line: double-quote quoting with doubled quotes inside, line
// breaks CR, LF or CR LF, quoted commas and line breaks kept. Every text parses; the parser only
// moves forward, and the first data line is current once it is built.
class CSVParser final {
 public:
  // With useFirstLine the first line holds the column names instead of data.
  explicit CSVParser(std::string text, bool useFirstLine = false);
  CSVParser(const CSVParser&) = delete;
  CSVParser& operator=(const CSVParser&) = delete;

  // True once a parse found no text left; the last line's fields stay current until then.
  // (Not EOF(): that name is a macro of the C library.)
  bool Eof() const { return mEOF; }
  std::size_t FieldCount() const { return mValues.size(); }
  // The field at a 1-based index; throws std::out_of_range outside 1 to FieldCount.
  CSVField IdxField(std::size_t index) const;
  // The first field whose name equals name without regard to case, or none.
  std::optional<CSVField> Field(std::string_view name) const;
  void MoveNext();

  // The values of the current line; valid until the next MoveNext.
  std::span<const std::string_view> Values() const { return mValues; }
  // The column names read in header mode.
  const std::vector<std::string>& FieldNames() const { return mFieldNames; }

 private:
  enum class FieldEnd { Comma, LineBreak, EndOfText };
  // Where a value lies: in the text itself, or in mScratch when quotes were dropped from it.
  struct Piece {
    bool inScratch;
    std::size_t begin;
    std::size_t length;
  };

  void ParseNextLine();
  FieldEnd ParseField();
  std::string FieldName(std::size_t index) const;

  std::string mData;
  CSVMid mMid;
  // 0-based byte position of the next character to examine.
  std::size_t mOffset = 0;
  std::size_t mLength;
  std::vector<std::string> mFieldNames;
  std::vector<Piece> mPieces;
  std::string mScratch;
  std::vector<std::string_view> mValues;
  bool mUseFirstLine;
  bool mOnFirstLine = true;
  bool mEOF = false;
};
