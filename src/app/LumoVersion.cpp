#include "app/LumoVersion.h"

#include <limits>

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The first stage letter at or after `from`: any "b" wins over any "a", which wins over any "d",
// wherever they stand.
std::size_t FindStageLetter(std::string_view text, std::size_t from) {
  for (std::string_view letter : {"bB", "aA", "dD"}) {
    const std::size_t position = text.find_first_of(letter, from);
    if (position != kNone) {
      return position;
    }
  }
  return kNone;
}

std::int32_t StageOf(char letter) {
  switch (letter) {
    case 'b':
    case 'B':
      return LumoVersion::kStageBeta;
    case 'a':
    case 'A':
      return LumoVersion::kStageAlpha;
    default:
      return LumoVersion::kStageDevelopment;
  }
}

std::string_view Piece(std::string_view text, std::size_t from, std::size_t to = kNone) {
  if (from >= text.size()) {
    return {};
  }
  return text.substr(from, to == kNone ? kNone : to - from);
}

}  // namespace

LumoVersion::LumoVersion(std::int32_t major, std::int32_t minor, std::int32_t bug,
                         std::int32_t stage, std::int32_t nonRelease)
    : mMajorVersion(major),
      mMinorVersion(minor),
      mBugVersion(bug),
      mStageCode(stage),
      mNonReleaseVersion(nonRelease) {}

LumoVersion::LumoVersion(std::string_view text) {
  const std::size_t firstDot = text.find('.');
  if (firstDot == kNone) {
    mMajorVersion = LeadingNumber(text);
    return;
  }
  mMajorVersion = LeadingNumber(text.substr(0, firstDot));
  std::size_t start = firstDot + 1;

  std::size_t separator = text.find('.', start);
  const bool secondDot = separator != kNone;
  if (!secondDot) {
    separator = FindStageLetter(text, start);
  }
  if (separator == kNone) {
    mMinorVersion = LeadingNumber(Piece(text, start));
    return;
  }
  mMinorVersion = LeadingNumber(Piece(text, start, separator));

  if (secondDot) {
    start = separator + 1;
    const std::size_t letter = FindStageLetter(text, start);
    if (letter == kNone) {
      mBugVersion = LeadingNumber(Piece(text, start));
      return;
    }
    mBugVersion = LeadingNumber(Piece(text, start, letter));
    separator = letter;
  }
  mStageCode = StageOf(text[separator]);
  mNonReleaseVersion = LeadingNumber(Piece(text, separator + 1));
}

std::string LumoVersion::Text() const {
  std::string text = std::to_string(mMajorVersion) + "." + std::to_string(mMinorVersion);
  if (mBugVersion > 0) {
    text += "." + std::to_string(mBugVersion);
  }
  if (mNonReleaseVersion > 0 && mStageCode != kStageFinal) {
    switch (mStageCode) {
      case kStageDevelopment:
        text += 'd';
        break;
      case kStageAlpha:
        text += 'a';
        break;
      case kStageBeta:
        text += 'b';
        break;
      default:
        break;
    }
    text += std::to_string(mNonReleaseVersion);
  }
  return text;
}

int LumoVersion::Compare(const LumoVersion* other) const {
  if (other == nullptr) {
    return 1;
  }
  const std::int32_t mine[] = {mMajorVersion, mMinorVersion, mBugVersion, mStageCode,
                               mNonReleaseVersion};
  const std::int32_t theirs[] = {other->mMajorVersion, other->mMinorVersion, other->mBugVersion,
                                 other->mStageCode, other->mNonReleaseVersion};
  for (std::size_t i = 0; i < std::size(mine); ++i) {
    if (mine[i] != theirs[i]) {
      return mine[i] > theirs[i] ? 1 : -1;
    }
  }
  return 0;
}

std::int32_t LumoVersion::LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate as a magnitude in 64 bits and stop growing once past the 32-bit range.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude <= kLimit) {
      magnitude = magnitude * 10 + (text[i] - '0');
    }
  }
  if (negative) {
    return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min()
                               : static_cast<std::int32_t>(-magnitude);
  }
  return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max()
                             : static_cast<std::int32_t>(magnitude);
}

std::string to_string(const LumoVersion& version) {
  return version.Text();
}
