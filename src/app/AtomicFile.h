#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Replaces a file's content all at once: the bytes go to a temporary file in the same folder,
// are flushed to disk, and the temporary file is renamed over the target. A failure leaves the
// old file as it was and no temporary file behind.
class AtomicFile final {
 public:
  AtomicFile() = delete;

  // False on failure, with the reason in `error` when given.
  static bool Write(const std::filesystem::path& target, std::string_view content,
                    std::string* error = nullptr);
};
