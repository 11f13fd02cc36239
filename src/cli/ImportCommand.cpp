#include "cli/ImportCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "addressbook/store/ABStore.h"
#include "app/ABApp.h"
#include "cli/CancelSignals.h"
#include "cli/JsonRecordWriter.h"
#include "cli/ProgressBar.h"
#include "import/ABImportFile.h"
#include "import/TextEncoding.h"
#include "mapping/ABAddressBook.h"
#include "mapping/ABMap.h"

namespace {

void PrintError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

std::string Text(const char* key, const std::vector<std::string>& arguments = {}) {
  return App().Language()->Text(key, arguments);
}

constexpr char kNothingSaved[] = "Cancelled: nothing was saved.";

// The number of records the import takes from the map's range, clamped as the import does.
long long RecordsInRange(const ABMap& map, std::size_t recordCount) {
  const long long first = std::max(map.RangeStart, 0);
  long long last = map.RangeEnd;
  if (last == -1 || last > static_cast<long long>(recordCount) - 1) {
    last = static_cast<long long>(recordCount) - 1;
  }
  return std::max(0LL, last - first + 1);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

ImportCommand::ImportCommand(const CommandLine& commandLine) : mCommandLine(commandLine) {}

bool ImportCommand::ShowProgress() const {
  return !mCommandLine.Quiet() && isatty(STDERR_FILENO) == 1;
}

int ImportCommand::Run() {
  const CancelSignals cancelSignals;
  TextEncoding encoding = TextEncoding::System;
  ParseTextEncoding(mCommandLine.EncodingName(), encoding);
  ABImportFile importFile(mCommandLine.ImportFile(), encoding);
  if (mCommandLine.Records()) {
    const int loaded = Load(importFile);
    return loaded != kExitSuccess ? loaded : PrintRecords(importFile);
  }
  return Import(importFile);
}

int ImportCommand::Load(ABImportFile& importFile) {
  ProgressBar progress(
      ShowProgress() ? stderr : nullptr, Text("LoadLoadingOperationMessage", {importFile.Name()}),
      Text("LoadCountingRecordsStatus"), [](std::int64_t done, std::int64_t total) {
        return Text("LoadLoadedRecordStatus", {std::to_string(done), std::to_string(total)});
      });
  const bool loaded = importFile.Load(&progress);
  progress.Finish();
  if (progress.Stopped()) {
    PrintError(kNothingSaved);
    return kExitCancelled;
  }
  if (!loaded) {
    PrintError("The import file " + Quoted(importFile.Name()) + " could not be loaded.");
    return kExitUsage;
  }
  if (importFile.RecordCount() == 0) {
    PrintError("The import file " + Quoted(importFile.Name()) + " doesn't have any records.");
    return kExitUsage;
  }
  return kExitSuccess;
}

int ImportCommand::PrintRecords(const ABImportFile& importFile) {
  JsonRecordWriter writer(stdout);
  for (const ABRecord& record : importFile.Records()) {
    writer.Write(record);
  }
  if (!writer.Flush()) {
    PrintError("An error occurred.");
    PrintError("The records could not be written to standard output.");
    return kExitFailure;
  }
  return kExitSuccess;
}

bool ImportCommand::CreateFolder(const std::filesystem::path& folder, std::string& error) {
  std::vector<std::filesystem::path> missing;
  std::error_code code;
  for (std::filesystem::path level = folder; !level.empty() && level != level.root_path();
       level = level.parent_path()) {
    if (std::filesystem::exists(level, code)) {
      break;
    }
    missing.push_back(level);
  }
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    if (!std::filesystem::create_directory(*level, code) && code) {
      error = "The folder " + folder.string() + " could not be created: " + code.message() + ".";
      RemoveCreatedFolders();
      return false;
    }
    mCreatedFolders.push_back(*level);
  }
  if (!std::filesystem::is_directory(folder, code)) {
    error = "The store " + folder.string() + " is not a folder.";
    return false;
  }
  return true;
}

void ImportCommand::RemoveCreatedFolders() {
  std::error_code ignored;
  for (auto level = mCreatedFolders.rbegin(); level != mCreatedFolders.rend(); ++level) {
    // remove() deletes a folder only when it is empty.
    if (!std::filesystem::remove(*level, ignored)) {
      break;
    }
  }
  mCreatedFolders.clear();
}

int ImportCommand::Import(ABImportFile& importFile) {
  // The map first: a wrong map is reported before a long load.
  ABMap map(*mCommandLine.MapFile());
  if (!map.Load() || !map.AddressBook) {
    PrintError("An error occurred while loading the map.");
    return kExitUsage;
  }
  if (const auto& range = mCommandLine.RangeOverride()) {
    map.RangeStart = range->Start;
    map.RangeEnd = range->End;
  }
  if (const auto& group = mCommandLine.GroupOverride()) {
    map.Group = *group;
  }
  if (const int loaded = Load(importFile); loaded != kExitSuccess) {
    return loaded;
  }

  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::absolute(
      mCommandLine.StoreFolder().value_or(ABStore::DefaultFolder()), ignored);
  std::string error;
  if (!CreateFolder(folder, error)) {
    PrintError("An error occurred.");
    PrintError(error);
    return kExitFailure;
  }
  ABStore::SetSharedFolder(folder);

  const long long count = RecordsInRange(map, importFile.RecordCount());
  ProgressBar progress(
      ShowProgress() ? stderr : nullptr,
      Text("ImportImportingOperationMessage", {importFile.Name()}),
      Text("ImportPreparingImportStatus"),
      [](std::int64_t done, std::int64_t total) {
        // As in the application: a step shows the records imported before the current one.
        return Text("ImportImportingRecordStatus",
                    {std::to_string(done - 1), std::to_string(total)});
      },
      Text("ImportSavingAddressBookStatus"));
  bool imported = false;
  try {
    imported = map.AddressBook->Import(importFile.Records(), map, &progress);
  } catch (...) {
    progress.Finish();
    RemoveCreatedFolders();
    throw;
  }
  progress.Finish();
  if (progress.Stopped()) {
    RemoveCreatedFolders();
    PrintError(kNothingSaved);
    return kExitCancelled;
  }
  if (!imported) {
    RemoveCreatedFolders();
    PrintError("An error occurred.");
    const std::string reason = ABStore::Shared()->LastError();
    PrintError(reason.empty() ? "The contacts could not be saved in " + folder.string() + "."
                              : reason);
    return kExitFailure;
  }
  std::string line = "Imported " + std::to_string(count) +
                     (count == 1 ? " contact into " : " contacts into ") + folder.string();
  if (!map.Group.empty()) {
    line += " (group " + Quoted(map.Group) + ")";
  }
  std::printf("%s.\n", line.c_str());
  return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}
