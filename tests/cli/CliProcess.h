#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace clitest {

struct CliResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

// Runs quillbrook-import as a child process with HOME and the XDG folders inside `home`, so no
// run touches the real user's preferences or address book. Standard output and standard error
// are read through pipes, or standard error through a pseudo-terminal when asked.
class CliProcess final {
 public:
  explicit CliProcess(std::filesystem::path home);
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Runs to the end.
  CliResult Run(const std::vector<std::string>& arguments, bool stderrOnTerminal = false);

  void Start(const std::vector<std::string>& arguments, bool stderrOnTerminal = false);
  // Reads output until standard error holds `text`; false when the program ended first.
  bool WaitForErr(std::string_view text);
  void Signal(int signal);
  CliResult Wait();

  const std::filesystem::path& ConfigFolder() const { return mConfig; }
  const std::filesystem::path& DataFolder() const { return mData; }

 private:
  // One round of reading whatever is ready; false once both streams are closed.
  bool Pump(int timeoutMilliseconds);

  std::filesystem::path mHome;
  std::filesystem::path mConfig;
  std::filesystem::path mData;
  pid_t mPid = -1;
  int mOut = -1;
  int mErr = -1;
  CliResult mResult;
};

}  // namespace clitest
