#pragma once

#include <string>

// One field of a CSV line: its column name and its value with quoting removed.
class CSVField final {
 public:
  CSVField(std::string name, std::string value);

  const std::string& Name() const { return mName; }
  const std::string& Value() const { return mValue; }

 private:
  std::string mName;
  std::string mValue;
};
