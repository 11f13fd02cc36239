#include "cli/CommandLine.h"

#include <charconv>

#include "app/CaseInsensitive.h"
#include "import/TextEncoding.h"

namespace {

struct OptionName {
  char Short;
  std::string_view Long;
  bool TakesValue;
};

constexpr OptionName kOptions[] = {
    {'m', "map", true},       {'e', "encoding", true}, {'r', "range", true},
    {'g', "group", true},     {'s', "store", true},    {'\0', "no-group", false},
    {'\0', "records", false}, {'q', "quiet", false},   {'h', "help", false},
    {'\0', "version", false},
};

const OptionName* FindLong(std::string_view name) {
  for (const OptionName& option : kOptions) {
    if (option.Long == name) {
      return &option;
    }
  }
  return nullptr;
}

const OptionName* FindShort(char name) {
  for (const OptionName& option : kOptions) {
    if (option.Short != '\0' && option.Short == name) {
      return &option;
    }
  }
  return nullptr;
}

// A record number counted from 1: digits only, at least 1, within int.
std::optional<int> RecordNumber(std::string_view text) {
  if (text.empty() || text.front() == '+' || text.front() == '-') {
    return std::nullopt;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string CommandLine::Usage() {
  return "Usage: quillbrook-import --map MAP.map [options] IMPORT_FILE\n"
         "       quillbrook-import --records [--encoding NAME] IMPORT_FILE\n"
         "\n"
         "Imports the records of a CSV or tab-delimited file into the address book,\n"
         "one contact per record, through a map file made with Quillbrook.\n"
         "\n"
         "  -m, --map FILE       the map file to import with (required unless --records)\n"
         "  -e, --encoding NAME  the import file's encoding: system (the default), mac-roman,\n"
         "                       windows-1252, iso-8859-1, utf-8, utf-16\n"
         "  -r, --range RANGE    the records to import instead of the map's range: all,\n"
         "                       all-but-first, FROM-TO or FROM- (counted from 1)\n"
         "  -g, --group NAME     the group to import into instead of the map's group\n"
         "      --no-group       import into no group, whatever the map says\n"
         "  -s, --store DIR      the vCard folder to import into (created when missing)\n"
         "      --records        print the file's records as JSON arrays, one per line,\n"
         "                       and import nothing\n"
         "  -q, --quiet          show no progress\n"
         "  -h, --help           show this help\n"
         "      --version        show the version\n";
}

std::optional<CommandLine::Range> CommandLine::ParseRange(std::string_view text) {
  if (caseinsensitive::Equal(text, "all")) {
    return Range{0, -1};
  }
  if (caseinsensitive::Equal(text, "all-but-first")) {
    return Range{1, -1};
  }
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<int> from = RecordNumber(text.substr(0, dash));
  if (!from) {
    return std::nullopt;
  }
  const std::string_view toText = text.substr(dash + 1);
  if (toText.empty()) {
    return Range{*from - 1, -1};
  }
  const std::optional<int> to = RecordNumber(toText);
  if (!to || *to < *from) {
    return std::nullopt;
  }
  return Range{*from - 1, *to - 1};
}

bool CommandLine::Fail(std::string reason) {
  mError = std::move(reason);
  return false;
}

bool CommandLine::Apply(std::string_view option, std::string_view value) {
  if (option == "map") {
    mMapFile = std::filesystem::path(value);
  } else if (option == "encoding") {
    if (TextEncoding encoding; !ParseTextEncoding(value, encoding)) {
      return Fail("unknown encoding \"" + std::string(value) + "\"");
    }
    mEncodingName = std::string(value);
  } else if (option == "range") {
    mRange = ParseRange(value);
    if (!mRange) {
      return Fail("invalid range \"" + std::string(value) +
                  "\" (use all, all-but-first, FROM-TO or FROM-, counted from 1)");
    }
  } else if (option == "group") {
    mGroup = std::string(value);
  } else if (option == "no-group") {
    mGroup = std::string();
  } else if (option == "store") {
    mStore = std::filesystem::path(value);
  } else if (option == "records") {
    mRecords = true;
  } else if (option == "quiet") {
    mQuiet = true;
  } else if (option == "help") {
    mHelp = true;
  } else if (option == "version") {
    mShowVersion = true;
  }
  return true;
}

bool CommandLine::Parse(const std::vector<std::string_view>& arguments) {
  std::vector<std::string_view> files;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
      files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    const OptionName* option = nullptr;
    std::optional<std::string_view> value;
    std::string shown(argument);
    if (argument.starts_with("--")) {
      std::string_view name = argument.substr(2);
      if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
        value = name.substr(equals + 1);
        name = name.substr(0, equals);
        shown = "--" + std::string(name);
      }
      option = FindLong(name);
    } else {
      option = FindShort(argument[1]);
      shown = argument.substr(0, 2);
      if (argument.size() > 2) {
        if (option == nullptr || !option->TakesValue) {
          return Fail("unknown option " + std::string(argument));
        }
        value = argument.substr(2);
      }
    }
    if (option == nullptr) {
      return Fail("unknown option " + shown);
    }
    if (option->TakesValue && !value) {
      if (i + 1 >= arguments.size()) {
        return Fail("option " + shown + " needs a value");
      }
      value = arguments[++i];
    } else if (!option->TakesValue && value) {
      return Fail("option " + shown + " takes no value");
    }
    if (!Apply(option->Long, value.value_or(std::string_view()))) {
      return false;
    }
  }
  if (mHelp || mShowVersion) {
    return true;
  }
  if (files.empty()) {
    return Fail("no import file given");
  }
  if (files.size() > 1) {
    return Fail("only one import file can be given, not " + std::to_string(files.size()));
  }
  mImportFile = std::filesystem::path(files.front());
  if (!mRecords && !mMapFile) {
    return Fail("--map is required (or --records to print the file's records)");
  }
  return true;
}
