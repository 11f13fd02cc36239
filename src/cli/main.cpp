#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "app/ABApp.h"
#include "cli/CommandLine.h"
#include "cli/ImportCommand.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  CommandLine commandLine;
  if (!commandLine.Parse(arguments)) {
    std::fprintf(stderr, "quillbrook-import: %s\n\n%s", commandLine.Error().c_str(),
                 CommandLine::Usage().c_str());
    return ImportCommand::kExitUsage;
  }
  if (commandLine.Help()) {
    std::fputs(CommandLine::Usage().c_str(), stdout);
    return ImportCommand::kExitSuccess;
  }
  if (commandLine.ShowVersion()) {
    std::printf("quillbrook-import %s\n", App().Version().Text().c_str());
    return ImportCommand::kExitSuccess;
  }
  try {
    // Read only: the command never saves the preferences.
    App().Open();
    ImportCommand command(commandLine);
    return command.Run();
  } catch (const std::exception& error) {
    // Out of memory on a huge file, or a system the address book refuses.
    std::fprintf(stderr, "An error occurred.\n%s\n", error.what());
    return ImportCommand::kExitFailure;
  }
}
