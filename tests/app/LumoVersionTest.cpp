#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/LumoVersion.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ParseCase {
  std::string text;
  std::int32_t major, minor, bug, stage, nonRelease;
  std::string printed;
};

TEST(LumoVersionTest, shouldParseEveryPieceAndPrintItBack) {
  const std::vector<ParseCase> cases = {
      {"1.2.3b4", 1, 2, 3, 2, 4, "1.2.3b4"},
      {"1.2b4", 1, 2, 0, 2, 4, "1.2b4"},
      {"2.1.3a2", 2, 1, 3, 1, 2, "2.1.3a2"},
      {"2.1d5", 2, 1, 0, 0, 5, "2.1d5"},
      {"3", 3, 0, 0, 3, 0, "3.0"},
      {"", 0, 0, 0, 3, 0, "0.0"},
      {"1.0.0", 1, 0, 0, 3, 0, "1.0"},
      {"1.2B3", 1, 2, 0, 2, 3, "1.2b3"},
      {"1.2a", 1, 2, 0, 1, 0, "1.2"},
      {"1.0d", 1, 0, 0, 0, 0, "1.0"},
      {"2.1\n", 2, 1, 0, 3, 0, "2.1"},
      // A "b" anywhere wins over an earlier "a", an "a" over an earlier "d".
      {"1.2a3b4", 1, 2, 0, 2, 4, "1.2b4"},
      {"1.2d3a4", 1, 2, 0, 1, 4, "1.2a4"},
      // A second dot is looked for before any stage letter.
      {"1.2b4.5", 1, 2, 5, 3, 0, "1.2.5"},
      {"1.2.b3", 1, 2, 0, 2, 3, "1.2b3"},
      {"1.2.3 beta", 1, 2, 3, 2, 0, "1.2.3"},
      {"1.2.3.4", 1, 2, 3, 3, 0, "1.2.3"},
      {"1.", 1, 0, 0, 3, 0, "1.0"},
      {".", 0, 0, 0, 3, 0, "0.0"},
      {"x.y", 0, 0, 0, 3, 0, "0.0"},
      {"-3.-4", -3, -4, 0, 3, 0, "-3.-4"},
      // Numbers beyond 32 bits saturate.
      {"99999999999.1", kMax, 1, 0, 3, 0, "2147483647.1"},
      {"-99999999999999999999999999", kMin, 0, 0, 3, 0, "-2147483648.0"},
      {"1.2.3b99999999999999999999", 1, 2, 3, 2, kMax, "1.2.3b2147483647"},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    const LumoVersion version(c.text);
    EXPECT_EQ(version.MajorVersion(), c.major);
    EXPECT_EQ(version.MinorVersion(), c.minor);
    EXPECT_EQ(version.BugVersion(), c.bug);
    EXPECT_EQ(version.StageCode(), c.stage);
    EXPECT_EQ(version.NonReleaseVersion(), c.nonRelease);
    EXPECT_EQ(version.Text(), c.printed);
  }
}

TEST(LumoVersionTest, shouldPrintNumbersAsGiven) {
  struct PrintCase {
    LumoVersion version;
    std::string printed;
  };
  const std::vector<PrintCase> cases = {
      {LumoVersion(), "1.0"},
      {LumoVersion(2, 1, 0, LumoVersion::kStageBeta, 0), "2.1"},
      {LumoVersion(2, 1, -1, LumoVersion::kStageAlpha, 3), "2.1a3"},
      {LumoVersion(2, 1, 4, LumoVersion::kStageFinal, 9), "2.1.4"},
      // A stage code without a letter prints the number alone.
      {LumoVersion(2, 1, 0, 7, 5), "2.15"},
      {LumoVersion(-1, -2, 0, 3, 0), "-1.-2"},
  };
  for (const PrintCase& c : cases) {
    SCOPED_TRACE(c.printed);
    EXPECT_EQ(c.version.Text(), c.printed);
    EXPECT_EQ(static_cast<std::string>(c.version), c.printed);
    EXPECT_EQ(to_string(c.version), c.printed);
  }
}

TEST(LumoVersionTest, shouldOrderFieldByFieldAsNumbers) {
  struct CompareCase {
    std::string smaller;
    std::string greater;
  };
  const std::vector<CompareCase> cases = {
      {"2.1b3", "2.1"},   {"2.1", "2.1.1"},   {"2.9", "2.10"},  {"1.2a", "1.2"},
      {"2.1d5", "2.1a1"}, {"2.1a1", "2.1b3"}, {"2.0b3", "2.0"}, {"1.9.9", "2.0d1"},
  };
  for (const CompareCase& c : cases) {
    SCOPED_TRACE(c.smaller + " < " + c.greater);
    const LumoVersion smaller(c.smaller);
    const LumoVersion greater(c.greater);
    EXPECT_EQ(smaller.Compare(&greater), -1);
    EXPECT_EQ(greater.Compare(&smaller), 1);
    EXPECT_LT(smaller, greater);
    EXPECT_GT(greater, smaller);
    EXPECT_NE(smaller, greater);
  }
}

TEST(LumoVersionTest, shouldCompareEqualWhenAllFiveFieldsAgree) {
  const LumoVersion shortForm("1.0");
  EXPECT_EQ(LumoVersion("1.0.0").Compare(&shortForm), 0);
  EXPECT_EQ(LumoVersion("1.0.0"), LumoVersion("1.0"));
  EXPECT_EQ(LumoVersion("1.2B3"), LumoVersion("1.2b3"));
  EXPECT_EQ(LumoVersion(), LumoVersion(1, 0, 0, 3, 0));
  // Same text, different stage: not equal.
  EXPECT_NE(LumoVersion("1.2a"), LumoVersion("1.2"));
}

TEST(LumoVersionTest, shouldBeGreaterThanAMissingVersion) {
  EXPECT_EQ(LumoVersion().Compare(nullptr), 1);
  EXPECT_EQ(LumoVersion("").Compare(nullptr), 1);
}

TEST(LumoVersionTest, shouldCallEveryStageButFinalAPrerelease) {
  EXPECT_TRUE(LumoVersion("2.1b3").Prerelease());
  EXPECT_TRUE(LumoVersion("1.2a").Prerelease());
  EXPECT_TRUE(LumoVersion("1.0d").Prerelease());
  EXPECT_FALSE(LumoVersion("2.1").Prerelease());
  EXPECT_FALSE(LumoVersion().Prerelease());
}

TEST(LumoVersionTest, shouldReadLeadingNumbersWithoutOverflow) {
  struct NumberCase {
    std::string text;
    std::int32_t value;
  };
  const std::vector<NumberCase> cases = {
      {"42", 42},
      {"42abc", 42},
      {"abc", 0},
      {"", 0},
      {"  7", 7},
      {"-12", -12},
      {"+5", 5},
      {"-", 0},
      {"2147483647", kMax},
      {"2147483648", kMax},
      {"-2147483648", kMin},
      {"-2147483649", kMin},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    EXPECT_EQ(LumoVersion::LeadingNumber(c.text), c.value);
  }
}

}  // namespace
