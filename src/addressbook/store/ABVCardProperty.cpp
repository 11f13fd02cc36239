#include "addressbook/store/ABVCardProperty.h"

#include "app/CaseInsensitive.h"

bool ABVCardProperty::Is(std::string_view name) const {
  return caseinsensitive::Equal(Name, name);
}

std::vector<std::string> ABVCardProperty::Types() const {
  std::vector<std::string> types;
  for (const Parameter& parameter : Parameters) {
    if (caseinsensitive::Equal(parameter.Name, "TYPE")) {
      types.insert(types.end(), parameter.Values.begin(), parameter.Values.end());
    }
  }
  return types;
}

std::string ABVCardProperty::Unescape(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c != '\\' || i + 1 == raw.size()) {
      text.push_back(c);
      continue;
    }
    const char next = raw[i + 1];
    if (next == 'n' || next == 'N') {
      text.push_back('\n');
      ++i;
    } else if (next == '\\' || next == ',' || next == ';') {
      text.push_back(next);
      ++i;
    } else {
      text.push_back(c);
    }
  }
  return text;
}

std::vector<std::string> ABVCardProperty::Split(std::string_view raw, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\') {
      ++i;
    } else if (raw[i] == separator) {
      parts.push_back(Unescape(raw.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(Unescape(raw.substr(start)));
  return parts;
}
