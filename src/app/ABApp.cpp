#include "app/ABApp.h"

#include <string>
#include <utility>

#include "addressbook/ABAppleAddressBook.h"
#include "app/CaseInsensitive.h"
#include "app/Resources.h"

namespace {

constexpr std::string_view kFallbackIdentifier = "en";

std::string ResourceText(const std::string& path) {
  const std::optional<std::string_view> content = Resources::Find(path);
  return content ? std::string(*content) : std::string();
}

std::shared_ptr<LumoLanguage> MakeLanguage(const std::string& identifier, std::string name) {
  return std::make_shared<LumoLanguage>(identifier, std::move(name),
                                        ResourceText("strings/" + identifier + ".strings"),
                                        ResourceText("credits/" + identifier + ".txt"));
}

}  // namespace

ABApp::ABApp()
    : mVersion(QB_VERSION_MAJOR, QB_VERSION_MINOR, QB_VERSION_BUG, QB_VERSION_STAGE,
               QB_VERSION_NONRELEASE),
      mLanguages{MakeLanguage("nl", "Dutch"), MakeLanguage("en", "English"),
                 MakeLanguage("fr", "Français")},
      mPreferences(std::make_unique<ABPreferences>(ABPreferences::DefaultFile())) {
  // English from the start, so the core can be used without Open; the defaults already say "en".
  mLanguage = LanguageByIdentifier(kFallbackIdentifier);
  mLanguage->ParseStrings();
}

void ABApp::Open(const std::filesystem::path& preferencesFile) {
  mPreferences = std::make_unique<ABPreferences>(
      preferencesFile.empty() ? ABPreferences::DefaultFile() : preferencesFile);
  // A missing or unreadable file leaves the defaults.
  mPreferences->Load();
  mOpened = true;

  std::shared_ptr<LumoLanguage> chosen =
      LanguageByIdentifier(mPreferences->StringSetting(ABPreferences::kLanguage));
  if (!chosen) {
    chosen = LanguageByIdentifier(kFallbackIdentifier);
  }
  Language(chosen);
}

bool ABApp::SavePreferences() {
  return mOpened && mPreferences->Save();
}

std::shared_ptr<LumoLanguage> ABApp::Language() const {
  std::lock_guard<std::mutex> lock(mLanguageMutex);
  return mLanguage;
}

void ABApp::Language(const std::shared_ptr<LumoLanguage>& language) {
  if (!language) {
    return;
  }
  if (!caseinsensitive::Equal(mPreferences->StringSetting(ABPreferences::kLanguage),
                              language->Identifier())) {
    mPreferences->Setting(ABPreferences::kLanguage, language->Identifier());
  }
  // Parsed here on the main thread, before any worker thread can look a text up.
  language->ParseStrings();
  {
    std::lock_guard<std::mutex> lock(mLanguageMutex);
    mLanguage = language;
  }
  // By index and by copy: a listener may add another, which can move the list.
  for (std::size_t i = 0; i < mLanguageListeners.size(); ++i) {
    const std::function<void(const LumoLanguage&)> listener = mLanguageListeners[i];
    listener(*language);
  }
}

std::shared_ptr<LumoLanguage> ABApp::LanguageByIdentifier(std::string_view identifier) const {
  for (const std::shared_ptr<LumoLanguage>& language : mLanguages) {
    if (caseinsensitive::Equal(language->Identifier(), identifier)) {
      return language;
    }
  }
  return nullptr;
}

void ABApp::OnLanguageChanged(std::function<void(const LumoLanguage&)> listener) {
  if (listener) {
    mLanguageListeners.push_back(std::move(listener));
  }
}

std::shared_ptr<ABAddressBook> ABApp::AddressBookByName(std::string_view /*name*/) const {
  return std::make_shared<ABAppleAddressBook>();
}

ABApp& App() {
  static ABApp app;
  return app;
}
