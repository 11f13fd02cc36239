#include "app/LumoLanguage.h"

#include <utility>

namespace {

// Carriage returns count as white space, so files with CRLF line ends read the same.
constexpr std::string_view kWhiteSpace = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kMaxPlaceholders = 9;

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) {
    return {};
  }
  const std::size_t last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
}

}  // namespace

LumoLanguage::LumoLanguage(std::string identifier, std::string name, std::string content,
                           std::string aboutText)
    : mIdentifier(std::move(identifier)),
      mName(std::move(name)),
      mContent(std::move(content)),
      mAboutText(std::move(aboutText)) {}

void LumoLanguage::ParseStrings() const {
  std::call_once(mParseOnce, [this] {
    std::string_view rest = mContent;
    // An editor's byte-order mark would otherwise become part of the first key.
    if (rest.starts_with(kByteOrderMark)) {
      rest.remove_prefix(kByteOrderMark.size());
    }
    while (!rest.empty()) {
      const std::size_t end = rest.find('\n');
      ParseLineInto(mStrings, rest.substr(0, end));
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    mLoaded.store(true, std::memory_order_release);
  });
}

void LumoLanguage::ParseLine(std::string_view line) {
  ParseLineInto(mStrings, line);
}

void LumoLanguage::ParseLineInto(Table& table, std::string_view line) {
  line = line.substr(0, line.find('#'));
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || line.find('=', equals + 1) != std::string_view::npos) {
    return;
  }
  const std::string_view key = Trim(line.substr(0, equals));
  const std::string_view value = Trim(line.substr(equals + 1));
  auto found = table.find(key);
  if (found != table.end()) {
    found->second = value;
  } else {
    table.emplace(key, value);
  }
}

std::string LumoLanguage::Text(std::string_view key,
                               const std::vector<std::string>& arguments) const {
  ParseStrings();
  const auto found = mStrings.find(key);
  if (found == mStrings.end()) {
    return {};
  }
  std::string text = found->second;
  for (std::size_t i = 0; i < arguments.size() && i < kMaxPlaceholders; ++i) {
    const char placeholder[] = {'~', static_cast<char>('1' + i), '\0'};
    const std::size_t position = text.find(placeholder);
    if (position != std::string::npos) {
      text.replace(position, 2, arguments[i]);
    }
  }
  return text;
}
