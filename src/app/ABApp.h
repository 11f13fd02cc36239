#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "app/ABPreferences.h"
#include "app/LumoLanguage.h"
#include "app/LumoVersion.h"

class ABAddressBook;

// The application's shared state, without any user interface: running version, languages and
// the current language, preferences, and the address-book lookup by name. The desktop
// application and the command-line import both start it; any part of the core reaches it through
// App().
class ABApp final {
 public:
  ABApp();
  ABApp(const ABApp&) = delete;
  ABApp& operator=(const ABApp&) = delete;

  // Start-up: loads the preferences from `preferencesFile` (the default file when empty) and
  // switches to the language the "Language" setting names, English when none matches. Replaces
  // the preferences object, so references to it taken before do not survive.
  void Open(const std::filesystem::path& preferencesFile = {});
  // Quit: saves the preferences that Open loaded; false before Open or when the save fails.
  bool SavePreferences();

  const LumoVersion& Version() const { return mVersion; }
  // The three languages in the order Dutch, English, French.
  const std::vector<std::shared_ptr<LumoLanguage>>& Languages() const { return mLanguages; }
  // The current language; English until Open or a switch chose another. Safe from any thread.
  std::shared_ptr<LumoLanguage> Language() const;
  // The language switch: stores the identifier in "Language" when it differs (ignoring case),
  // makes the language current and tells the listener (the desktop application relocalises).
  void Language(const std::shared_ptr<LumoLanguage>& language);
  // The language whose identifier matches, ignoring case, or none.
  std::shared_ptr<LumoLanguage> LanguageByIdentifier(std::string_view identifier) const;
  // Called on the main thread after every switch, Open's included, with the new language.
  void OnLanguageChanged(std::function<void(const LumoLanguage&)> listener);

  // Before Open: the defaults, on the default file, which is not read.
  ABPreferences& Preferences() { return *mPreferences; }

  bool Activated() const { return mActivated; }
  void Activated(bool activated) { mActivated = activated; }

  // A new concrete address book, whatever the name (map files name the one they were made for).
  std::shared_ptr<ABAddressBook> AddressBookByName(std::string_view name) const;

 private:
  LumoVersion mVersion;
  std::vector<std::shared_ptr<LumoLanguage>> mLanguages;
  mutable std::mutex mLanguageMutex;
  std::shared_ptr<LumoLanguage> mLanguage;
  std::unique_ptr<ABPreferences> mPreferences;
  std::vector<std::function<void(const LumoLanguage&)>> mLanguageListeners;
  bool mOpened = false;
  bool mActivated = false;
};

// The one application object.
ABApp& App();
