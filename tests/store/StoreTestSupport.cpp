#include "StoreTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "addressbook/SystemInfo.h"
#include "addressbook/store/ABCivilDate.h"

extern char** environ;

namespace storetest {

ABDate Day(int year, unsigned month, unsigned day, int gmtOffsetSeconds) {
  const std::int64_t days =
      ABCivilDate::DaysSinceEpoch(year, month, day) - kABReferenceDaysSinceEpoch;
  return ABDate{static_cast<double>(days * 86400 + 3600 - gmtOffsetSeconds)};
}

ABMultiValue Texts(std::initializer_list<std::pair<std::string, std::string>> entries) {
  ABMultiValue list;
  for (const auto& [value, label] : entries) {
    list.Add(value, label);
  }
  return list;
}

ABDictionary Address(std::initializer_list<std::pair<std::string, std::string>> parts) {
  ABDictionary address;
  for (const auto& [key, value] : parts) {
    address.Add(key, value);
  }
  return address;
}

GmtOffsetOverride::GmtOffsetOverride(int seconds) {
  SystemInfo::OverrideGmtOffsetSeconds(seconds);
}

GmtOffsetOverride::~GmtOffsetOverride() {
  SystemInfo::OverrideGmtOffsetSeconds(std::nullopt);
}

std::vector<std::filesystem::path> CardFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> cards;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".vcf") {
      cards.push_back(entry.path());
    }
  }
  std::sort(cards.begin(), cards.end());
  return cards;
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Normalised(std::string_view card) {
  std::string result;
  std::size_t start = 0;
  while (start < card.size()) {
    std::size_t end = card.find('\n', start);
    end = end == std::string_view::npos ? card.size() : end + 1;
    std::string_view line = card.substr(start, end - start);
    if (line.starts_with("UID:")) {
      result += "UID:(uid)\r\n";
    } else if (line.starts_with("REV:")) {
      result += "REV:(rev)\r\n";
    } else {
      result += line;
    }
    start = end;
  }
  return result;
}

namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      if (start < text.size()) {
        lines.emplace_back(text.substr(start));
      }
      break;
    }
    lines.emplace_back(text.substr(start, end - start + 1));
    start = end + 1;
  }
  return lines;
}

}  // namespace

void ExpectSameLines(std::string_view actual, std::string_view expected, std::string_view what) {
  const std::vector<std::string> actualLines = Lines(actual);
  const std::vector<std::string> expectedLines = Lines(expected);
  const std::size_t count = std::max(actualLines.size(), expectedLines.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::string got = i < actualLines.size() ? actualLines[i] : "(end of text)";
    const std::string want = i < expectedLines.size() ? expectedLines[i] : "(end of text)";
    if (got != want) {
      ADD_FAILURE() << what << ": line " << i + 1
                    << " differs\n  actual:   " << testing::PrintToString(got)
                    << "\n  expected: " << testing::PrintToString(want);
      return;
    }
  }
}

ProcessResult RunProcess(const std::vector<std::string>& arguments) {
  ProcessResult result;
  int output[2];
  int errors[2];
  if (pipe2(output, O_CLOEXEC) != 0) {
    return result;
  }
  if (pipe2(errors, O_CLOEXEC) != 0) {
    close(output[0]);
    close(output[1]);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  close(errors[1]);

  pollfd fds[2] = {{output[0], POLLIN, 0}, {errors[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.Output, &result.Errors};
  int open = 2;
  while (spawned == 0 && open > 0) {
    if (poll(fds, 2, -1) < 0) {
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  close(output[0]);
  close(errors[0]);
  if (spawned != 0) {
    result.Errors = "could not start " + arguments.front();
    return result;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    result.ExitCode = WEXITSTATUS(status);
  }
  return result;
}

}  // namespace storetest
