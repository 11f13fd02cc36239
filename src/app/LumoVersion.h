#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

// A five-part version number (major, minor, bug, stage, non-release) that parses, prints and
// orders itself. A plain value: never changed after construction.
class LumoVersion final {
 public:
  static constexpr std::int32_t kStageDevelopment = 0;
  static constexpr std::int32_t kStageAlpha = 1;
  static constexpr std::int32_t kStageBeta = 2;
  static constexpr std::int32_t kStageFinal = 3;

  // Version 1.0, final.
  LumoVersion() = default;
  // The five numbers as given, without any range check.
  explicit LumoVersion(std::int32_t major, std::int32_t minor, std::int32_t bug, std::int32_t stage,
                       std::int32_t nonRelease);
  // Parses MAJOR [ "." MINOR [ "." BUG ] [ STAGE NONRELEASE ] ] with STAGE one of d, a, b in any
  // case; what does not fit reads as 0, and numbers beyond 32 bits saturate.
  explicit LumoVersion(std::string_view text);

  std::int32_t MajorVersion() const { return mMajorVersion; }
  std::int32_t MinorVersion() const { return mMinorVersion; }
  std::int32_t BugVersion() const { return mBugVersion; }
  std::int32_t StageCode() const { return mStageCode; }
  std::int32_t NonReleaseVersion() const { return mNonReleaseVersion; }

  // True for development, alpha and beta builds.
  bool Prerelease() const { return mStageCode != kStageFinal; }

  // The text form: "2.1", "2.1.3", "2.1b4"; a bug number of 0 and a non-release number of 0 are
  // not printed.
  std::string Text() const;
  explicit operator std::string() const { return Text(); }

  // 1 when this version is greater, -1 when smaller, 0 when equal; any version is greater than
  // a missing one.
  int Compare(const LumoVersion* other) const;

  friend bool operator==(const LumoVersion& a, const LumoVersion& b) { return a.Compare(&b) == 0; }
  friend std::strong_ordering operator<=>(const LumoVersion& a, const LumoVersion& b) {
    return a.Compare(&b) <=> 0;
  }

  // The value of the decimal number a text begins with (after optional blanks and one sign),
  // saturated to the 32-bit range; 0 when the text does not begin with a number.
  static std::int32_t LeadingNumber(std::string_view text);

 private:
  std::int32_t mMajorVersion = 1;
  std::int32_t mMinorVersion = 0;
  std::int32_t mBugVersion = 0;
  std::int32_t mStageCode = kStageFinal;
  std::int32_t mNonReleaseVersion = 0;
};

std::string to_string(const LumoVersion& version);
