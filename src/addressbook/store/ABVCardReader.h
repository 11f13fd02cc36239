#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/store/ABVCardProperty.h"

// Reads vCard files as far as the store needs them. Strict about structure, so that anything
// it does not understand is recognised as such and left alone.
class ABVCardReader final {
 public:
  using Card = std::vector<ABVCardProperty>;

  ABVCardReader() = delete;

  // Every card of the text with its lines unfolded (CRLF or LF line ends); none when the text is
  // not UTF-8, has a line that is not a content line, content outside BEGIN:VCARD..END:VCARD,
  // a card inside a card, a card left open, or no card at all.
  static std::optional<std::vector<Card>> Cards(std::string_view text);
  // The category names of every card of the text, in first-seen order without repeats; none when
  // the text is not understood.
  static std::optional<std::vector<std::string>> Categories(std::string_view text);
  // One unfolded content line; none when it is malformed.
  static std::optional<ABVCardProperty> ParseLine(std::string_view line);
};
