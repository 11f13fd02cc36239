#include "app/ABPreferences.h"

#include <utility>

ABPreferences::ABPreferences(std::filesystem::path file) : LumoPreferences(std::move(file)) {
  // The class is final, so this reaches our own handler, as the base constructor cannot.
  Open();
}

std::filesystem::path ABPreferences::DefaultFile() {
  return ConfigurationFolder() / "Quillbrook" / kFileName;
}

void ABPreferences::Open() {
  Setting(kLanguage, "en");
  Setting(kCheckForUpdateAtLaunch, true);
  Setting(kIgnoredUpdateVersion, "");
}
