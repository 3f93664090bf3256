// LZW decoder: variable-width codes, dictionary entries as slices of the
// output already produced, so adding an entry stores two numbers.
#include "store/lzw.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace {

struct Slot {
  uint32_t offset;  // into the output
  uint32_t length;
};

}  // namespace

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
  Slot *table;
};

LZW_Context *LZW_Create(uint8_t *destination, size_t capacity, const uint8_t *source,
                        size_t source_length) {
  // Slices are stored as 32-bit offsets; a block never holds more.
  if (capacity > 0xFFFFFFFFu) return nullptr;
  LZW_Context *c = static_cast<LZW_Context *>(SYS_Alloc(sizeof(LZW_Context), "LZW context"));
  if (!c) return nullptr;
  SYS_Zero(c, sizeof(*c));
  c->table = static_cast<Slot *>(SYS_Alloc(sizeof(Slot) * LZW_TABLE_SLOTS, "LZW table"));
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

static void LZW_Reset(LZW_Context *c) {
  c->width = 9;
  c->bit_pos = 0;
  c->next_code = LZW_FIRST_CODE;
  SYS_Zero(c->table, sizeof(Slot) * 256);
}

// Reads one code. A read may start at the byte just past the data and looks
// at up to 4 bytes from there (the caller's padding).
static inline bool LZW_Input(LZW_Context *c, uint32_t *code) {
  if (c->source_pos > c->source_length) return false;
  const uint8_t *p = c->source + c->source_pos;
  uint32_t word =
      uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  *code = (word >> c->bit_pos) & ((1u << c->width) - 1);
  uint32_t bits = c->bit_pos + c->width;
  c->source_pos += bits >> 3;
  c->bit_pos = bits & 7;
  return true;
}

// Writes the bytes of code at pos; returns the length written, 0 on failure.
static inline uint32_t LZW_ComposeKey(LZW_Context *c, uint32_t code, size_t pos) {
  if (code >= c->next_code) return 0;
  if (code >= 256) {
    Slot s = c->table[code];
    if (pos + s.length > c->capacity) return 0;
    uint8_t *out = c->destination + pos;
    const uint8_t *from = c->destination + s.offset;
    if (s.offset + s.length <= pos) {
      memcpy(out, from, s.length);
    } else {
      // The entry overlaps what it writes: the forward byte order repeats it.
      for (uint32_t i = 0; i < s.length; i++) out[i] = from[i];
    }
    return s.length;
  }
  if (pos >= c->capacity) return 0;
  c->destination[pos] = uint8_t(code);
  return 1;
}

static inline bool LZW_AddKey(LZW_Context *c, size_t pos, size_t length) {
  if (pos >= c->capacity) return false;
  if (length == 1) return true;  // only the stream's first code
  if (pos + length > c->capacity) length = c->capacity - pos;
  if (c->next_code >= LZW_TABLE_SLOTS) return false;  // the table is full
  c->table[c->next_code].offset = uint32_t(pos);
  c->table[c->next_code].length = uint32_t(length);
  c->next_code++;
  // One code later than the packer, which grows when its own next code
  // reaches 2^width.
  if ((c->next_code + 1) >> c->width) c->width++;
  return true;
}

bool LZW_Decode(LZW_Context *c) {
  if (!c || c->decoding) return false;
  const size_t start_source = c->source_pos;
  const size_t start_output = c->output_pos;
  c->decoding = true;
  LZW_Reset(c);
  uint32_t prev_code = 0;
  size_t prev_len = 0;
  size_t prev_pos = 0;
  bool ok = true;
  for (;;) {
    uint32_t code;
    if (!LZW_Input(c, &code)) {
      printf("\n Selhala funkce LZW_Input\n");
      ok = false;
      break;
    }
    if (code == LZW_END_CODE) break;
    uint32_t written;
    if (code != c->next_code) {
      written = LZW_ComposeKey(c, code, c->output_pos);
      if (!written) {
        printf("Selhala funkce LZW_ComposeKey ( KeyCount = %d Key = %d )\n", int(c->next_code),
               int(code));
      }
      // The previous string plus the first byte of this one, right behind it.
      bool added = LZW_AddKey(c, prev_pos, prev_len + 1);
      if (!written || !added) {
        printf("\n Selhala funkce LZW_AddKey\n");
        ok = false;
      }
    } else {
      // The entry being defined is used at once: previous string + its first byte.
      uint32_t first = LZW_ComposeKey(c, prev_code, c->output_pos);
      bool added = first && LZW_AddKey(c, prev_pos, prev_len + 1);
      written = added ? LZW_ComposeKey(c, code, c->output_pos) : 0;
      if (!written) {
        printf("Selhala funkce LZW_ComposeKey\n");
        ok = false;
      }
    }
    if (!ok) break;
    prev_pos = c->output_pos;
    c->output_pos += written;
    prev_len = written;
    prev_code = code;
  }
  if (c->bit_pos != 0) c->source_pos++;  // the partly used byte counts as consumed
  c->produced = c->output_pos - start_output;
  c->consumed = c->source_pos - start_source;
  return ok;
}
