#include "import/CSVParser.h"

#include <stdexcept>
#include <utility>

#include "app/CaseInsensitive.h"
#include "import/ByteScan.h"

CSVParser::CSVParser(std::string text, bool useFirstLine)
    : mData(std::move(text)), mMid(mData), mLength(mData.size()), mUseFirstLine(useFirstLine) {
  ParseNextLine();
  if (mUseFirstLine) {
    ParseNextLine();
  }
}

CSVField CSVParser::IdxField(std::size_t index) const {
  if (index < 1 || index > mValues.size()) {
    throw std::out_of_range("CSV field index out of range");
  }
  return CSVField(FieldName(index - 1), std::string(mValues[index - 1]));
}

std::optional<CSVField> CSVParser::Field(std::string_view name) const {
  for (std::size_t i = 0; i < mValues.size(); ++i) {
    std::string fieldName = FieldName(i);
    if (caseinsensitive::Equal(fieldName, name)) {
      return CSVField(std::move(fieldName), std::string(mValues[i]));
    }
  }
  return std::nullopt;
}

void CSVParser::MoveNext() {
  ParseNextLine();
}

std::string CSVParser::FieldName(std::size_t index) const {
  if (index < mFieldNames.size()) {
    return mFieldNames[index];
  }
  return "field" + std::to_string(index + 1);
}

void CSVParser::ParseNextLine() {
  if (mOffset >= mLength) {
    mEOF = true;
    return;
  }
  mPieces.clear();
  mScratch.clear();
  // A comma always opens one more field, even when the text ends right after it.
  while (ParseField() == FieldEnd::Comma) {
  }
  const char* data = mMid.Data();
  mValues.clear();
  for (const Piece& piece : mPieces) {
    const char* base = piece.inScratch ? mScratch.data() : data;
    mValues.emplace_back(base + piece.begin, piece.length);
  }
  if (mUseFirstLine && mOnFirstLine) {
    mFieldNames.assign(mValues.begin(), mValues.end());
    mValues.clear();
  }
  mOnFirstLine = false;
}

CSVParser::FieldEnd CSVParser::ParseField() {
  const char* data = mMid.Data();
  // Blanks before the field and directly after its opening quote are skipped.
  bool quoted = false;
  while (mOffset < mLength) {
    const char c = data[mOffset];
    if (c == ' ' || c == '\t') {
      ++mOffset;
    } else if (c == '"' && !quoted) {
      quoted = true;
      ++mOffset;
    } else {
      break;
    }
  }

  // The value is the run [runStart, end) of the text, after what mScratch holds when a doubled
  // quote broke the run.
  std::size_t runStart = mOffset;
  bool inScratch = false;
  const std::size_t scratchStart = mScratch.size();
  auto finish = [&](std::size_t end, FieldEnd how) {
    if (inScratch) {
      mScratch.append(data + runStart, end - runStart);
      mPieces.push_back({true, scratchStart, mScratch.size() - scratchStart});
    } else {
      mPieces.push_back({false, runStart, end - runStart});
    }
    return how;
  };

  while (mOffset < mLength) {
    mOffset = static_cast<std::size_t>(
        bytescan::FindAny<'"', ',', '\r', '\n'>(data + mOffset, data + mLength) - data);
    if (mOffset >= mLength) {
      break;
    }
    const std::size_t at = mOffset;
    const char c = data[mOffset++];
    const bool atEnd = mOffset >= mLength;
    const char d = atEnd ? '\0' : data[mOffset];
    if (c == '"') {
      if (atEnd) {
        return finish(at, FieldEnd::EndOfText);
      }
      if (d == '"') {
        // Keep the first quote of the pair, drop the second.
        mScratch.append(data + runStart, mOffset - runStart);
        inScratch = true;
        runStart = ++mOffset;
      } else if (d == ',') {
        ++mOffset;
        return finish(at, FieldEnd::Comma);
      } else if (d == '\r' || d == '\n') {
        ++mOffset;
        if (d == '\r' && mOffset < mLength && data[mOffset] == '\n') {
          ++mOffset;
        }
        return finish(at, FieldEnd::LineBreak);
      } else {
        // A stray quote is kept as a character, and quoting ends with it, so that it cannot
        // swallow the separators and line breaks after it.
        quoted = false;
      }
    } else if (quoted) {
      continue;
    } else if (c == ',') {
      return finish(at, FieldEnd::Comma);
    } else {
      // An unquoted CR or LF ends the line, taking one directly following LF with it.
      if (!atEnd && d == '\n') {
        ++mOffset;
      }
      return finish(at, FieldEnd::LineBreak);
    }
  }
  return finish(mOffset, FieldEnd::EndOfText);
}
