#include <cstdio>
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
  // Read only: the command never saves the preferences.
  App().Open();
  ImportCommand command(commandLine);
  return command.Run();
}
