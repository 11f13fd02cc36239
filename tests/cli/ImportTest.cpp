#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliFixture.h"
#include "app/ABApp.h"

namespace clitest {
namespace {

const char* kPeople =
    "First,Last,Phone\n"
    "Anneke,van der Berg,+31 20 555 0142\n"
    "Jo\xC3\xABlle,Lef\xC3\xA8vre,+33 1 55 50 21 80\n"
    "Sjoerd,Hoekstra,+31 6 5550 7788\n"
    "Fran\xC3\xA7ois,Dubois,+33 4 78 55 50 12\n";

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class ImportTest : public CliTest {
 protected:
  std::string mCsv = Write("people.csv", kPeople).string();
};

TEST_F(ImportTest, shouldImportTheRangeIntoTheGroup) {
  const std::string map = WriteMap("Friends", 1, -1);
  const std::filesystem::path defaultFolder = mCli.DataFolder() / "quillbrook/contacts";
  const std::filesystem::path store = PathOf("store");
  struct Case {
    std::vector<std::string> Options;
    int Cards;
    std::string Group;
    std::string Present;
    std::string Absent;
  };
  const std::vector<Case> cases = {
      {{}, 4, "Friends", "Anneke", ";First;"},
      {{"--range", "all"}, 5, "Friends", ";First;", ""},
      {{"--range", "all-but-first", "--group", "Work friends"}, 4, "Work friends", "Sjoerd", ""},
      {{"--range", "2-3", "--no-group"}, 2, "", "Jo\xC3\xABlle", "Sjoerd"},
      {{"--range", "4-"}, 2, "Friends", "Sjoerd", "Anneke"},
      {{"--range", "3-99"}, 3, "Friends", "Fran\xC3\xA7ois", "Anneke"},
      {{"--range", "9-"}, 0, "Friends", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Options));
    for (const bool defaultStore : {true, false}) {
      const std::filesystem::path folder = defaultStore ? defaultFolder : store;
      std::filesystem::remove_all(folder);
      std::vector<std::string> arguments = {"--map", map};
      arguments.insert(arguments.end(), c.Options.begin(), c.Options.end());
      if (!defaultStore) {
        arguments.insert(arguments.end(), {"--store", folder.string()});
      }
      arguments.push_back(mCsv);
      const CliResult result = mCli.Run(arguments);
      ASSERT_EQ(result.ExitCode, 0) << result.Err;
      EXPECT_EQ(result.Err, "");
      std::string expected = "Imported " + std::to_string(c.Cards) +
                             (c.Cards == 1 ? " contact" : " contacts") + " into " + folder.string();
      expected += c.Group.empty() ? ".\n" : " (group \"" + c.Group + "\").\n";
      EXPECT_EQ(result.Out, expected);
      EXPECT_EQ(CountFiles(folder, ".vcf"), c.Cards);
      EXPECT_EQ(CountFiles(folder, ".tmp"), 0);
      const std::string cards = AllCards(folder);
      EXPECT_EQ(Occurrences(cards, "CATEGORIES:"), c.Group.empty() ? 0u : std::size_t(c.Cards));
      if (!c.Group.empty()) {
        EXPECT_EQ(Occurrences(cards, "CATEGORIES:" + c.Group + "\r\n"), std::size_t(c.Cards));
      }
      EXPECT_NE(cards.find(c.Present), std::string::npos);
      if (!c.Absent.empty()) {
        EXPECT_EQ(cards.find(c.Absent), std::string::npos);
      }
    }
  }
}

TEST_F(ImportTest, shouldReportMapsThatCannotBeLoaded) {
  struct Case {
    std::string Name;
    std::string Bytes;
  };
  const std::vector<Case> cases = {
      {"missing.map", ""},
      {"truncated.map", "<Map Version=\"2.0\"><Link><AddressBookField ID=\"FirstName\"/>"},
      {"other.map", "<Preferences Version=\"\"/>"},
      {"nocolumn.map", "<Map><Link><AddressBookField ID=\"FirstName\"/></Link></Map>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    if (!c.Bytes.empty()) {
      Write(c.Name, c.Bytes);
    }
    const CliResult result = mCli.Run({"--map", PathOf(c.Name), "--store", PathOf("s"), mCsv});
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Err, "An error occurred while loading the map.\n");
    EXPECT_EQ(result.Out, "");
    EXPECT_FALSE(std::filesystem::exists(PathOf("s")));
  }
}

TEST_F(ImportTest, shouldReportAStoreFolderThatCannotBeWritten) {
  Write("plain-file", "not a folder");
  const std::string folder = PathOf("plain-file") + "/contacts";
  const CliResult result = mCli.Run({"--map", WriteMap(), "--store", folder, mCsv});
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_TRUE(result.Err.starts_with("An error occurred.\n")) << result.Err;
  EXPECT_NE(result.Err.find(folder), std::string::npos) << result.Err;
  EXPECT_EQ(result.Out, "");
}

TEST_F(ImportTest, shouldRunInThePreferencesLanguageWithoutWritingThem) {
  const std::filesystem::path preferences =
      mCli.ConfigFolder() / "Quillbrook" / "Quillbrook Preferences";
  std::filesystem::create_directories(preferences.parent_path());
  const std::string text = "<Preferences Version=\"\"><Language>FR</Language></Preferences>";
  Write("prefs", text);
  std::filesystem::copy_file(PathOf("prefs"), preferences);
  const auto modified = std::filesystem::last_write_time(preferences);

  const CliResult result = mCli.Run({"--map", WriteMap(), "--store", PathOf("store"), mCsv}, true);
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  const std::string french =
      App().LanguageByIdentifier("fr")->Text("ImportImportingOperationMessage", {"people.csv"});
  ASSERT_FALSE(french.empty());
  EXPECT_NE(result.Err.find(french), std::string::npos) << result.Err;
  EXPECT_EQ(testsupport::ReadFile(preferences), text);
  EXPECT_EQ(std::filesystem::last_write_time(preferences), modified);
  EXPECT_EQ(CountFiles(preferences.parent_path(), ""), 1);
}

TEST_F(ImportTest, shouldShowProgressOnlyOnATerminalAndNotWhenQuiet) {
  const std::string map = WriteMap();
  const LumoLanguage& english = *App().LanguageByIdentifier("en");
  const std::string loading = english.Text("LoadLoadingOperationMessage", {"people.csv"});
  // The estimate from the line count (six pieces) gives way to the real count at the end.
  const std::string loaded = "\r" + english.Text("LoadLoadedRecordStatus", {"5", "5"}) + " [";
  const std::string saving = "\r" + english.Text("ImportSavingAddressBookStatus") + " [";
  ASSERT_FALSE(loading.empty());
  struct Case {
    bool Terminal;
    bool Quiet;
  };
  for (const Case c : {Case{true, false}, Case{true, true}, Case{false, false}}) {
    SCOPED_TRACE(testing::Message() << "terminal " << c.Terminal << " quiet " << c.Quiet);
    std::filesystem::remove_all(PathOf("store"));
    std::vector<std::string> arguments = {"--map", map, "--store", PathOf("store"), mCsv};
    if (c.Quiet) {
      arguments.insert(arguments.begin(), "--quiet");
    }
    const CliResult result = mCli.Run(arguments, c.Terminal);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    if (c.Terminal && !c.Quiet) {
      EXPECT_TRUE(result.Err.starts_with(loading + "\r\n")) << result.Err;
      EXPECT_NE(result.Err.find(loaded), std::string::npos) << result.Err;
      EXPECT_NE(result.Err.find(saving), std::string::npos) << result.Err;
      EXPECT_TRUE(result.Err.ends_with("\n")) << result.Err;
    } else {
      EXPECT_EQ(result.Err, "");
    }
  }
}

}  // namespace
}  // namespace clitest
