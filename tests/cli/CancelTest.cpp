#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <string>

#include "CliFixture.h"
#include "app/ABApp.h"

namespace clitest {
namespace {

class CancelTest : public CliTest {
 protected:
  std::string WritePeople(int rows) const {
    std::string text = "First,Last,Phone\n";
    for (int i = 0; i < rows; ++i) {
      const std::string n = std::to_string(i);
      text += "Person" + n + ",Family" + n + ",+31 6 " + n + "\n";
    }
    return Write("many.csv", text).string();
  }
};

TEST_F(CancelTest, shouldSaveNothingWhenInterruptedDuringTheImport) {
  const std::string map = WriteMap("Many", 1, -1);
  const std::string importing =
      App().LanguageByIdentifier("en")->Text("ImportImportingOperationMessage", {"many.csv"});
  ASSERT_FALSE(importing.empty());
  const std::string kept = "BEGIN:VCARD\r\nEND:VCARD\r\n";
  struct Case {
    int Signal;
    // A folder that was there keeps its cards; one the run had to create is gone again.
    bool FolderExisted;
  };
  for (const Case c : {Case{SIGINT, true}, Case{SIGTERM, false}}) {
    SCOPED_TRACE(testing::Message() << "signal " << c.Signal << " existed " << c.FolderExisted);
    const std::filesystem::path created = PathOf("new");
    const std::filesystem::path store =
        c.FolderExisted ? std::filesystem::path(PathOf("store")) : created / "contacts";
    bool interrupted = false;
    // A machine fast enough to finish the import first gets a larger file.
    for (int rows = 200000; !interrupted && rows <= 1600000; rows *= 2) {
      std::filesystem::remove_all(store);
      std::filesystem::remove_all(created);
      if (c.FolderExisted) {
        std::filesystem::create_directories(store);
        Write("store/kept.vcf", kept);
      }
      const std::string csv = WritePeople(rows);
      mCli.Start({"--map", map, "--store", store.string(), csv}, true);
      if (mCli.WaitForErr(importing)) {
        mCli.Signal(c.Signal);
      }
      const CliResult result = mCli.Wait();
      if (result.ExitCode == 0) {
        continue;
      }
      interrupted = true;
      EXPECT_EQ(result.ExitCode, 130);
      EXPECT_NE(result.Err.find("nothing was saved"), std::string::npos) << result.Err;
      EXPECT_EQ(result.Out, "");
      // The bar is redrawn now and then, never once per record.
      EXPECT_LT(std::count(result.Err.begin(), result.Err.end(), '\r'), rows / 100);
      if (c.FolderExisted) {
        EXPECT_EQ(CountFiles(store, ""), 1);
        EXPECT_EQ(testsupport::ReadFile(store / "kept.vcf"), kept);
      } else {
        EXPECT_FALSE(std::filesystem::exists(created));
      }
    }
    EXPECT_TRUE(interrupted);
  }
}

}  // namespace
}  // namespace clitest
