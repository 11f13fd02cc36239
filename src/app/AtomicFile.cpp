#include "app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool Fail(std::string* error, const std::string& what) {
  if (error != nullptr) {
    *error = what + ": " + std::strerror(errno);
  }
  return false;
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool AtomicFile::Write(const std::filesystem::path& target, std::string_view content,
                       std::string* error) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX.tmp")).string();
  const int fd = ::mkstemps(temp.data(), 4);
  if (fd < 0) {
    return Fail(error, "cannot create a file in " + folder.string());
  }
  const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    errno = written ? errno : savedErrno;
    ::unlink(temp.c_str());
    return Fail(error, "cannot write " + target.string());
  }
  // Keep the permissions a new file would get, not mkstemp's owner-only ones.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(temp.c_str(), 0666 & ~mask);
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int renameErrno = errno;
    ::unlink(temp.c_str());
    errno = renameErrno;
    return Fail(error, "cannot replace " + target.string());
  }
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}
