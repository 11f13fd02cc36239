#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/ABApp.h"
#include "mapping/ABAddressBook.h"
#include "support/TestSupport.h"

namespace {

using testsupport::TempDir;

class ABAppTest : public ::testing::Test {
 protected:
  // Keeps every default path inside the temporary folder.
  void SetUp() override { ::setenv("XDG_CONFIG_HOME", mDir.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }

  std::filesystem::path PreferencesWithLanguage(std::string_view language) const {
    return mDir.Write("prefs.xml", "<Preferences Version=\"\"><Language>" + std::string(language) +
                                       "</Language></Preferences>");
  }

  TempDir mDir;
};

TEST_F(ABAppTest, shouldSpeakEnglishBeforeOpenWithoutTouchingAnyFile) {
  ABApp app;
  ASSERT_NE(app.Language(), nullptr);
  EXPECT_EQ(app.Language()->Identifier(), "en");
  EXPECT_TRUE(app.Language()->Loaded());
  EXPECT_EQ(app.Language()->Text("CancelButton"), "Cancel");
  EXPECT_EQ(app.Preferences().StringSetting(ABPreferences::kLanguage), "en");
  EXPECT_FALSE(app.SavePreferences());
  EXPECT_TRUE(std::filesystem::is_empty(mDir.Path()));
}

TEST_F(ABAppTest, shouldHoldDutchEnglishAndFrenchInThatOrder) {
  ABApp app;
  std::vector<std::pair<std::string, std::string>> languages;
  for (const auto& language : app.Languages()) {
    languages.emplace_back(language->Identifier(), language->Name());
    EXPECT_FALSE(language->Content().empty());
    EXPECT_FALSE(language->AboutText().empty());
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"nl", "Dutch"}, {"en", "English"}, {"fr", "Français"}};
  EXPECT_EQ(languages, expected);
}

TEST_F(ABAppTest, shouldSelectTheLanguageTheSettingNamesAndEnglishOtherwise) {
  struct SelectionCase {
    std::string setting;
    std::string language;
    std::string settingAfter;
  };
  const std::vector<SelectionCase> cases = {
      {"de", "en", "en"}, {"NL", "nl", "NL"}, {"fr", "fr", "fr"},
      {"FR", "fr", "FR"}, {"en", "en", "en"}, {" nl", "en", "en"},
  };
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE("setting \"" + c.setting + "\"");
    ABApp app;
    app.Open(PreferencesWithLanguage(c.setting));
    EXPECT_EQ(app.Language()->Identifier(), c.language);
    EXPECT_EQ(app.Preferences().StringSetting(ABPreferences::kLanguage), c.settingAfter);
  }
}

TEST_F(ABAppTest, shouldRunInEnglishOnFirstLaunchAndWriteThePreferencesAtQuit) {
  const std::filesystem::path file = mDir.Path() / "Quillbrook" / "Quillbrook Preferences";
  ABApp app;
  app.Open();
  EXPECT_EQ(app.Preferences().File(), file);
  EXPECT_EQ(app.Language()->Identifier(), "en");
  EXPECT_TRUE(app.Preferences().BooleanSetting(ABPreferences::kCheckForUpdateAtLaunch));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(app.SavePreferences());
  EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(ABAppTest, shouldStoreTheNewLanguageAndTellListenersOfEverySwitch) {
  ABApp app;
  std::vector<std::string> heard;
  app.OnLanguageChanged(
      [&heard](const LumoLanguage& language) { heard.push_back(language.Identifier()); });
  app.Open(PreferencesWithLanguage("nl"));
  app.Language(app.LanguageByIdentifier("FR"));
  app.Language(nullptr);
  EXPECT_EQ(heard, (std::vector<std::string>{"nl", "fr"}));
  EXPECT_EQ(app.Language()->Identifier(), "fr");
  EXPECT_EQ(app.Preferences().StringSetting(ABPreferences::kLanguage), "fr");
  EXPECT_EQ(app.Language()->Text("CancelButton"), "Annuler");
  EXPECT_EQ(app.LanguageByIdentifier("de"), nullptr);
}

TEST_F(ABAppTest, shouldLetOtherThreadsReadTheLanguageDuringSwitches) {
  ABApp app;
  std::atomic<bool> done{false};
  std::atomic<int> emptyTexts{0};
  std::thread reader([&] {
    while (!done.load()) {
      if (app.Language()->Text("OKButton").empty()) {
        ++emptyTexts;
      }
    }
  });
  for (int i = 0; i < 300; ++i) {
    app.Language(app.Languages()[static_cast<std::size_t>(i) % app.Languages().size()]);
  }
  done = true;
  reader.join();
  EXPECT_EQ(emptyTexts.load(), 0);
}

TEST_F(ABAppTest, shouldGiveANewAddressBookWhateverTheName) {
  ABApp app;
  const auto first = app.AddressBookByName("Apple Address Book");
  const auto second = app.AddressBookByName("anything");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
}

TEST(ABAppGlobalTest, shouldReturnTheOneApplicationObject) {
  EXPECT_EQ(&App(), &App());
}

}  // namespace
