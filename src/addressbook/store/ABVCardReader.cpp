#include "addressbook/store/ABVCardReader.h"

#include <algorithm>
#include <unordered_set>

#include "addressbook/store/ABUtf8.h"
#include "app/CaseInsensitive.h"

namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

class LineParser final {
 public:
  explicit LineParser(std::string_view line) : mLine(line) {}

  std::optional<ABVCardProperty> Parse() {
    ABVCardProperty property;
    if (!Token(property.Name)) {
      return std::nullopt;
    }
    if (Peek('.')) {
      ++mOffset;
      property.Group = std::move(property.Name);
      if (!Token(property.Name)) {
        return std::nullopt;
      }
    }
    while (Peek(';')) {
      ++mOffset;
      ABVCardProperty::Parameter parameter;
      if (!Token(parameter.Name)) {
        return std::nullopt;
      }
      if (Peek('=') && !Values(parameter.Values)) {
        return std::nullopt;
      }
      property.Parameters.push_back(std::move(parameter));
    }
    if (!Peek(':')) {
      return std::nullopt;
    }
    property.Value = std::string(mLine.substr(mOffset + 1));
    return property;
  }

 private:
  bool Peek(char c) const { return mOffset < mLine.size() && mLine[mOffset] == c; }

  bool Token(std::string& token) {
    const std::size_t start = mOffset;
    while (mOffset < mLine.size() && IsNameChar(mLine[mOffset])) {
      ++mOffset;
    }
    token = std::string(mLine.substr(start, mOffset - start));
    return !token.empty();
  }

  // Parameter values after '=': quoted or plain, separated by commas.
  bool Values(std::vector<std::string>& values) {
    ++mOffset;
    while (true) {
      if (Peek('"')) {
        const std::size_t close = mLine.find('"', mOffset + 1);
        if (close == std::string_view::npos) {
          return false;
        }
        values.emplace_back(mLine.substr(mOffset + 1, close - mOffset - 1));
        mOffset = close + 1;
      } else {
        const std::size_t end = std::min(mLine.find_first_of(";:,\"", mOffset), mLine.size());
        if (end < mLine.size() && mLine[end] == '"') {
          return false;
        }
        values.emplace_back(mLine.substr(mOffset, end - mOffset));
        mOffset = end;
      }
      if (!Peek(',')) {
        return true;
      }
      ++mOffset;
    }
  }

  std::string_view mLine;
  std::size_t mOffset = 0;
};

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool IsMarker(const ABVCardProperty& property, std::string_view name) {
  return property.Group.empty() && property.Is(name) &&
         caseinsensitive::Equal(property.Value, "VCARD");
}

}  // namespace

std::optional<ABVCardProperty> ABVCardReader::ParseLine(std::string_view line) {
  return LineParser(line).Parse();
}

std::optional<std::vector<ABVCardReader::Card>> ABVCardReader::Cards(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  if (!ABUtf8::IsValid(text)) {
    return std::nullopt;
  }

  std::vector<Card> cards;
  bool inCard = false;
  std::string logical;
  bool haveLogical = false;

  // Takes one finished logical line; false when it breaks the structure.
  const auto take = [&](std::string_view line) {
    if (IsBlank(line)) {
      return true;
    }
    std::optional<ABVCardProperty> property = ParseLine(line);
    if (!property) {
      return false;
    }
    if (IsMarker(*property, "BEGIN")) {
      if (inCard) {
        return false;
      }
      inCard = true;
      cards.emplace_back();
      return true;
    }
    if (!inCard) {
      return false;
    }
    if (IsMarker(*property, "END")) {
      inCard = false;
      return true;
    }
    cards.back().push_back(std::move(*property));
    return true;
  };

  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view physical = text.substr(start, end - start);
    if (!physical.empty() && physical.back() == '\r') {
      physical.remove_suffix(1);
    }
    start = next;

    if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
      if (!haveLogical) {
        if (IsBlank(physical)) {
          continue;
        }
        return std::nullopt;
      }
      logical.append(physical.substr(1));
      continue;
    }
    if (haveLogical && !take(logical)) {
      return std::nullopt;
    }
    logical.assign(physical);
    haveLogical = !physical.empty();
  }
  if (haveLogical && !take(logical)) {
    return std::nullopt;
  }
  if (inCard || cards.empty()) {
    return std::nullopt;
  }
  return cards;
}

std::optional<std::vector<std::string>> ABVCardReader::Categories(std::string_view text) {
  std::optional<std::vector<Card>> cards = Cards(text);
  if (!cards) {
    return std::nullopt;
  }
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Card& card : *cards) {
    for (const ABVCardProperty& property : card) {
      if (!property.Is("CATEGORIES")) {
        continue;
      }
      for (std::string& name : property.Components(',')) {
        if (!name.empty() && seen.insert(name).second) {
          names.push_back(std::move(name));
        }
      }
    }
  }
  return names;
}
