#include "addressbook/store/ABUuidGenerator.h"

#include <sys/random.h>

#include <cerrno>

bool ABUuidGenerator::Refill() {
  std::size_t filled = 0;
  while (filled < mPool.size()) {
    const ssize_t got = getrandom(mPool.data() + filled, mPool.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    filled += static_cast<std::size_t>(got);
  }
  mUsed = 0;
  return true;
}

std::string ABUuidGenerator::Next() {
  constexpr std::size_t kBytes = 16;
  if (mUsed + kBytes > mPool.size() && !Refill()) {
    return {};
  }
  std::uint8_t* bytes = mPool.data() + mUsed;
  mUsed += kBytes;
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);

  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(36);
  for (std::size_t i = 0; i < kBytes; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) {
      text.push_back('-');
    }
    text.push_back(kHex[bytes[i] >> 4]);
    text.push_back(kHex[bytes[i] & 0x0F]);
  }
  return text;
}
