#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/CaseInsensitive.h"

// One user-interface language: identifier, display name, strings text and credits text. The
// strings text is parsed on the first lookup; lookups are safe from any thread.
class LumoLanguage final {
 public:
  LumoLanguage(std::string identifier, std::string name, std::string content,
               std::string aboutText);
  LumoLanguage(const LumoLanguage&) = delete;
  LumoLanguage& operator=(const LumoLanguage&) = delete;

  // The code stored in the preferences: "en", "nl", "fr".
  const std::string& Identifier() const { return mIdentifier; }
  // The name shown in the language menu: "English", "Dutch", "Français".
  const std::string& Name() const { return mName; }
  // The raw strings text, unparsed.
  const std::string& Content() const { return mContent; }
  // The credits text for the About box.
  const std::string& AboutText() const { return mAboutText; }
  // True once Content has been parsed.
  bool Loaded() const { return mLoaded.load(std::memory_order_acquire); }

  // Parses Content into the strings table; only the first call does anything.
  void ParseStrings() const;
  // Reads one "Key = Value" line into the table: "#" starts a comment, a line needs exactly one
  // "=", key and value are trimmed, and a later key replaces an earlier one in any case. Not for
  // use while other threads look texts up.
  void ParseLine(std::string_view line);

  // The text of `key` (any case) with "~1" to "~9" filled from `arguments`, the first occurrence
  // of each in turn; the empty text when the key is missing.
  std::string Text(std::string_view key, const std::vector<std::string>& arguments = {}) const;

 private:
  using Table =
      std::unordered_map<std::string, std::string, caseinsensitive::Hash, caseinsensitive::EqualTo>;
  static void ParseLineInto(Table& table, std::string_view line);

  std::string mIdentifier;
  std::string mName;
  std::string mContent;
  std::string mAboutText;
  // Filled once under mParseOnce and only read afterwards.
  mutable Table mStrings;
  mutable std::once_flag mParseOnce;
  mutable std::atomic<bool> mLoaded{false};
};
