#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Random (version 4) UUIDs in lower-case text, from the kernel's random source. Randomness is
// fetched in blocks, so a batch of many cards costs few system calls.
class ABUuidGenerator final {
 public:
  ABUuidGenerator() = default;
  ABUuidGenerator(const ABUuidGenerator&) = delete;
  ABUuidGenerator& operator=(const ABUuidGenerator&) = delete;

  // The next UUID, such as "0f8e2f6a-3b1c-4d5e-9f00-1a2b3c4d5e6f"; empty when the system has no
  // randomness to give.
  std::string Next();

 private:
  bool Refill();

  std::array<std::uint8_t, 4096> mPool{};
  std::size_t mUsed = 4096;
};
