#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "app/ABPreferences.h"
#include "app/LumoPreferences.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

constexpr const char* kFileName = "Quillbrook Preferences";

// A store without defaults that records its events and keeps the setting "Handled" to itself.
class RecordingPreferences final : public LumoPreferences {
 public:
  explicit RecordingPreferences(std::filesystem::path file) : LumoPreferences(std::move(file)) {
    Open();
  }
  std::vector<std::string> events;

 protected:
  void Open() override { events.push_back("Open"); }
  void SaveComplete(const std::filesystem::path& file) override {
    events.push_back("SaveComplete " + file.filename().string());
  }
  void LoadComplete() override { events.push_back("LoadComplete"); }
  bool SettingFound(std::string_view name, std::string_view value) override {
    events.push_back("SettingFound " + std::string(name) + "=" + std::string(value));
    return name == "Handled";
  }
  void VersionFound(std::string_view version) override {
    events.push_back("VersionFound " + std::string(version));
  }
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv final {
 public:
  ScopedEnv(const char* name, const char* value) : mName(name) {
    if (const char* old = std::getenv(name)) {
      mOld = old;
    }
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (mOld) {
      ::setenv(mName, mOld->c_str(), 1);
    } else {
      ::unsetenv(mName);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* mName;
  std::optional<std::string> mOld;
};

class LumoPreferencesTest : public ::testing::Test {
 protected:
  std::filesystem::path WritePreferences(std::string_view xml) const {
    return mDir.Write(kFileName, xml);
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mDir.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir mDir;
};

TEST_F(LumoPreferencesTest, shouldWriteTheDefaultsWithAnEmptyVersionOnFirstRun) {
  const std::filesystem::path file = mDir.Path() / "Quillbrook" / kFileName;
  ABPreferences preferences(file);
  EXPECT_FALSE(preferences.Load());
  ASSERT_TRUE(preferences.Save());

  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(file.c_str()));
  const pugi::xml_node root = document.document_element();
  EXPECT_STREQ(root.name(), "Preferences");
  ASSERT_TRUE(root.attribute("Version"));
  EXPECT_STREQ(root.attribute("Version").value(), "");
  EXPECT_STREQ(root.child("Language").text().get(), "en");
  EXPECT_STREQ(root.child("CheckForUpdateAtLaunch").text().get(), "true");
  ASSERT_TRUE(root.child("IgnoredUpdateVersion"));
  EXPECT_STREQ(root.child("IgnoredUpdateVersion").text().get(), "");
  EXPECT_EQ(std::distance(root.children().begin(), root.children().end()), 3);
}

TEST_F(LumoPreferencesTest, shouldKeepDefaultsThatTheFileDoesNotMention) {
  ABPreferences preferences(
      WritePreferences("<Preferences Version=\"3\"><Language>fr</Language></Preferences>"));
  ASSERT_TRUE(preferences.Load());
  EXPECT_EQ(preferences.Version(), "3");
  EXPECT_EQ(preferences.StringSetting(ABPreferences::kLanguage), "fr");
  EXPECT_TRUE(preferences.BooleanSetting(ABPreferences::kCheckForUpdateAtLaunch));
  EXPECT_EQ(preferences.StringSetting(ABPreferences::kIgnoredUpdateVersion), "");
}

TEST_F(LumoPreferencesTest, shouldSkipEmptyElementsAndNodesWithSeveralChildren) {
  LumoPreferences preferences(WritePreferences(
      "<Preferences>\n  <Empty></Empty>\n  <Closed/>\n  <Nested><A>1</A><B>2</B></Nested>\n"
      "  <Kept>value</Kept>\n</Preferences>"));
  ASSERT_TRUE(preferences.Load());
  EXPECT_FALSE(preferences.HasSetting("Empty"));
  EXPECT_FALSE(preferences.HasSetting("Closed"));
  EXPECT_FALSE(preferences.HasSetting("Nested"));
  EXPECT_EQ(preferences.StringSetting("Empty"), "");
  EXPECT_EQ(preferences.StringSetting("Kept"), "value");
  EXPECT_EQ(preferences.Settings().size(), 1U);
}

TEST_F(LumoPreferencesTest, shouldReadTrueInAnyCaseAndNothingElse) {
  struct BooleanCase {
    std::string stored;
    bool expected;
  };
  const std::vector<BooleanCase> cases = {
      {"true", true}, {"TRUE", true}, {"tRuE", true},   {"yes", false},
      {"1", false},   {"", false},    {"false", false}, {" true", false},
  };
  LumoPreferences preferences(mDir.Path() / kFileName);
  EXPECT_FALSE(preferences.BooleanSetting("Absent"));
  for (const BooleanCase& c : cases) {
    SCOPED_TRACE("\"" + c.stored + "\"");
    preferences.Setting("Flag", std::string_view(c.stored));
    EXPECT_EQ(preferences.BooleanSetting("Flag"), c.expected);
  }
}

TEST_F(LumoPreferencesTest, shouldWriteBooleansInLowerCaseAndReadThemBack) {
  ABPreferences preferences(mDir.Path() / kFileName);
  EXPECT_EQ(preferences.StringSetting(ABPreferences::kCheckForUpdateAtLaunch), "true");
  preferences.Setting(ABPreferences::kCheckForUpdateAtLaunch, false);
  EXPECT_EQ(preferences.StringSetting(ABPreferences::kCheckForUpdateAtLaunch), "false");
  EXPECT_FALSE(preferences.BooleanSetting(ABPreferences::kCheckForUpdateAtLaunch));
  preferences.Setting(ABPreferences::kCheckForUpdateAtLaunch, true);
  EXPECT_TRUE(preferences.BooleanSetting(ABPreferences::kCheckForUpdateAtLaunch));
}

TEST_F(LumoPreferencesTest, shouldSplitBoundsAtSpacesAndReadEachLeadingNumber) {
  struct BoundsCase {
    std::string stored;
    std::vector<std::int32_t> expected;
  };
  const std::vector<BoundsCase> cases = {
      {"10 40 600 400", {10, 40, 600, 400}},  {"7", {7}}, {"", {}}, {"10  x5 -3", {10, 0, 0, -3}},
      {"12px 99999999999", {12, 2147483647}},
  };
  LumoPreferences preferences(mDir.Path() / kFileName);
  EXPECT_TRUE(preferences.BoundsSetting("Window").empty());
  for (const BoundsCase& c : cases) {
    SCOPED_TRACE("\"" + c.stored + "\"");
    preferences.Setting("Window", std::string_view(c.stored));
    EXPECT_EQ(preferences.BoundsSetting("Window"), c.expected);
  }
  preferences.Setting("Window", std::vector<std::int32_t>{1, -2, 3});
  EXPECT_EQ(preferences.StringSetting("Window"), "1 -2 3");
  EXPECT_EQ(preferences.BoundsSetting("window"), (std::vector<std::int32_t>{1, -2, 3}));
}

TEST_F(LumoPreferencesTest, shouldAddressOneSettingWhateverTheCaseOfItsName) {
  ABPreferences preferences(mDir.Path() / kFileName);
  preferences.Setting("language", "nl");
  EXPECT_EQ(preferences.StringSetting("LANGUAGE"), "nl");
  EXPECT_EQ(preferences.Settings().size(), 3U);
  EXPECT_EQ(preferences.Settings().front().first, "Language");
}

TEST_F(LumoPreferencesTest, shouldKeepUnknownSettingsAndTheVersionThroughLoadAndSave) {
  const std::filesystem::path file = WritePreferences(
      "<?xml version=\"1.0\"?>\n<Preferences Version=\"2.3b1\">\n"
      "  <language>nl</language>\n  <WindowBounds>10 40 600 400</WindowBounds>\n"
      "  <Spaces>   </Spaces>\n  <Special>&lt;a&amp;b&gt; \"Français\"</Special>\n"
      "</Preferences>\n");
  {
    ABPreferences preferences(file);
    ASSERT_TRUE(preferences.Load());
    ASSERT_TRUE(preferences.Save());
  }
  LumoPreferences reread(file);
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Version(), "2.3b1");
  EXPECT_EQ(reread.StringSetting("Language"), "nl");
  EXPECT_EQ(reread.StringSetting("WindowBounds"), "10 40 600 400");
  EXPECT_EQ(reread.StringSetting("Spaces"), "   ");
  EXPECT_EQ(reread.StringSetting("Special"), "<a&b> \"Français\"");
  EXPECT_TRUE(reread.BooleanSetting(ABPreferences::kCheckForUpdateAtLaunch));
}

TEST_F(LumoPreferencesTest, shouldRaiseEventsInOrderAndLeaveHandledSettingsOut) {
  const std::filesystem::path file = WritePreferences(
      "<Preferences Version=\"7\"><Handled>mine</Handled><Plain>yours</Plain></Preferences>");
  RecordingPreferences preferences(file);
  ASSERT_TRUE(preferences.Load());
  ASSERT_TRUE(preferences.Save());
  const std::vector<std::string> expected = {"Open",
                                             "VersionFound 7",
                                             "SettingFound Handled=mine",
                                             "SettingFound Plain=yours",
                                             "LoadComplete",
                                             std::string("SaveComplete ") + kFileName};
  EXPECT_EQ(preferences.events, expected);
  EXPECT_FALSE(preferences.HasSetting("Handled"));
  EXPECT_EQ(preferences.StringSetting("Plain"), "yours");
}

TEST_F(LumoPreferencesTest, shouldKeepDefaultsWhenTheFileCannotBeRead) {
  struct BadCase {
    std::string name;
    std::string content;
  };
  const std::vector<BadCase> cases = {
      {"not xml", "this is not XML"},
      {"unclosed", "<Preferences Version=\"9\"><Language>fr</Preferences>"},
      {"empty", ""},
      {"comment only", "<!-- <Preferences><Language>fr</Language></Preferences> -->"},
      {"declaration only", "<?xml version=\"1.0\"?>"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    ABPreferences preferences(WritePreferences(c.content));
    std::string error;
    EXPECT_FALSE(preferences.Load(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(preferences.StringSetting(ABPreferences::kLanguage), "en");
    EXPECT_EQ(preferences.Version(), "");
  }
  ABPreferences missing(mDir.Path() / "nowhere");
  EXPECT_FALSE(missing.Load());
  ABPreferences folder(mDir.Path());
  EXPECT_FALSE(folder.Load());
  EXPECT_EQ(folder.StringSetting(ABPreferences::kLanguage), "en");
}

TEST_F(LumoPreferencesTest, shouldSurviveHostileFiles) {
  std::string deep = "<Preferences>";
  for (int i = 0; i < 200000; ++i) {
    deep += "<a>";
  }
  deep += "x";
  for (int i = 0; i < 200000; ++i) {
    deep += "</a>";
  }
  deep += "</Preferences>";
  LumoPreferences nested(WritePreferences(deep));
  EXPECT_TRUE(nested.Load());
  EXPECT_EQ(nested.StringSetting("a"), "");

  LumoPreferences entities(WritePreferences(
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Preferences [\n"
      "  <!ENTITY secret SYSTEM \"file:///etc/passwd\">\n"
      "  <!ENTITY lol \"lollollollollollollollollollol\">\n"
      "  <!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n]>\n"
      "<Preferences><Leak>&secret;</Leak><Laugh>&lol2;</Laugh></Preferences>"));
  ASSERT_TRUE(entities.Load());
  EXPECT_EQ(entities.StringSetting("Leak").find("root:"), std::string::npos);
  EXPECT_LT(entities.StringSetting("Laugh").size(), 100U);

  ABPreferences huge(
      WritePreferences(std::string(LumoPreferences::kMaxFileSize + 1, ' ') + "<Preferences/>"));
  EXPECT_FALSE(huge.Load());
  EXPECT_EQ(huge.StringSetting(ABPreferences::kLanguage), "en");
}

TEST_F(LumoPreferencesTest, shouldLeaveOutNamesThatCannotBeElementsSoTheFileStaysReadable) {
  const std::filesystem::path file = mDir.Path() / kFileName;
  LumoPreferences preferences(file);
  preferences.Setting("bad name", "x");
  preferences.Setting("1st", "x");
  preferences.Setting("Good", "y");
  ASSERT_TRUE(preferences.Save());
  LumoPreferences reread(file);
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.StringSetting("Good"), "y");
  EXPECT_EQ(reread.Settings().size(), 1U);
}

TEST_F(LumoPreferencesTest, shouldFailToSaveWhereNoFolderCanBeMadeAndLeaveNothingBehind) {
  mDir.Write("blocker", "a regular file");
  ABPreferences preferences(mDir.Path() / "blocker" / "Quillbrook" / kFileName);
  std::string error;
  EXPECT_FALSE(preferences.Save(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"blocker"});
  EXPECT_EQ(ReadFile(mDir.Path() / "blocker"), "a regular file");
}

TEST_F(LumoPreferencesTest, shouldKeepTheOldFileWhenWritingTheNewOneFails) {
  const std::filesystem::path file = mDir.Path() / kFileName;
  ABPreferences preferences(file);
  ASSERT_TRUE(preferences.Save());
  const std::string before = ReadFile(file);

  // A file-size limit makes the write fail half-way, as a full disk would.
  preferences.Setting(ABPreferences::kIgnoredUpdateVersion, std::string(64 * 1024, 'x'));
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = preferences.Save();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFileName});
}

TEST(LumoPreferencesFolderTest, shouldFollowXdgConfigHomeAndFallBackToHome) {
  struct FolderCase {
    const char* xdg;
    const char* home;
    std::filesystem::path expected;
  };
  const std::vector<FolderCase> cases = {
      {"/tmp/config", "/home/someone", "/tmp/config/Quillbrook/Quillbrook Preferences"},
      {nullptr, "/home/someone", "/home/someone/.config/Quillbrook/Quillbrook Preferences"},
      {"", "/home/someone", "/home/someone/.config/Quillbrook/Quillbrook Preferences"},
      {"relative/config", "/home/someone",
       "/home/someone/.config/Quillbrook/Quillbrook Preferences"},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.xdg == nullptr ? "(unset)" : c.xdg);
    const ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    const ScopedEnv home("HOME", c.home);
    EXPECT_EQ(ABPreferences::DefaultFile(), c.expected);
  }
}

}  // namespace
