#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/CaseInsensitive.h"

// Named settings kept as text, with string, boolean and integer-list accessors, stored as an XML
// file whose root "Preferences" holds one element per setting. Subclasses supply defaults and
// react to loading and saving through the virtual events. Main thread only.
//
// C++ cannot dispatch a virtual call from a base constructor, so the Open event is raised by the
// constructor of the most-derived class: a subclass calls Open() at the end of its constructor
// and is final, so that the call reaches its own handler exactly once.
class LumoPreferences {
 public:
  explicit LumoPreferences(std::filesystem::path file);
  virtual ~LumoPreferences() = default;
  LumoPreferences(const LumoPreferences&) = delete;
  LumoPreferences& operator=(const LumoPreferences&) = delete;

  // Files larger than this are refused by Load; real preferences are a few hundred bytes.
  static constexpr std::uintmax_t kMaxFileSize = 4 * 1024 * 1024;

  // The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
  // ~/.config.
  static std::filesystem::path ConfigurationFolder();

  const std::filesystem::path& File() const { return mFile; }
  // The root's "Version" attribute as last read; empty until a file is read.
  const std::string& Version() const { return mVersion; }

  // Overlays the file's settings on the current ones. False, with every setting unchanged, when
  // there is no file, it cannot be read, is too large, is not well-formed XML or has no root.
  bool Load(std::string* error = nullptr);
  // Writes every setting to the file, creating its folder when missing, through a temporary file
  // renamed over the old one, so a failure leaves the old file intact and no temporary behind.
  bool Save(std::string* error = nullptr);

  // The stored text; empty when absent.
  std::string StringSetting(std::string_view name) const;
  // True exactly when the stored text is "true" in any case.
  bool BooleanSetting(std::string_view name) const;
  // The text split at each space, each piece read as the number it begins with (0 when none);
  // empty when absent or empty.
  std::vector<std::int32_t> BoundsSetting(std::string_view name) const;
  bool HasSetting(std::string_view name) const;
  // The settings in the order they were first stored, each under its first spelling.
  const std::vector<std::pair<std::string, std::string>>& Settings() const { return mSettings; }

  void Setting(std::string_view name, std::string_view value);
  // Without this a string literal would pick the boolean overload.
  void Setting(std::string_view name, const char* value) { Setting(name, std::string_view(value)); }
  void Setting(std::string_view name, bool value);
  void Setting(std::string_view name, const std::vector<std::int32_t>& value);

 protected:
  // Raised once at construction (see above); subclasses set their defaults here.
  virtual void Open() {}
  virtual void SaveComplete(const std::filesystem::path& /*file*/) {}
  virtual void LoadComplete() {}
  // Return true when the handler has dealt with the setting itself, so it is not stored.
  virtual bool SettingFound(std::string_view /*name*/, std::string_view /*value*/) { return false; }
  virtual void VersionFound(std::string_view /*version*/) {}

 private:
  const std::string* Find(std::string_view name) const;

  std::filesystem::path mFile;
  std::string mVersion;
  std::vector<std::pair<std::string, std::string>> mSettings;
  std::unordered_map<std::string, std::size_t, caseinsensitive::Hash, caseinsensitive::EqualTo>
      mIndex;
};
