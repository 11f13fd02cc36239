#include "mapping/ABMap.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>

#include "app/ABApp.h"
#include "app/AtomicFile.h"
#include "app/CaseInsensitive.h"
#include "mapping/ABAddressBook.h"

ABMap::ABMap(std::shared_ptr<ABAddressBook> addressBook) : AddressBook(std::move(addressBook)) {}

ABMap::ABMap(std::filesystem::path file) : mFile(std::move(file)) {}

ABMapLink::Pointer ABMap::Link(std::string_view name) const {
  for (const ABMapLink::Pointer& link : mLinks) {
    if (caseinsensitive::Equal(link->AddressBookField(), name)) {
      return link;
    }
  }
  return nullptr;
}

void ABMap::AppendLink(ABMapLink::Pointer link) {
  mLinks.push_back(std::move(link));
}

std::vector<ABMapLink::Pointer> ABMap::Links(std::string_view name) const {
  std::vector<ABMapLink::Pointer> links;
  for (const ABMapLink::Pointer& link : mLinks) {
    if (caseinsensitive::Equal(link->AddressBookField(), name)) {
      links.push_back(link);
    }
  }
  return links;
}

bool ABMap::SaveAs(std::filesystem::path file) {
  mFile = std::move(file);
  return Save();
}

namespace {

// Map files are a few kilobytes; anything far larger is not one of ours.
constexpr std::uintmax_t kMaxMapFileSize = 16 * 1024 * 1024;

// The leading decimal integer of an attribute, 0 when there is none; saturates
// at int's range.
int NumberOf(const pugi::xml_attribute& attribute) {
  const char* text = attribute.as_string();
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') {
    ++text;
  }
  bool negative = false;
  if (*text == '-' || *text == '+') {
    negative = *text == '-';
    ++text;
  }
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = std::min<long long>(value * 10 + (*text - '0'), 1LL << 40);
  }
  value = negative ? -value : value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::nullopt;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxMapFileSize) {
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.gcount() != static_cast<std::streamsize>(text.size())) {
    return std::nullopt;
  }
  return text;
}

}  // namespace

bool ABMap::Load() {
  mLastError.clear();
  if (!mFile) {
    mLastError = "no map file";
    return false;
  }
  const std::optional<std::string> text = ReadSmallFile(*mFile);
  if (!text) {
    mLastError = "cannot read " + mFile->string();
    return false;
  }
  pugi::xml_document document;
  // No DOCTYPE handling: entities beyond XML's own five are never expanded.
  const pugi::xml_parse_result parsed =
      document.load_buffer(text->data(), text->size(), pugi::parse_default, pugi::encoding_auto);
  if (!parsed) {
    mLastError = std::string("not well-formed XML: ") + parsed.description() + " at offset " +
                 std::to_string(parsed.offset);
    return false;
  }
  const pugi::xml_node root = document.document_element();
  if (!caseinsensitive::Equal(root.name(), "Map")) {
    mLastError = "the document is not a map";
    return false;
  }
  mVersion = root.attribute("Version").as_string();
  AddressBook = App().AddressBookByName(root.attribute("AddressBook").as_string());
  if (!AddressBook) {
    mLastError = "unknown address book";
    return false;
  }
  Group = root.attribute("Group").as_string();
  RangeStart = NumberOf(root.attribute("RangeStart"));
  RangeEnd = NumberOf(root.attribute("RangeEnd"));
  DeleteAllLinks();

  for (const pugi::xml_node element : root.children("Link")) {
    const pugi::xml_node field = element.child("AddressBookField");
    const std::string id = field.attribute("ID").as_string();
    if (id.empty()) {
      mLastError = "a link without a field";
      return false;
    }
    const pugi::xml_node importField = element.child("ImportField");
    const int column = importField ? NumberOf(importField.attribute("Index")) : -1;
    std::vector<ABMapLink::Pointer> subLinks;
    for (const pugi::xml_node inner : element.children("Link")) {
      const std::string subId = inner.child("AddressBookField").attribute("ID").as_string();
      const pugi::xml_node subImport = inner.child("ImportField");
      const int subColumn = subImport ? NumberOf(subImport.attribute("Index")) : -1;
      if (subId.empty() || subColumn == -1) {
        mLastError = "a sub-link of " + id + " without a field or column";
        return false;
      }
      subLinks.push_back(std::make_shared<ABMapLink>(subId, subColumn));
    }
    if (column == -1 && subLinks.empty()) {
      mLastError = "a link of " + id + " without a column";
      return false;
    }
    auto link = std::make_shared<ABMapLink>(id, 0, field.attribute("Label").as_string());
    if (column != -1) {
      link->ImportField(column);
    } else {
      for (ABMapLink::Pointer& subLink : subLinks) {
        link->AppendSubLink(std::move(subLink));
      }
    }
    AppendLink(std::move(link));
  }
  return true;
}

bool ABMap::Save() {
  mLastError.clear();
  if (!mFile) {
    mLastError = "no map file";
    return false;
  }
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("Map");
  root.append_attribute("Version") = mVersion.c_str();
  root.append_attribute("AddressBook") = AddressBook ? AddressBook->Name().c_str() : "";
  root.append_attribute("Group") = Group.c_str();
  root.append_attribute("RangeStart") = RangeStart;
  root.append_attribute("RangeEnd") = RangeEnd;
  for (const ABMapLink::Pointer& link : mLinks) {
    pugi::xml_node element = root.append_child("Link");
    pugi::xml_node field = element.append_child("AddressBookField");
    field.append_attribute("ID") = link->AddressBookField().c_str();
    if (!link->Label().empty()) {
      field.append_attribute("Label") = link->Label().c_str();
    }
    if (link->SubLinkCount() == 0) {
      element.append_child("ImportField").append_attribute("Index") = link->ImportField();
      continue;
    }
    for (std::size_t i = 0; i < link->SubLinkCount(); ++i) {
      const ABMapLink& subLink = *link->SubLink(i);
      pugi::xml_node inner = element.append_child("Link");
      inner.append_child("AddressBookField").append_attribute("ID") =
          subLink.AddressBookField().c_str();
      inner.append_child("ImportField").append_attribute("Index") = subLink.ImportField();
    }
  }
  std::ostringstream text;
  document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  return AtomicFile::Write(*mFile, text.str(), &mLastError);
}
