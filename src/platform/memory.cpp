// Memory and byte operations. The heap is the C runtime's; the
// reserved address ranges live in the backends.
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

void *SYS_Alloc(size_t bytes, const char * /*tag*/) {
  return std::malloc(bytes ? bytes : 1);
}

void SYS_Free(void *p) {
  std::free(p);
}

void SYS_FreeSafe(void *p) {
  if (p) std::free(p);
}

void *SYS_GlobalAlloc(size_t bytes) {
  if (bytes > SIZE_MAX - 16) return nullptr;
  return std::calloc(1, bytes + 16);
}

void SYS_GlobalFree(void *p) {
  std::free(p);
}

void SYS_Fill(void *p, uint32_t unit, size_t count, uint32_t value) {
  if (!p) return;
  if (unit == 4) {
    uint32_t *w = static_cast<uint32_t *>(p);
    for (size_t i = 0; i < count; i++) std::memcpy(w + i, &value, 4);
  } else if (unit == 2) {
    uint16_t half = static_cast<uint16_t>(value);
    uint16_t *w = static_cast<uint16_t *>(p);
    for (size_t i = 0; i < count; i++) std::memcpy(w + i, &half, 2);
  } else {
    std::memset(p, static_cast<int>(value & 0xFF), count);
  }
}

void SYS_Zero(void *p, size_t bytes) {
  if (p) std::memset(p, 0, bytes);
}

// Forward copy: 32-bit words first, then one byte when the count is odd, then
// two bytes when bit 1 of the count is set. Only overlapping ranges can tell
// the order apart, so they alone take the slow exact path.
void SYS_Copy(void *dst, const void *src, size_t bytes) {
  if (!dst || !src || bytes == 0) return;
  uint8_t *d = static_cast<uint8_t *>(dst);
  const uint8_t *s = static_cast<const uint8_t *>(src);
  if (d + bytes <= s || s + bytes <= d) {
    std::memcpy(d, s, bytes);
    return;
  }
  size_t words = bytes / 4, i = 0;
  for (; i < words * 4; i += 4) {
    uint8_t w[4];
    std::memcpy(w, s + i, 4);
    std::memcpy(d + i, w, 4);
  }
  if (bytes & 1) {
    d[i] = s[i];
    i++;
  }
  if (bytes & 2) {
    uint8_t w[2] = {s[i], s[i + 1]};
    d[i] = w[0];
    d[i + 1] = w[1];
  }
}
