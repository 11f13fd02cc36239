#pragma once

#include <string>
#include <string_view>
#include <vector>

// One content line of a vCard, unfolded: [group.]name;parameters:value with the value still
// escaped as written.
struct ABVCardProperty {
  struct Parameter {
    std::string Name;
    std::vector<std::string> Values;
  };

  std::string Group;
  std::string Name;
  std::vector<Parameter> Parameters;
  std::string Value;

  // True when the property has this name, ignoring case.
  bool Is(std::string_view name) const;
  // The value as one text, unescaped.
  std::string Text() const { return Unescape(Value); }
  // The value split at unescaped separators (';' for N and ADR, ',' for CATEGORIES), unescaped.
  std::vector<std::string> Components(char separator) const { return Split(Value, separator); }
  // The values of every TYPE parameter, in order, as written.
  std::vector<std::string> Types() const;

  // Undoes vCard text escaping: \\ \, \; \n \N; any other backslash stays as it is.
  static std::string Unescape(std::string_view raw);
  // Splits escaped text at the separators that are not escaped, and unescapes each part.
  static std::vector<std::string> Split(std::string_view raw, char separator);
};
