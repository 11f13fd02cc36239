#pragma once

#include <optional>
#include <string_view>

// The files under resources/, compiled into the programs.
class Resources final {
 public:
  Resources() = delete;

  // The content of a resource by its path below resources/ ("strings/en.strings"), or none.
  static std::optional<std::string_view> Find(std::string_view path);
};
