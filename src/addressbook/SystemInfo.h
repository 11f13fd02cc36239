#pragma once

#include <cstdint>
#include <optional>

// What the address book asks of the system: the system level code and the machine's offset from
// GMT. Tests set either value; by default the level is the newest and the offset comes from the
// C library's local time.
class SystemInfo final {
 public:
  SystemInfo() = delete;

  // The system version as binary-coded decimal (0x1040 for 10.4); the newest level by default.
  static std::uint32_t SystemVersionCode();
  // The offset of local time from GMT in seconds, east positive, as of now.
  static std::int32_t GmtOffsetSeconds();

  // Overrides for tests; none restores the system's own answer.
  static void OverrideSystemVersionCode(std::optional<std::uint32_t> code);
  static void OverrideGmtOffsetSeconds(std::optional<std::int32_t> seconds);
};
