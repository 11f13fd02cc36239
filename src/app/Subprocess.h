#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Starts programs directly, never through a shell, so no text reaches a command line unquoted.
class Subprocess final {
 public:
  Subprocess() = delete;

  // Runs the program (found on PATH) with the arguments and extra environment variables, waits
  // for it and returns what it wrote on standard output; none when it could not be started or
  // did not exit with 0.
  static std::optional<std::string> Capture(
      const std::vector<std::string>& arguments,
      const std::vector<std::pair<std::string, std::string>>& environment = {});

  // Starts the program and lets it run on its own; false when it could not be started.
  static bool StartDetached(const std::vector<std::string>& arguments);
};
