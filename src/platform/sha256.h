// SHA-256 (FIPS 180-4), fed in pieces of any size: the archive tool records
// one per archive entry, the install worker checks them while it copies, and
// the font tool fingerprints glyph bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>

static const size_t SYS_SHA256_SIZE = 32;

struct SYS_Sha256 {
  uint32_t state[8];
  uint64_t length;  // bytes fed so far
  uint8_t block[64];
};

void SYS_Sha256Init(SYS_Sha256 *s);
void SYS_Sha256Update(SYS_Sha256 *s, const void *data, size_t size);
// Pads, writes the digest; s must be initialised again before reuse.
void SYS_Sha256Final(SYS_Sha256 *s, uint8_t digest[SYS_SHA256_SIZE]);
// Whether the CPU's SHA instructions are used, where it has them (chosen at
// start); tests turn them off to check the portable code. Returns whether
// they are in use now.
bool SYS_Sha256UseCpu(bool allow);
// The digest as 64 lower-case hex digits and a terminating zero.
void SYS_Sha256Hex(const uint8_t digest[SYS_SHA256_SIZE], char out[2 * SYS_SHA256_SIZE + 1]);
