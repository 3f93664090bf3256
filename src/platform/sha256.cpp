#include "platform/sha256.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define SHA_WITH_CPU 1
#endif

namespace {

const uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

inline uint32_t Rotr(uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

// The message schedule is kept as a ring of 16 words, and eight rounds are
// spelled out so that the working variables rotate by renaming instead of
// moving: about a fifth faster than the plain loop with g++ -O2.
#define SHA_ROUND(a, b, c, d, e, f, g, h, i)                                              \
  do {                                                                                    \
    const uint32_t t1 =                                                                   \
        h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + (g ^ (e & (f ^ g))) + K[i] + W(i); \
    d += t1;                                                                              \
    h = t1 + (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) | (c & (a | b)));        \
  } while (0)

void Block(uint32_t h[8], const uint8_t *p) {
  uint32_t w[16];
  for (int i = 0; i < 16; ++i)
    w[i] = uint32_t(p[4 * i]) << 24 | uint32_t(p[4 * i + 1]) << 16 | uint32_t(p[4 * i + 2]) << 8 |
           p[4 * i + 3];
  uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
  for (int r = 0; r < 64; r += 8) {
    // Words 16 and up are made in place as the rounds reach them.
    auto W = [&](int i) -> uint32_t {
      if (i < 16) return w[i];
      const uint32_t x = w[(i - 15) & 15], y = w[(i - 2) & 15];
      const uint32_t s0 = Rotr(x, 7) ^ Rotr(x, 18) ^ (x >> 3);
      const uint32_t s1 = Rotr(y, 17) ^ Rotr(y, 19) ^ (y >> 10);
      return w[i & 15] += s0 + w[(i - 7) & 15] + s1;
    };
    SHA_ROUND(a, b, c, d, e, f, g, k, r);
    SHA_ROUND(k, a, b, c, d, e, f, g, r + 1);
    SHA_ROUND(g, k, a, b, c, d, e, f, r + 2);
    SHA_ROUND(f, g, k, a, b, c, d, e, r + 3);
    SHA_ROUND(e, f, g, k, a, b, c, d, r + 4);
    SHA_ROUND(d, e, f, g, k, a, b, c, r + 5);
    SHA_ROUND(c, d, e, f, g, k, a, b, r + 6);
    SHA_ROUND(b, c, d, e, f, g, k, a, r + 7);
  }
  h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += k;
}

#undef SHA_ROUND

void PortableBlocks(uint32_t h[8], const uint8_t *p, size_t blocks) {
  for (; blocks; --blocks, p += 64) Block(h, p);
}

#if SHA_WITH_CPU
// The x86 SHA instructions. The state is held as two vectors, ABEF and CDGH
// (A in the top lane), as SHA256RNDS2 takes it; each of its calls does two
// rounds with W+K from the low two lanes of its third operand. The message
// words go four to a vector, the first in the low lane; SHA256MSG1 and
// SHA256MSG2 make the next four. The realigned stack is for 32-bit Windows,
// whose threads may start with a stack aligned to 4 bytes only.
#define SHA_CPU __attribute__((target("sha,sse4.1")))
#define SHA_CPU_INLINE __attribute__((target("sha,sse4.1"), always_inline)) inline

// Four rounds from words w[i..i+3]; the state moves on in *abef, *cdgh.
SHA_CPU_INLINE void FourRounds(__m128i *abef, __m128i *cdgh, __m128i w, int i) {
  const __m128i wk = _mm_add_epi32(w, _mm_loadu_si128(reinterpret_cast<const __m128i *>(K + i)));
  // After two rounds the old A, B, E, F are the new C, D, G, H.
  const __m128i two = _mm_sha256rnds2_epu32(*cdgh, *abef, wk);
  const __m128i four = _mm_sha256rnds2_epu32(*abef, two, _mm_shuffle_epi32(wk, 0x0e));
  *cdgh = two;
  *abef = four;
}

// w[i..i+3] from the sixteen words before them, held in w0 (oldest) to w3:
// w[i] = w[i-16] + s0(w[i-15]) + w[i-7] + s1(w[i-2]).
SHA_CPU_INLINE __m128i NextWords(__m128i w0, __m128i w1, __m128i w2, __m128i w3) {
  const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(w0, w1), _mm_alignr_epi8(w3, w2, 4));
  return _mm_sha256msg2_epu32(partial, w3);
}

#if defined(__i386__)
__attribute__((force_align_arg_pointer))
#endif
SHA_CPU void
CpuBlocks(uint32_t h[8], const uint8_t *p, size_t blocks) {
  // Big-endian words to lanes.
  const __m128i swap = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
  __m128i abef = _mm_set_epi32(int(h[0]), int(h[1]), int(h[4]), int(h[5]));
  __m128i cdgh = _mm_set_epi32(int(h[2]), int(h[3]), int(h[6]), int(h[7]));
  for (; blocks; --blocks, p += 64) {
    const __m128i abef_in = abef, cdgh_in = cdgh;
    const __m128i *in = reinterpret_cast<const __m128i *>(p);
    __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(in), swap);
    __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), swap);
    __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), swap);
    __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), swap);
    for (int i = 0; i < 64; i += 16) {
      if (i) w0 = NextWords(w0, w1, w2, w3);
      FourRounds(&abef, &cdgh, w0, i);
      if (i) w1 = NextWords(w1, w2, w3, w0);
      FourRounds(&abef, &cdgh, w1, i + 4);
      if (i) w2 = NextWords(w2, w3, w0, w1);
      FourRounds(&abef, &cdgh, w2, i + 8);
      if (i) w3 = NextWords(w3, w0, w1, w2);
      FourRounds(&abef, &cdgh, w3, i + 12);
    }
    abef = _mm_add_epi32(abef, abef_in);
    cdgh = _mm_add_epi32(cdgh, cdgh_in);
  }
  h[0] = uint32_t(_mm_extract_epi32(abef, 3)), h[1] = uint32_t(_mm_extract_epi32(abef, 2));
  h[4] = uint32_t(_mm_extract_epi32(abef, 1)), h[5] = uint32_t(_mm_extract_epi32(abef, 0));
  h[2] = uint32_t(_mm_extract_epi32(cdgh, 3)), h[3] = uint32_t(_mm_extract_epi32(cdgh, 2));
  h[6] = uint32_t(_mm_extract_epi32(cdgh, 1)), h[7] = uint32_t(_mm_extract_epi32(cdgh, 0));
}

#undef SHA_CPU_INLINE
#undef SHA_CPU

// CPUID: leaf 7 EBX bit 29 is SHA; leaf 1 ECX bits 9 and 19 are SSSE3 and
// SSE4.1, which the path uses beside it.
bool CpuHasSha() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d) || !(c >> 9 & 1) || !(c >> 19 & 1)) return false;
  return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b >> 29 & 1);
}
#else
bool CpuHasSha() {
  return false;
}
#endif

// The blocks' code, chosen once by what the CPU has.
bool use_cpu = CpuHasSha();

void Blocks(uint32_t h[8], const uint8_t *p, size_t blocks) {
#if SHA_WITH_CPU
  if (use_cpu) return CpuBlocks(h, p, blocks);
#endif
  PortableBlocks(h, p, blocks);
}

}  // namespace

bool SYS_Sha256UseCpu(bool allow) {
  use_cpu = allow && CpuHasSha();
  return use_cpu;
}

void SYS_Sha256Init(SYS_Sha256 *s) {
  static const uint32_t kStart[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::memcpy(s->state, kStart, sizeof kStart);
  s->length = 0;
}

void SYS_Sha256Update(SYS_Sha256 *s, const void *data, size_t size) {
  if (size == 0) return;
  const uint8_t *p = static_cast<const uint8_t *>(data);
  size_t used = size_t(s->length % 64);
  s->length += size;
  if (used) {
    const size_t n = size < 64 - used ? size : 64 - used;
    std::memcpy(s->block + used, p, n);
    p += n, size -= n, used += n;
    if (used < 64) return;
    Blocks(s->state, s->block, 1);
  }
  Blocks(s->state, p, size / 64);
  p += size / 64 * 64;
  if (size % 64) std::memcpy(s->block, p, size % 64);
}

void SYS_Sha256Final(SYS_Sha256 *s, uint8_t digest[SYS_SHA256_SIZE]) {
  // Padding: 0x80, zeros, and the length in bits, big-endian.
  const uint64_t bits = s->length * 8;
  uint8_t tail[72] = {0x80};
  const size_t used = size_t(s->length % 64);
  const size_t pad = (used < 56 ? 56 : 120) - used;
  for (int i = 0; i < 8; ++i) tail[pad + i] = uint8_t(bits >> (56 - 8 * i));
  SYS_Sha256Update(s, tail, pad + 8);
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = uint8_t(s->state[i] >> (24 - 8 * j));
}

void SYS_Sha256Hex(const uint8_t digest[SYS_SHA256_SIZE], char out[2 * SYS_SHA256_SIZE + 1]) {
  static const char hex[] = "0123456789abcdef";
  for (size_t i = 0; i < SYS_SHA256_SIZE; ++i) {
    out[2 * i] = hex[digest[i] >> 4];
    out[2 * i + 1] = hex[digest[i] & 15];
  }
  out[2 * SYS_SHA256_SIZE] = 0;
}
