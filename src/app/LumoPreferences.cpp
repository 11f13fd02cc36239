#include "app/LumoPreferences.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>

#include "app/AtomicFile.h"
#include "app/LumoVersion.h"

namespace {

constexpr const char* kRootName = "Preferences";
constexpr const char* kVersionAttribute = "Version";

bool Fail(std::string* error, std::string what) {
  if (error != nullptr) {
    *error = std::move(what);
  }
  return false;
}

std::filesystem::path HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return home;
  }
  const passwd* entry = ::getpwuid(::getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
    return entry->pw_dir;
  }
  return {};
}

// Element names that the serialiser can write and a reader can read back; anything else would
// make the whole file unreadable.
bool IsElementName(std::string_view name) {
  auto isStart = [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
  };
  auto isPart = [&](unsigned char c) {
    return isStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
  };
  if (name.empty() || !isStart(static_cast<unsigned char>(name.front()))) {
    return false;
  }
  for (char c : name) {
    if (!isPart(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return true;
}

bool ReadWhole(const std::filesystem::path& file, std::string& content, std::string* error) {
  std::error_code failure;
  if (!std::filesystem::is_regular_file(file, failure)) {
    return Fail(error, "not a regular file: " + file.string());
  }
  const std::uintmax_t size = std::filesystem::file_size(file, failure);
  if (failure) {
    return Fail(error, "cannot read " + file.string() + ": " + failure.message());
  }
  if (size > LumoPreferences::kMaxFileSize) {
    return Fail(error, "too large to be a preferences file: " + file.string());
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return Fail(error, "cannot open " + file.string());
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) {
    return Fail(error, "cannot read " + file.string());
  }
  content = std::move(bytes).str();
  if (content.size() > LumoPreferences::kMaxFileSize) {
    return Fail(error, "too large to be a preferences file: " + file.string());
  }
  return true;
}

struct StringWriter final : pugi::xml_writer {
  std::string text;
  void write(const void* data, std::size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

}  // namespace

LumoPreferences::LumoPreferences(std::filesystem::path file) : mFile(std::move(file)) {}

std::filesystem::path LumoPreferences::ConfigurationFolder() {
  const char* configured = std::getenv("XDG_CONFIG_HOME");
  if (configured != nullptr && configured[0] == '/') {
    return configured;
  }
  const std::filesystem::path home = HomeFolder();
  return home.empty() ? std::filesystem::path(".config") : home / ".config";
}

bool LumoPreferences::Load(std::string* error) {
  std::error_code failure;
  if (!std::filesystem::exists(mFile, failure)) {
    return Fail(error, "no file " + mFile.string());
  }
  std::string content;
  if (!ReadWhole(mFile, content, error)) {
    return false;
  }
  pugi::xml_document document;
  // White-space text is kept so that a value of spaces reads back as written.
  const pugi::xml_parse_result parsed = document.load_buffer(
      content.data(), content.size(), pugi::parse_default | pugi::parse_ws_pcdata);
  if (!parsed) {
    return Fail(error, mFile.string() + ": " + parsed.description() + " at offset " +
                           std::to_string(parsed.offset));
  }
  const pugi::xml_node root = document.document_element();
  if (!root) {
    return Fail(error, mFile.string() + ": no root element");
  }

  mVersion = root.attribute(kVersionAttribute).value();
  VersionFound(mVersion);
  for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
    const pugi::xml_node inner = child.first_child();
    if (!inner || inner.next_sibling()) {
      continue;
    }
    const std::string_view name = child.name();
    const std::string_view value = inner.value();
    if (!SettingFound(name, value)) {
      Setting(name, value);
    }
  }
  LoadComplete();
  return true;
}

bool LumoPreferences::Save(std::string* error) {
  if (mFile.empty()) {
    return Fail(error, "no preferences file");
  }
  pugi::xml_document document;
  pugi::xml_node root = document.append_child(kRootName);
  root.append_attribute(kVersionAttribute).set_value(mVersion.c_str());
  for (const auto& [name, value] : mSettings) {
    if (!IsElementName(name)) {
      continue;
    }
    root.append_child(name.c_str()).append_child(pugi::node_pcdata).set_value(value.c_str());
  }
  StringWriter writer;
  document.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);

  const std::filesystem::path folder = mFile.parent_path();
  std::error_code failure;
  if (!folder.empty() && !std::filesystem::is_directory(folder, failure)) {
    std::filesystem::create_directories(folder, failure);
    if (failure) {
      return Fail(error, "cannot create " + folder.string() + ": " + failure.message());
    }
  }
  if (!AtomicFile::Write(mFile, writer.text, error)) {
    return false;
  }
  SaveComplete(mFile);
  return true;
}

const std::string* LumoPreferences::Find(std::string_view name) const {
  const auto found = mIndex.find(name);
  return found == mIndex.end() ? nullptr : &mSettings[found->second].second;
}

bool LumoPreferences::HasSetting(std::string_view name) const {
  return Find(name) != nullptr;
}

std::string LumoPreferences::StringSetting(std::string_view name) const {
  const std::string* value = Find(name);
  return value == nullptr ? std::string() : *value;
}

bool LumoPreferences::BooleanSetting(std::string_view name) const {
  const std::string* value = Find(name);
  return value != nullptr && caseinsensitive::Equal(*value, "true");
}

std::vector<std::int32_t> LumoPreferences::BoundsSetting(std::string_view name) const {
  std::vector<std::int32_t> numbers;
  const std::string* value = Find(name);
  if (value == nullptr || value->empty()) {
    return numbers;
  }
  std::string_view rest = *value;
  while (true) {
    const std::size_t space = rest.find(' ');
    numbers.push_back(LumoVersion::LeadingNumber(rest.substr(0, space)));
    if (space == std::string_view::npos) {
      return numbers;
    }
    rest.remove_prefix(space + 1);
  }
}

void LumoPreferences::Setting(std::string_view name, std::string_view value) {
  const auto found = mIndex.find(name);
  if (found != mIndex.end()) {
    mSettings[found->second].second = value;
    return;
  }
  mIndex.emplace(name, mSettings.size());
  mSettings.emplace_back(name, value);
}

void LumoPreferences::Setting(std::string_view name, bool value) {
  Setting(name, value ? std::string_view("true") : std::string_view("false"));
}

void LumoPreferences::Setting(std::string_view name, const std::vector<std::int32_t>& value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (i > 0) {
      text += ' ';
    }
    text += std::to_string(value[i]);
  }
  Setting(name, std::string_view(text));
}
