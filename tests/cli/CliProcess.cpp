#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace clitest {

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    throw std::runtime_error(std::string(what) + " failed");
  }
}

bool Replaced(std::string_view entry) {
  for (std::string_view name : {"HOME=", "XDG_CONFIG_HOME=", "XDG_DATA_HOME=", "LC_ALL="}) {
    if (entry.starts_with(name)) {
      return true;
    }
  }
  return false;
}

}  // namespace

CliProcess::CliProcess(std::filesystem::path home)
    : mHome(std::move(home)), mConfig(mHome / ".config"), mData(mHome / ".local/share") {
  std::filesystem::create_directories(mConfig);
  std::filesystem::create_directories(mData);
}

CliProcess::~CliProcess() {
  if (mPid > 0) {
    kill(mPid, SIGKILL);
    Wait();
  }
}

void CliProcess::Start(const std::vector<std::string>& arguments, bool stderrOnTerminal) {
  mResult = CliResult();
  int outPipe[2];
  Check(pipe2(outPipe, O_CLOEXEC) == 0, "pipe");
  int errRead = -1;
  int errWrite = -1;
  if (stderrOnTerminal) {
    errRead = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    Check(errRead >= 0 && grantpt(errRead) == 0 && unlockpt(errRead) == 0, "pseudo-terminal");
    errWrite = open(ptsname(errRead), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Check(errWrite >= 0, "open terminal");
    struct winsize size {};
    size.ws_col = 120;
    size.ws_row = 40;
    ioctl(errWrite, TIOCSWINSZ, &size);
  } else {
    int errPipe[2];
    Check(pipe2(errPipe, O_CLOEXEC) == 0, "pipe");
    errRead = errPipe[0];
    errWrite = errPipe[1];
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errWrite, 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> environment = {"HOME=" + mHome.string(),
                                          "XDG_CONFIG_HOME=" + mConfig.string(),
                                          "XDG_DATA_HOME=" + mData.string(), "LC_ALL=C.UTF-8"};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!Replaced(*entry)) {
      environment.emplace_back(*entry);
    }
  }
  const std::string program = QB_BINARY_DIR "/quillbrook-import";
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& entry : environment) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);

  const int spawned =
      posix_spawn(&mPid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(outPipe[1]);
  close(errWrite);
  mOut = outPipe[0];
  mErr = errRead;
  if (spawned != 0) {
    mPid = -1;
    close(mOut);
    close(mErr);
    mOut = mErr = -1;
    throw std::runtime_error("cannot start " + program);
  }
}

bool CliProcess::Pump(int timeoutMilliseconds) {
  pollfd fds[2] = {{mOut, POLLIN, 0}, {mErr, POLLIN, 0}};
  if (mOut < 0 && mErr < 0) {
    return false;
  }
  if (poll(fds, 2, timeoutMilliseconds) < 0) {
    return errno == EINTR;
  }
  char buffer[65536];
  int* descriptors[2] = {&mOut, &mErr};
  std::string* sinks[2] = {&mResult.Out, &mResult.Err};
  for (int i = 0; i < 2; ++i) {
    if (*descriptors[i] < 0 || fds[i].revents == 0) {
      continue;
    }
    const ssize_t got = read(*descriptors[i], buffer, sizeof buffer);
    if (got > 0) {
      sinks[i]->append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      // A pseudo-terminal reports EIO, not end of file, once the child has gone.
      close(*descriptors[i]);
      *descriptors[i] = -1;
    }
  }
  return mOut >= 0 || mErr >= 0;
}

bool CliProcess::WaitForErr(std::string_view text) {
  while (mResult.Err.find(text) == std::string::npos) {
    if (!Pump(1000)) {
      return false;
    }
  }
  return true;
}

void CliProcess::Signal(int signal) {
  if (mPid > 0) {
    kill(mPid, signal);
  }
}

CliResult CliProcess::Wait() {
  while (Pump(1000)) {
  }
  if (mPid > 0) {
    int status = 0;
    while (waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
    }
    mResult.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    mPid = -1;
  }
  return mResult;
}

CliResult CliProcess::Run(const std::vector<std::string>& arguments, bool stderrOnTerminal) {
  Start(arguments, stderrOnTerminal);
  return Wait();
}

}  // namespace clitest
