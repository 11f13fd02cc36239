#include "addressbook/store/ABVCardWriter.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

#include "addressbook/store/ABCivilDate.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABStorePerson.h"
#include "addressbook/store/ABUtf8.h"

namespace {

using namespace abstore;

constexpr std::size_t kFoldOctets = 75;
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Walks the text as it goes into a card: bytes to keep go to keep(piece), each line break
// (CR LF, CR or LF) to lineBreak().
template <typename Keep, typename LineBreak>
void Clean(std::string_view text, Keep&& keep, LineBreak&& lineBreak) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = ABUtf8::SequenceLength(text, i);
      if (length == 0) {
        keep(kReplacementCharacter);
        ++i;
      } else {
        keep(text.substr(i, length));
        i += length;
      }
    } else if (c == '\r' || c == '\n') {
      lineBreak();
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    } else if (c < 0x20 && c != '\t') {
      ++i;
    } else if (c == 0x7F) {
      ++i;
    } else {
      keep(text.substr(i, 1));
      ++i;
    }
  }
}

// The TYPE parameter for a known label constant, or none for a label kept as text.
std::optional<std::string_view> KnownLabelTypes(std::string_view label, bool onURL) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kTypes = {{
      {kWorkLabel, "WORK"},
      {kHomeLabel, "HOME"},
      {kOtherLabel, "OTHER"},
      {kMainLabel, "MAIN"},
      {kMobileLabel, "CELL"},
      {kPagerLabel, "PAGER"},
      {kWorkFAXLabel, "WORK,FAX"},
      {kHomeFAXLabel, "HOME,FAX"},
  }};
  for (const auto& [constant, types] : kTypes) {
    if (label == constant) {
      return types;
    }
  }
  if (onURL && label == kHomePageLabel) {
    return "HOME";
  }
  return std::nullopt;
}

// Builds the lines of one card into the output.
class CardBuilder final {
 public:
  CardBuilder(const ABStorePerson& person, std::int32_t gmtOffsetSeconds, std::string& out)
      : mPerson(person), mGmtOffsetSeconds(gmtOffsetSeconds), mOut(out) {}

  void Plain(std::string_view line) { ABVCardWriter::AppendFolded(mOut, line); }

  // NAME:escaped text, left out when the text is empty.
  void Text(std::string_view name, std::string_view text) {
    mValue.clear();
    ABVCardWriter::AppendEscaped(mValue, text);
    if (mValue.empty()) {
      return;
    }
    mLine.assign(name);
    mLine.push_back(':');
    mLine.append(mValue);
    Plain(mLine);
  }

  void TextOf(std::string_view name, std::string_view key) { Text(name, mPerson.Text(key)); }

  // NAME:a;b;c with each component escaped; always written.
  void Structured(std::string_view name, std::initializer_list<std::string_view> parts) {
    mLine.assign(name);
    mLine.push_back(':');
    bool first = true;
    for (std::string_view part : parts) {
      if (!first) {
        mLine.push_back(';');
      }
      first = false;
      ABVCardWriter::AppendEscaped(mLine, part);
    }
    Plain(mLine);
  }

  // One labelled entry: a known label as TYPE, any other through itemN. and X-ABLabel.
  void Labelled(std::string_view name, std::string_view fixedType, std::string_view label,
                std::string_view value, bool onURL) {
    if (value.empty()) {
      return;
    }
    const std::optional<std::string_view> known = KnownLabelTypes(label, onURL);
    const bool custom = !known && !label.empty();
    mGroup.clear();
    if (custom) {
      mGroup = "item" + std::to_string(++mItemCount) + ".";
    }
    mLine.assign(mGroup);
    mLine.append(name);
    if (!fixedType.empty() || (known && !known->empty())) {
      mLine.append(";TYPE=");
      mLine.append(fixedType);
      if (!fixedType.empty() && known) {
        mLine.push_back(',');
      }
      if (known) {
        mLine.append(*known);
      }
    }
    mLine.push_back(':');
    mLine.append(value);
    Plain(mLine);
    if (custom) {
      mLine.assign(mGroup);
      mLine.append("X-ABLabel:");
      ABVCardWriter::AppendEscaped(mLine, label);
      Plain(mLine);
    }
  }

  void TextList(std::string_view name, std::string_view fixedType, std::string_view key,
                bool onURL = false) {
    const ABMultiValue* list = List(key);
    if (list == nullptr) {
      return;
    }
    for (const ABMultiValue::Entry& entry : list->Entries()) {
      if (const auto* text = std::get_if<std::string>(&entry.Value)) {
        mValue.clear();
        ABVCardWriter::AppendEscaped(mValue, *text);
        Labelled(name, fixedType, entry.Label, mValue, onURL);
      }
    }
  }

  void DateList(std::string_view name, std::string_view key) {
    const ABMultiValue* list = List(key);
    if (list == nullptr) {
      return;
    }
    for (const ABMultiValue::Entry& entry : list->Entries()) {
      if (const auto* date = std::get_if<ABDate>(&entry.Value)) {
        if (std::optional<std::string> day = ABVCardWriter::FormatDay(*date, mGmtOffsetSeconds)) {
          Labelled(name, {}, entry.Label, *day, false);
        }
      }
    }
  }

  void Addresses() {
    const ABMultiValue* list = List(kAddressProperty);
    if (list == nullptr) {
      return;
    }
    for (const ABMultiValue::Entry& entry : list->Entries()) {
      const auto* address = std::get_if<ABDictionary>(&entry.Value);
      if (address == nullptr) {
        continue;
      }
      mValue.assign(";;");
      bool any = false;
      for (std::string_view key : {kStreetKey, kCityKey, kStateKey, kZIPKey, kCountryKey}) {
        if (key != kStreetKey) {
          mValue.push_back(';');
        }
        const std::string* part = address->Find(key);
        if (part != nullptr) {
          const std::size_t before = mValue.size();
          ABVCardWriter::AppendEscaped(mValue, *part);
          any = any || mValue.size() > before;
        }
      }
      if (any) {
        Labelled("ADR", {}, entry.Label, mValue, false);
      }
    }
  }

  // FN from the names, else the organization, nickname, first e-mail, first phone.
  void FormattedName() {
    mValue.clear();
    for (std::string_view key :
         {kTitleProperty, kFirstProperty, kMiddleProperty, kLastProperty, kSuffixProperty}) {
      mScratch.clear();
      ABVCardWriter::AppendEscaped(mScratch, mPerson.Text(key));
      if (!mScratch.empty()) {
        if (!mValue.empty()) {
          mValue.push_back(' ');
        }
        mValue.append(mScratch);
      }
    }
    for (std::string_view key : {kOrganizationProperty, kNicknameProperty}) {
      if (mValue.empty()) {
        ABVCardWriter::AppendEscaped(mValue, mPerson.Text(key));
      }
    }
    for (std::string_view key : {kEmailProperty, kPhoneProperty}) {
      const ABMultiValue* list = List(key);
      if (list == nullptr) {
        continue;
      }
      for (const ABMultiValue::Entry& entry : list->Entries()) {
        const auto* text = std::get_if<std::string>(&entry.Value);
        if (mValue.empty() && text != nullptr) {
          ABVCardWriter::AppendEscaped(mValue, *text);
        }
      }
    }
    mLine.assign("FN:");
    mLine.append(mValue);
    Plain(mLine);
  }

  void Organization() {
    mValue.clear();
    ABVCardWriter::AppendEscaped(mValue, mPerson.Text(kOrganizationProperty));
    mScratch.clear();
    ABVCardWriter::AppendEscaped(mScratch, mPerson.Text(kABDepartmentProperty));
    if (mValue.empty() && mScratch.empty()) {
      return;
    }
    mLine.assign("ORG:");
    mLine.append(mValue);
    if (!mScratch.empty()) {
      mLine.push_back(';');
      mLine.append(mScratch);
    }
    Plain(mLine);
  }

  void Birthday() {
    const ABValue* value = mPerson.Value(kBirthdayProperty);
    const auto* date = value != nullptr ? std::get_if<ABDate>(value) : nullptr;
    if (date == nullptr) {
      return;
    }
    if (std::optional<std::string> day = ABVCardWriter::FormatDay(*date, mGmtOffsetSeconds)) {
      mLine.assign("BDAY:");
      mLine.append(*day);
      Plain(mLine);
    }
  }

  void ShowAs() {
    const ABValue* value = mPerson.Value(kABPersonFlagsProperty);
    const auto* flags = value != nullptr ? std::get_if<std::int32_t>(value) : nullptr;
    if (flags != nullptr && (*flags & kShowAsMask) == kShowAsCompany) {
      Plain("X-ABShowAs:COMPANY");
    }
  }

  void Categories(const std::vector<std::string>& categories) {
    mLine.assign("CATEGORIES:");
    const std::size_t empty = mLine.size();
    for (const std::string& category : categories) {
      const std::size_t before = mLine.size();
      if (before > empty) {
        mLine.push_back(',');
      }
      const std::size_t start = mLine.size();
      ABVCardWriter::AppendEscaped(mLine, category);
      if (mLine.size() == start) {
        mLine.resize(before);
      }
    }
    if (mLine.size() > empty) {
      Plain(mLine);
    }
  }

 private:
  const ABMultiValue* List(std::string_view key) const {
    const ABValue* value = mPerson.Value(key);
    return value != nullptr ? std::get_if<ABMultiValue>(value) : nullptr;
  }

  const ABStorePerson& mPerson;
  std::int32_t mGmtOffsetSeconds;
  std::string& mOut;
  std::string mLine;
  std::string mValue;
  std::string mScratch;
  std::string mGroup;
  int mItemCount = 0;
};

}  // namespace

ABVCardWriter::ABVCardWriter(std::int32_t gmtOffsetSeconds, std::string revision)
    : mGmtOffsetSeconds(gmtOffsetSeconds), mRevision(std::move(revision)) {}

void ABVCardWriter::Write(const ABStorePerson& person, std::string_view uid,
                          const std::vector<std::string>& categories, std::string& out) const {
  CardBuilder card(person, mGmtOffsetSeconds, out);
  card.Plain("BEGIN:VCARD");
  card.Plain("VERSION:3.0");
  card.Text("PRODID", kProductId);
  card.Text("UID", uid);
  card.Structured(
      "N", {person.Text(kLastProperty), person.Text(kFirstProperty), person.Text(kMiddleProperty),
            person.Text(kTitleProperty), person.Text(kSuffixProperty)});
  card.FormattedName();
  card.TextOf("X-PHONETIC-FIRST-NAME", kFirstPhoneticProperty);
  card.TextOf("X-PHONETIC-MIDDLE-NAME", kMiddlePhoneticProperty);
  card.TextOf("X-PHONETIC-LAST-NAME", kLastPhoneticProperty);
  card.TextOf("NICKNAME", kNicknameProperty);
  card.TextOf("X-MAIDENNAME", kMaidenNameProperty);
  card.Organization();
  card.TextOf("TITLE", kJobTitleProperty);
  card.ShowAs();
  card.TextList("TEL", {}, kPhoneProperty);
  card.TextList("EMAIL", "INTERNET", kEmailProperty);
  card.TextOf("URL", kHomePageProperty);
  card.TextList("URL", {}, kURLsProperty, true);
  card.Birthday();
  card.DateList("X-ABDATE", kABDateProperty);
  card.TextList("X-ABRELATEDNAMES", {}, kABRelatedNamesProperty);
  card.TextList("X-AIM", {}, kAIMInstantProperty);
  card.TextList("X-ICQ", {}, kICQInstantProperty);
  card.TextList("X-JABBER", {}, kJabberInstantProperty);
  card.TextList("X-MSN", {}, kMSNInstantProperty);
  card.TextList("X-YAHOO", {}, kYahooInstantProperty);
  card.Addresses();
  card.TextOf("NOTE", kNoteProperty);
  card.Categories(categories);
  card.Text("REV", mRevision);
  card.Plain("END:VCARD");
}

std::optional<std::string> ABVCardWriter::FormatDay(ABDate date, std::int32_t gmtOffsetSeconds) {
  // Far beyond any four-digit year, yet small enough to convert to an integer safely.
  constexpr double kLimitDays = 1e7;
  const double local = date.SecondsSinceReference + gmtOffsetSeconds;
  double days = std::floor(local / 86400.0);
  if (!std::isfinite(days) || days < -kLimitDays || days > kLimitDays) {
    return std::nullopt;
  }
  // The division may round across a day boundary; the day is the one that holds the moment.
  if (days * 86400.0 > local) {
    days -= 1;
  } else if ((days + 1) * 86400.0 <= local) {
    days += 1;
  }
  const ABCivilDate day =
      ABCivilDate::FromDaysSinceEpoch(static_cast<std::int64_t>(days) + kABReferenceDaysSinceEpoch);
  if (day.Year < 1 || day.Year > 9999) {
    return std::nullopt;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.Year), day.Month,
                day.Day);
  return std::string(text);
}

std::string ABVCardWriter::FormatTimestamp(std::chrono::system_clock::time_point moment) {
  const auto seconds = std::chrono::floor<std::chrono::seconds>(moment).time_since_epoch().count();
  const std::int64_t total = static_cast<std::int64_t>(seconds);
  std::int64_t days = total / 86400;
  std::int64_t rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const ABCivilDate day = ABCivilDate::FromDaysSinceEpoch(days);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02dZ",
                static_cast<long long>(day.Year), day.Month, day.Day, static_cast<int>(rest / 3600),
                static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  return std::string(text);
}

std::string ABVCardWriter::CleanText(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  Clean(
      text, [&](std::string_view piece) { clean.append(piece); }, [&] { clean.push_back('\n'); });
  return clean;
}

void ABVCardWriter::AppendEscaped(std::string& out, std::string_view text) {
  Clean(
      text,
      [&](std::string_view piece) {
        if (piece.size() == 1 && (piece[0] == '\\' || piece[0] == ',' || piece[0] == ';')) {
          out.push_back('\\');
        }
        out.append(piece);
      },
      [&] { out.append("\\n"); });
}

void ABVCardWriter::AppendFolded(std::string& out, std::string_view line) {
  std::size_t offset = 0;
  std::size_t room = kFoldOctets;
  while (line.size() - offset > room) {
    std::size_t cut = offset + room;
    while (cut > offset && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
      --cut;
    }
    if (cut == offset) {
      cut = offset + room;
    }
    out.append(line.substr(offset, cut - offset));
    out.append("\r\n ");
    offset = cut;
    // A continuation line starts with the space, leaving 74 octets of content.
    room = kFoldOctets - 1;
  }
  out.append(line.substr(offset));
  out.append("\r\n");
}
