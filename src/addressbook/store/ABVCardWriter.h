#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/store/ABDate.h"

class ABStorePerson;

// Writes a person as a vCard 3.0 card: UTF-8, CRLF line ends, lines folded at 75 octets without
// splitting a character, text values escaped.
class ABVCardWriter final {
 public:
  static constexpr std::string_view kProductId = "-//Quillbrook//Quillbrook//EN";

  // Dates become calendar days at the GMT offset; every card gets the revision timestamp.
  ABVCardWriter(std::int32_t gmtOffsetSeconds, std::string revision);

  // Appends the card of the person, with its UID and the names of its groups, to out.
  void Write(const ABStorePerson& person, std::string_view uid,
             const std::vector<std::string>& categories, std::string& out) const;

  // "YYYY-MM-DD": the calendar day of the moment at the GMT offset; none outside years 1-9999.
  static std::optional<std::string> FormatDay(ABDate date, std::int32_t gmtOffsetSeconds);
  // "YYYY-MM-DDTHH:MM:SSZ" in UTC.
  static std::string FormatTimestamp(std::chrono::system_clock::time_point moment);
  // What a text becomes in a card once read back: line breaks (CR LF, CR, LF) as LF, other
  // control characters but tab dropped, malformed UTF-8 replaced by U+FFFD.
  static std::string CleanText(std::string_view text);
  // Appends the cleaned text escaped for a vCard value (\\ \, \; \n).
  static void AppendEscaped(std::string& out, std::string_view text);
  // Appends one logical line folded at 75 octets, with CRLF after each physical line.
  static void AppendFolded(std::string& out, std::string_view line);

 private:
  std::int32_t mGmtOffsetSeconds;
  std::string mRevision;
};
