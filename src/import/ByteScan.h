#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Scanning text for the few bytes that matter to a parser, sixteen bytes at a time where the
// machine allows it.
namespace bytescan {

// The first byte at or after p that equals one of Bytes, or end.
template <char... Bytes>
inline const char* FindAny(const char* p, const char* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = (_mm_cmpeq_epi8(chunk, _mm_set1_epi8(Bytes)) | ...);
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) {
      return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
    p += 16;
  }
#endif
  while (p < end && !((*p == Bytes) || ...)) {
    ++p;
  }
  return p;
}

// The first byte at or after p that is not ASCII, or end.
inline const unsigned char* SkipAscii(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    if (mask != 0) {
      return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
    p += 16;
  }
#else
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0) {
      break;
    }
    p += 8;
  }
#endif
  while (p < end && *p < 0x80) {
    ++p;
  }
  return p;
}

}  // namespace bytescan
