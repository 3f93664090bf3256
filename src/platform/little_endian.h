// Numbers stored least significant byte first, as the program's file
// formats (archives, images) hold them, read from and written to byte
// buffers whatever the machine's own byte order and alignment.
#pragma once

#include <cstdint>

inline uint16_t SYS_LoadLE16(const uint8_t *p) {
  return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t SYS_LoadLE32(const uint8_t *p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint64_t SYS_LoadLE64(const uint8_t *p) {
  return uint64_t(SYS_LoadLE32(p)) | uint64_t(SYS_LoadLE32(p + 4)) << 32;
}
inline void SYS_StoreLE32(uint8_t *p, uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = uint8_t(v >> (8 * i));
}
inline void SYS_StoreLE64(uint8_t *p, uint64_t v) {
  SYS_StoreLE32(p, uint32_t(v));
  SYS_StoreLE32(p + 4, uint32_t(v >> 32));
}
