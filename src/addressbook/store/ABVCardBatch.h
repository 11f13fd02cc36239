#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Writes a batch of new files into a folder, all or nothing, and never replaces or edits a file
// that is there: each file goes to a temporary name ending in ".tmp", one sync of the file system
// makes them all durable, then each moves to its name only if that name is free, and the folder
// is synced. A batch that does not commit removes everything it wrote.
class ABVCardBatch final {
 public:
  explicit ABVCardBatch(std::filesystem::path folder);
  ~ABVCardBatch();
  ABVCardBatch(const ABVCardBatch&) = delete;
  ABVCardBatch& operator=(const ABVCardBatch&) = delete;

  // Creates the folder when it is missing and opens it.
  bool Open();
  // Writes the content, with one write, to the temporary file of a new file of that name.
  bool Add(std::string_view name, std::string_view content);
  // Syncs, moves every file to its name and syncs the folder; on failure undoes the batch.
  bool Commit();
  // Why the last step failed, naming the folder.
  const std::string& LastError() const { return mLastError; }

  // Writes every byte to the descriptor, retrying short writes; false with errno set.
  static bool WriteAll(int fd, std::string_view bytes);
  // Moves a file within a folder by a hard link and an unlink, which also refuses a name that
  // exists: for file systems without RENAME_NOREPLACE. False with errno set.
  static bool MoveByLink(int folderFd, const std::string& from, const std::string& to);

 private:
  struct File {
    std::string Temporary;
    std::string Final;
    bool Moved = false;
  };

  bool Fail(std::string_view what, int error);
  bool MoveNoReplace(const File& file);
  void Undo();

  std::filesystem::path mFolder;
  int mFolderFd = -1;
  std::vector<File> mFiles;
  bool mCommitted = false;
  std::string mLastError;
};
