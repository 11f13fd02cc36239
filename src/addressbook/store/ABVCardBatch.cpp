#include "addressbook/store/ABVCardBatch.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {

constexpr std::string_view kTemporarySuffix = ".tmp";

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

ABVCardBatch::ABVCardBatch(std::filesystem::path folder) : mFolder(std::move(folder)) {}

ABVCardBatch::~ABVCardBatch() {
  if (!mCommitted) {
    Undo();
  }
  if (mFolderFd >= 0) {
    close(mFolderFd);
  }
}

bool ABVCardBatch::Fail(std::string_view what, int error) {
  mLastError = std::string(what) + " in the folder \"" + mFolder.string() + "\"";
  if (error != 0) {
    mLastError += ": " + std::system_category().message(error);
  }
  return false;
}

bool ABVCardBatch::Open() {
  std::error_code error;
  std::filesystem::create_directories(mFolder, error);
  if (error) {
    mLastError = "Could not create the folder \"" + mFolder.string() + "\": " + error.message();
    return false;
  }
  mFolderFd = open(mFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (mFolderFd < 0) {
    return Fail("Could not open the folder for the cards", errno);
  }
  return true;
}

bool ABVCardBatch::WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool ABVCardBatch::Add(std::string_view name, std::string_view content) {
  if (mFolderFd < 0 || !IsPlainName(name)) {
    return Fail("Could not write a card with the name \"" + std::string(name) + "\"", EINVAL);
  }
  File file{std::string(name) + std::string(kTemporarySuffix), std::string(name), false};
  const int fd = openat(mFolderFd, file.Temporary.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    return Fail("Could not create a card", errno);
  }
  mFiles.push_back(std::move(file));
  if (!WriteAll(fd, content)) {
    const int error = errno;
    close(fd);
    return Fail("Could not write a card", error);
  }
  if (close(fd) != 0) {
    return Fail("Could not write a card", errno);
  }
  return true;
}

bool ABVCardBatch::MoveNoReplace(const File& file) {
  if (renameat2(mFolderFd, file.Temporary.c_str(), mFolderFd, file.Final.c_str(),
                RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    return false;
  }
  return MoveByLink(mFolderFd, file.Temporary, file.Final);
}

bool ABVCardBatch::MoveByLink(int folderFd, const std::string& from, const std::string& to) {
  if (linkat(folderFd, from.c_str(), folderFd, to.c_str(), 0) != 0) {
    return false;
  }
  if (unlinkat(folderFd, from.c_str(), 0) != 0) {
    const int error = errno;
    unlinkat(folderFd, to.c_str(), 0);
    errno = error;
    return false;
  }
  return true;
}

bool ABVCardBatch::Commit() {
  if (mFolderFd < 0) {
    return Fail("Could not save the cards", EBADF);
  }
  if (syncfs(mFolderFd) != 0) {
    const int error = errno;
    Undo();
    return Fail("Could not flush the cards to disk", error);
  }
  for (File& file : mFiles) {
    if (!MoveNoReplace(file)) {
      const int error = errno;
      Undo();
      if (error == EEXIST) {
        return Fail("A card named \"" + file.Final + "\" already exists", 0);
      }
      return Fail("Could not name the card \"" + file.Final + "\"", error);
    }
    file.Moved = true;
  }
  if (fsync(mFolderFd) != 0) {
    const int error = errno;
    Undo();
    return Fail("Could not flush the folder to disk", error);
  }
  mCommitted = true;
  mFiles.clear();
  return true;
}

void ABVCardBatch::Undo() {
  if (mFolderFd < 0) {
    return;
  }
  for (const File& file : mFiles) {
    unlinkat(mFolderFd, (file.Moved ? file.Final : file.Temporary).c_str(), 0);
  }
  if (!mFiles.empty()) {
    fsync(mFolderFd);
  }
  mFiles.clear();
}
