#include "addressbook/SystemInfo.h"

#include <atomic>
#include <ctime>

namespace {

// The level this system offers: every catalogue field exists.
constexpr std::uint32_t kNewestSystemVersionCode = 0x1040;

std::atomic<std::int64_t> gVersionOverride{-1};
std::atomic<std::int64_t> gOffsetOverride{INT64_MIN};

}  // namespace

std::uint32_t SystemInfo::SystemVersionCode() {
  const std::int64_t code = gVersionOverride.load();
  return code < 0 ? kNewestSystemVersionCode : static_cast<std::uint32_t>(code);
}

std::int32_t SystemInfo::GmtOffsetSeconds() {
  const std::int64_t offset = gOffsetOverride.load();
  if (offset != INT64_MIN) {
    return static_cast<std::int32_t>(offset);
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  tzset();
  if (localtime_r(&now, &local) == nullptr) {
    return 0;
  }
  return static_cast<std::int32_t>(local.tm_gmtoff);
}

void SystemInfo::OverrideSystemVersionCode(std::optional<std::uint32_t> code) {
  gVersionOverride.store(code ? static_cast<std::int64_t>(*code) : -1);
}

void SystemInfo::OverrideGmtOffsetSeconds(std::optional<std::int32_t> seconds) {
  gOffsetOverride.store(seconds ? *seconds : INT64_MIN);
}
