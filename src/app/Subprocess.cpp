#include "app/Subprocess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (std::string& text : texts) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

std::vector<std::string> Environment(
    const std::vector<std::pair<std::string, std::string>>& extra) {
  std::vector<std::string> environment;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string text = *entry;
    bool replaced = false;
    for (const auto& [name, value] : extra) {
      replaced = replaced || text.rfind(name + "=", 0) == 0;
    }
    if (!replaced) {
      environment.push_back(text);
    }
  }
  for (const auto& [name, value] : extra) {
    environment.push_back(name + "=" + value);
  }
  return environment;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::optional<std::string> Subprocess::Capture(
    const std::vector<std::string>& arguments,
    const std::vector<std::pair<std::string, std::string>>& environment) {
  if (arguments.empty()) {
    return std::nullopt;
  }
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    return std::nullopt;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<std::string> argumentTexts = arguments;
  std::vector<std::string> environmentTexts = Environment(environment);
  std::vector<char*> argv = Pointers(argumentTexts);
  std::vector<char*> envp = Pointers(environmentTexts);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return std::nullopt;
  }
  std::string output;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipeFds[0]);
  if (WaitFor(pid) != 0) {
    return std::nullopt;
  }
  return output;
}

bool Subprocess::StartDetached(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<std::string> argumentTexts = arguments;
  std::vector<char*> argv = Pointers(argumentTexts);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    return false;
  }
  // Reap it when it ends so it leaves no zombie behind.
  std::thread([pid] { WaitFor(pid); }).detach();
  return true;
}
