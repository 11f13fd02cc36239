#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliFixture.h"
#include "app/ABApp.h"

namespace clitest {
namespace {

class CommandLineTest : public CliTest {};

TEST_F(CommandLineTest, shouldRejectBadUsageWithReasonAndUsage) {
  const std::string csv = Write("people.csv", "a,b\n").string();
  const std::string map = WriteMap();
  struct Case {
    std::vector<std::string> Arguments;
    std::string Reason;
  };
  const std::vector<Case> cases = {
      {{"--frobnicate", csv}, "unknown option --frobnicate"},
      {{"-x", csv}, "unknown option -x"},
      {{csv, "--map"}, "option --map needs a value"},
      {{"--records", "--quiet=yes", csv}, "option --quiet takes no value"},
      {{csv}, "--map is required"},
      {{"--map", map, csv, csv}, "only one import file"},
      {{"--map", map}, "no import file"},
      {{"--map", map, "--range", "0-3", csv}, "invalid range \"0-3\""},
      {{"--map", map, "--range", "7-5", csv}, "invalid range \"7-5\""},
      {{"--map", map, "-r", "x", csv}, "invalid range \"x\""},
      {{"--map", map, "--range=-4", csv}, "invalid range \"-4\""},
      {{"--map", map, "--range", "3-4x", csv}, "invalid range \"3-4x\""},
      {{"--records", "--encoding", "ebcdic", csv}, "unknown encoding \"ebcdic\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Arguments));
    const CliResult result = mCli.Run(c.Arguments);
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Out, "");
    const std::string firstLine = result.Err.substr(0, result.Err.find('\n'));
    EXPECT_NE(firstLine.find(c.Reason), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find("Usage: quillbrook-import --map MAP.map"), std::string::npos);
  }
}

TEST_F(CommandLineTest, shouldPrintUsageAndVersionOnStandardOutput) {
  const CliResult help = mCli.Run({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_TRUE(
      help.Out.starts_with("Usage: quillbrook-import --map MAP.map [options] IMPORT_FILE\n"));
  EXPECT_NE(help.Out.find("--no-group"), std::string::npos);
  EXPECT_EQ(help.Err, "");
  EXPECT_EQ(mCli.Run({"-h", "--frobnicate"}).ExitCode, 2);

  const CliResult version = mCli.Run({"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_EQ(version.Out, "quillbrook-import " + App().Version().Text() + "\n");
}

TEST_F(CommandLineTest, shouldAcceptEveryOptionSpelling) {
  const std::string csv = Write("people.csv", "First,Last,Phone\nAnneke,Berg,1\n").string();
  const std::string map = WriteMap();
  const std::string store = PathOf("store");
  struct Case {
    std::vector<std::string> Arguments;
  };
  const std::vector<Case> cases = {
      {{"-m", map, "-e", "UTF-8", "-r", "all", "-g", "Friends", "-s", store, "-q", csv}},
      {{"--map=" + map, "--encoding=Windows-1252", "--range=2-", "--no-group", "--store=" + store,
        csv}},
      {{"-m" + map, "-eutf-8", "-r1-2", "-gFriends", "-s" + store, "--", csv}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Arguments));
    const CliResult result = mCli.Run(c.Arguments);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(result.Out.starts_with("Imported ")) << result.Out;
  }
}

}  // namespace
}  // namespace clitest
