#pragma once

#include <filesystem>

#include "app/LumoPreferences.h"

// The application's preferences: the store with the application's defaults. The file type and
// creator codes that mark the saved file on Mac OS have no counterpart here, so saving needs no
// extra step.
class ABPreferences final : public LumoPreferences {
 public:
  static constexpr const char* kLanguage = "Language";
  static constexpr const char* kCheckForUpdateAtLaunch = "CheckForUpdateAtLaunch";
  static constexpr const char* kIgnoredUpdateVersion = "IgnoredUpdateVersion";
  static constexpr const char* kFileName = "Quillbrook Preferences";

  // Sets the defaults; nothing is read until Load.
  explicit ABPreferences(std::filesystem::path file);

  // "Quillbrook Preferences" in the Quillbrook folder of the user's configuration folder.
  static std::filesystem::path DefaultFile();

 protected:
  void Open() override;
};
