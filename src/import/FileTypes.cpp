#include "import/FileTypes.h"

namespace {

struct SharedFileTypes {
  FileType mapFile{"Map file", ".map", "Map ", "????"};
  FileType csvFile{"CSV file", ".csv", "TEXT", "????"};
  FileType tabDelimitedFile{"Tab-delimited file", ".tab;.txt", "TEXT", "????"};
};

const SharedFileTypes& Shared() {
  static const SharedFileTypes types;
  return types;
}

}  // namespace

void FileTypes::Initialize() {
  Shared();
}

const FileType& FileTypes::MapFile() {
  return Shared().mapFile;
}

const FileType& FileTypes::CSVFile() {
  return Shared().csvFile;
}

const FileType& FileTypes::TabDelimitedFile() {
  return Shared().tabDelimitedFile;
}
