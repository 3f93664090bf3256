// LZW decoder: variable-width codes, dictionary entries as slices of the
// output already produced. Entry k + 1 always starts where the string after
// entry k's own prefix was written, one byte before entry k ends, so the
// table keeps only where each entry starts (4 bytes a code: half the cache
// misses of an offset and a length) and entry k is start[k + 1] - start[k]
// + 1 bytes long; start[next code] is kept at the last string's start.
#include "store/lzw.h"

#include <cstdio>
#include <cstring>

#include "platform/little_endian.h"
#include "platform/platform.h"

struct LZW_Context {
  const uint8_t *source;
  size_t source_length;
  size_t source_pos;
  uint32_t bit_pos;
  uint8_t *destination;
  size_t capacity;
  size_t output_pos;
  uint32_t width;
  uint32_t next_code;
  bool decoding;
  size_t produced;
  size_t consumed;
  uint32_t *table;  // LZW_TABLE_SLOTS + 1 entry starts
};

static const size_t kTableBytes = sizeof(uint32_t) * (LZW_TABLE_SLOTS + 1);

LZW_Context *LZW_Create(uint8_t *destination, size_t capacity, const uint8_t *source,
                        size_t source_length) {
  // Slices are stored as 32-bit offsets; a block never holds more.
  if ((uint64_t(capacity) >> 32) != 0) return nullptr;
  LZW_Context *c = static_cast<LZW_Context *>(SYS_Alloc(sizeof(LZW_Context), "LZW context"));
  if (!c) return nullptr;
  SYS_Zero(c, sizeof(*c));
  c->table = static_cast<uint32_t *>(SYS_Alloc(kTableBytes, "LZW table"));
  if (!c->table) {
    SYS_Free(c);
    return nullptr;
  }
  c->source = source;
  c->source_length = source_length;
  c->destination = destination;
  c->capacity = capacity;
  return c;
}

bool LZW_Restart(LZW_Context *c, uint8_t *destination, size_t capacity, const uint8_t *source,
                 size_t source_length) {
  if (!c || (uint64_t(capacity) >> 32) != 0) return false;
  // Entries are only read below the next code, which each stream writes
  // anew from the first code on, so the old table needs no clearing.
  uint32_t *table = c->table;
  SYS_Zero(c, sizeof(*c));
  c->table = table;
  c->source = source;
  c->source_length = source_length;
  c->destination = destination;
  c->capacity = capacity;
  return true;
}

void LZW_Free(LZW_Context *c) {
  if (!c) return;
  SYS_Free(c->table);
  SYS_Free(c);
}

size_t LZW_BytesProduced(const LZW_Context *c) {
  return c ? c->produced : 0;
}
size_t LZW_BytesConsumed(const LZW_Context *c) {
  return c ? c->consumed : 0;
}

namespace {

// The decoder's moving parts, kept in a local object while a stream is
// decoded so that they live in registers: writes to the output (bytes)
// could otherwise alias them.
struct State {
  const uint8_t *source;
  size_t source_length;
  size_t source_pos;
  uint32_t bit_pos;
  uint8_t *out;
  size_t capacity;
  uint32_t width;
  uint32_t next_code;
  uint32_t grow_at;  // the next code at which the width grows
  uint32_t mask;     // (1 << width) - 1
  uint32_t *start;
};

}  // namespace

static void LZW_Reset(State &s) {
  s.width = 9;
  s.bit_pos = 0;
  s.next_code = LZW_FIRST_CODE;
  s.grow_at = s.mask = (1u << s.width) - 1;
}

// Reads one code. A read may start at the byte just past the data and looks
// at up to 4 bytes from there (the caller's padding).
static inline bool LZW_Input(State &s, uint32_t *code) {
  if (s.source_pos > s.source_length) return false;
  const uint8_t *p = s.source + s.source_pos;
  *code = (SYS_LoadLE32(p) >> s.bit_pos) & s.mask;
  uint32_t bits = s.bit_pos + s.width;
  s.source_pos += bits >> 3;
  s.bit_pos = bits & 7;
  return true;
}

// Copies length bytes that end at or before to. With 16 bytes of room
// behind the copy it moves 16 at a time; the bytes written past its end
// are overwritten by the next code, and the bytes read past the entry's
// end only land there.
static inline void LZW_CopyOut(State &s, size_t pos, uint32_t from, uint32_t length) {
  uint8_t *to = s.out + pos;
  const uint8_t *src = s.out + from;
  if (pos + length + 16 <= s.capacity) {
    uint32_t i = 0;
    do {                  // most strings are a few bytes: one round
      uint8_t chunk[16];  // loaded before it is stored: the reads may reach the writes
      memcpy(chunk, src + i, 16);
      memcpy(to + i, chunk, 16);
      i += 16;
    } while (i < length);
  } else {
    memcpy(to, src, length);
  }
}

// Counts the entry whose start is in the table at the next code. The width
// grows one code later than the packer's, which grows when its own next
// code reaches 2^width: when the decoder's next code + 1 does.
static inline void LZW_AddKey(State &s) {
  if (++s.next_code == s.grow_at) {
    s.width++;
    s.grow_at = s.mask = (1u << s.width) - 1;
  }
}

bool LZW_Decode(LZW_Context *c) {
  if (!c || c->decoding) return false;
  c->decoding = true;
  State s = {c->source, c->source_length, c->source_pos,
             0,         c->destination,   c->capacity,
             9,         LZW_FIRST_CODE,   0,
             0,         c->table};
  const size_t start_source = s.source_pos;
  const size_t start_output = c->output_pos;
  size_t pos = c->output_pos;
  LZW_Reset(s);
  size_t prev_len = 0;  // 0 before the stream's first code, which adds no entry
  size_t prev_pos = pos;
  bool ok = true;
  for (;;) {
    uint32_t code;
    if (!LZW_Input(s, &code)) {
      printf("\n Selhala funkce LZW_Input\n");
      ok = false;
      break;
    }
    if (code == LZW_END_CODE) break;
    // Every code but the first adds the previous string plus the first
    // byte of this one, which lies right behind it. The previous string
    // was written whole, so it starts below the capacity.
    uint32_t written = 0;
    if (code != s.next_code) {
      if (code < 256) {
        if (pos < s.capacity) {
          s.out[pos] = uint8_t(code);
          written = 1;
        }
      } else if (code < s.next_code) {
        uint32_t from = s.start[code];
        uint32_t length = s.start[code + 1] - from + 1;
        if (pos + length <= s.capacity) {
          LZW_CopyOut(s, pos, from, length);
          written = length;
        }
      }
      bool added = prev_len > 0 ? s.next_code < LZW_TABLE_SLOTS : prev_pos < s.capacity;
      if (!written || !added) {
        if (!written)
          printf("Selhala funkce LZW_ComposeKey ( KeyCount = %d Key = %d )\n", int(s.next_code),
                 int(code));
        printf("\n Selhala funkce LZW_AddKey\n");
        ok = false;
        break;
      }
      if (prev_len > 0) LZW_AddKey(s);
    } else {
      // The entry being defined is used at once: the previous string, which
      // ends at pos, and its first byte.
      if (prev_len == 0 || pos + prev_len + 1 > s.capacity || s.next_code >= LZW_TABLE_SLOTS) {
        printf("Selhala funkce LZW_ComposeKey\n");
        ok = false;
        break;
      }
      LZW_AddKey(s);
      LZW_CopyOut(s, pos, uint32_t(prev_pos), uint32_t(prev_len));
      s.out[pos + prev_len] = s.out[prev_pos];
      written = uint32_t(prev_len + 1);
    }
    prev_pos = pos;
    pos += written;
    prev_len = written;
    s.start[s.next_code] = uint32_t(prev_pos);  // where the next entry will start
  }
  if (s.bit_pos != 0) s.source_pos++;  // the partly used byte counts as consumed
  c->source_pos = s.source_pos;
  c->bit_pos = s.bit_pos;
  c->output_pos = pos;
  c->width = s.width;
  c->next_code = s.next_code;
  c->produced = pos - start_output;
  c->consumed = s.source_pos - start_source;
  return ok;
}
