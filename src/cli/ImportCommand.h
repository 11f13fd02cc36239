#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

class ABImportFile;

// One run of quillbrook-import after its arguments were read: loads the import file and either
// prints its records or imports them through the map into the store, and answers the exit code.
class ImportCommand final {
 public:
  static constexpr int kExitSuccess = 0;
  static constexpr int kExitFailure = 1;
  static constexpr int kExitUsage = 2;
  static constexpr int kExitCancelled = 130;

  explicit ImportCommand(const CommandLine& commandLine);
  ImportCommand(const ImportCommand&) = delete;
  ImportCommand& operator=(const ImportCommand&) = delete;

  int Run();

 private:
  // Loads the file behind a progress bar; an exit code when the run ends here.
  int Load(ABImportFile& importFile);
  int PrintRecords(const ABImportFile& importFile);
  int Import(ABImportFile& importFile);
  // Creates the store folder's missing levels, remembering them for RemoveCreatedFolders.
  bool CreateFolder(const std::filesystem::path& folder, std::string& error);
  // Removes the levels CreateFolder made, as far as they are still empty.
  void RemoveCreatedFolders();
  // Whether progress is drawn: on a terminal, unless --quiet.
  bool ShowProgress() const;

  const CommandLine& mCommandLine;
  std::vector<std::filesystem::path> mCreatedFolders;
};
