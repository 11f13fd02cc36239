#pragma once

#include "import/FileType.h"

// The three kinds of files the application opens and saves, built once and shared.
class FileTypes final {
 public:
  FileTypes() = delete;

  // Builds the three descriptions; start-up calls it before the first window opens, and every
  // accessor builds them on first use too.
  static void Initialize();

  static const FileType& MapFile();
  static const FileType& CSVFile();
  static const FileType& TabDelimitedFile();
};
