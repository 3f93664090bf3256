// LZW decoder: variable-width codes, dictionary entries as slices of the
// output already produced. Entry k + 1 always starts where the string after
// entry k's own prefix was written, one byte before entry k ends, so the
// table keeps only where each entry starts (4 bytes a code: half the cache
// misses of an offset and a length) and entry k is start[k + 1] - start[k]
// + 1 bytes long; start[next code] is kept at the last string's start.
//
// Most codes go through a fast loop that checks only the output's room: it
// runs for as many codes as the source surely holds, the width stays the
// same and the table has room. Everything else (the first code, the end
// code, the entry being defined, bad codes, the end of the source or of
// the output) takes the careful step, one code at a time.
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

namespace {

// Bytes the fast loop copies at a time: most strings take one round, and
// the last round ends at most kRound - 1 bytes past the string.
const uint32_t kRound = 16;

// Byte i is i: the fast loop copies a literal out of here as a string of
// one byte, reading kRound - 1 bytes past it.
struct ByteValues {
  uint8_t at[256 + kRound];
  constexpr ByteValues() : at() {
    for (int i = 0; i < 256; i++) at[i] = uint8_t(i);
  }
};
constexpr ByteValues kBytes;

}  // namespace

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
  // The fast loop looks the literals up too (and then ignores what it
  // found): those entries are never written, so they are set once here.
  SYS_Zero(c->table, sizeof(uint32_t) * LZW_FIRST_CODE);
  c->source = source;
  c->source_length = source_length;
  c->destination = destination;
  c->capacity = capacity;
  return c;
}

bool LZW_Restart(LZW_Context *c, uint8_t *destination, size_t capacity, const uint8_t *source,
                 size_t source_length) {
  if (!c || (uint64_t(capacity) >> 32) != 0) return false;
  // Entries are only written from the first code on, and only read below
  // the next code, which each stream sets anew: the old table needs no
  // clearing.
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

// The decoder's moving parts while a stream is decoded.
struct State {
  const uint8_t *source;
  uint64_t bit;      // where the next code starts, in bits from the source
  uint64_t bit_end;  // a code may start below this: at the padding at most
  uint8_t *out;
  size_t capacity;
  uint32_t width;
  uint32_t next_code;
  uint32_t grow_at;  // the next code at which the width grows
  uint32_t mask;     // (1 << width) - 1
  uint32_t *start;
  size_t pos;       // where the next string goes
  size_t prev_pos;  // where the last one went
  size_t prev_len;  // its length; 0 before the stream's first code
};

enum Step { kNextCode, kEnd, kFailed };

}  // namespace

// Reads one code. A read may start at the byte just past the data and looks
// at up to 4 bytes from there (the caller's padding).
static inline bool LZW_Input(State &s, uint32_t *code) {
  if (s.bit >= s.bit_end) return false;
  *code = (SYS_LoadLE32(s.source + (s.bit >> 3)) >> (s.bit & 7)) & s.mask;
  s.bit += s.width;
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

// Decodes one code with every check.
static inline Step LZW_CarefulStep(State &s, uint32_t code) {
  if (code == LZW_END_CODE) return kEnd;
  // Every code but the first adds the previous string plus the first
  // byte of this one, which lies right behind it. The previous string
  // was written whole, so it starts below the capacity.
  const size_t pos = s.pos;
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
    bool added = s.prev_len > 0 ? s.next_code < LZW_TABLE_SLOTS : s.prev_pos < s.capacity;
    if (!written || !added) {
      if (!written)
        printf("Selhala funkce LZW_ComposeKey ( KeyCount = %d Key = %d )\n", int(s.next_code),
               int(code));
      printf("\n Selhala funkce LZW_AddKey\n");
      return kFailed;
    }
    if (s.prev_len > 0) LZW_AddKey(s);
  } else {
    // The entry being defined is used at once: the previous string, which
    // ends at pos, and its first byte.
    if (s.prev_len == 0 || pos + s.prev_len + 1 > s.capacity || s.next_code >= LZW_TABLE_SLOTS) {
      printf("Selhala funkce LZW_ComposeKey\n");
      return kFailed;
    }
    LZW_AddKey(s);
    LZW_CopyOut(s, pos, uint32_t(s.prev_pos), uint32_t(s.prev_len));
    s.out[pos + s.prev_len] = s.out[s.prev_pos];
    written = uint32_t(s.prev_len + 1);
  }
  s.prev_pos = pos;
  s.pos = pos + written;
  s.prev_len = written;
  s.start[s.next_code] = uint32_t(pos);  // where the next entry will start
  return kNextCode;
}

// Decodes codes while the previous string exists, the width stays, the
// table has room for every entry they add and the source surely holds
// them, each a literal or a defined entry whose last copying round ends
// inside the output. true, with the code in hand, when it stops at a code
// for which that does not hold; false when it has run out of codes.
static inline bool LZW_FastRun(State &s, uint32_t *unusual) {
  uint32_t next = s.next_code;
  uint32_t stop = s.grow_at < LZW_TABLE_SLOTS ? s.grow_at : LZW_TABLE_SLOTS;
  const uint32_t width = s.width;
  uint64_t readable = s.bit < s.bit_end ? (s.bit_end - s.bit + width - 1) / width : 0;
  if (readable < stop - next) stop = next + uint32_t(readable);
  if (s.capacity < kRound - 1) stop = next;
  const uint8_t *const source = s.source;
  uint8_t *const out = s.out;
  uint32_t *const start = s.start;
  const size_t room = s.capacity - (kRound - 1);  // where a string may end
  const uint32_t mask = s.mask;
  uint64_t bit = s.bit;
  size_t pos = s.pos;
  bool stopped = false;
  while (next < stop) {
    uint32_t code = (SYS_LoadLE32(source + (bit >> 3)) >> (bit & 7)) & mask;
    bit += width;
    if (code >= next || code == LZW_END_CODE) {
      stopped = true;
      *unusual = code;
      break;
    }
    // A literal is a string of one byte, copied out of kBytes. Masks, not
    // branches: which of the two comes next is hard to foretell.
    uint32_t from = start[code];
    uint32_t entry = 0u - uint32_t(code > 255);
    uint32_t length = ((start[code + 1] - from) & entry) + 1;
    if (uint64_t(pos) + length > room) {  // 64 bits: no wrap on 32-bit targets
      stopped = true;
      *unusual = code;
      break;
    }
    const uint8_t *src = code < 256 ? kBytes.at + code : out + from;
    uint8_t chunk[kRound];  // loaded before it is stored, as in LZW_CopyOut
    memcpy(chunk, src, kRound);
    memcpy(out + pos, chunk, kRound);
    for (uint32_t i = kRound; i < length; i += kRound) {  // most strings are shorter
      memcpy(chunk, src + i, kRound);
      memcpy(out + pos + i, chunk, kRound);
    }
    start[++next] = uint32_t(pos);
    pos += length;
  }
  if (next != s.next_code) {
    s.prev_pos = start[next];
    s.prev_len = pos - s.prev_pos;
  }
  s.bit = bit;
  s.pos = pos;
  s.next_code = next;
  if (!stopped && next == s.grow_at) {
    s.width++;
    s.grow_at = s.mask = (1u << s.width) - 1;
  }
  return stopped;
}

bool LZW_Decode(LZW_Context *c) {
  if (!c || c->decoding) return false;
  c->decoding = true;
  State s;
  s.source = c->source;
  s.bit = uint64_t(c->source_pos) * 8;
  s.bit_end = (uint64_t(c->source_length) + 1) * 8;
  s.out = c->destination;
  s.capacity = c->capacity;
  s.width = 9;
  s.next_code = LZW_FIRST_CODE;
  s.grow_at = s.mask = (1u << s.width) - 1;
  s.start = c->table;
  s.pos = s.prev_pos = c->output_pos;
  s.prev_len = 0;
  const size_t start_source = c->source_pos;
  const size_t start_output = c->output_pos;
  bool ok = true;
  for (;;) {
    uint32_t code = 0;
    bool in_hand = false;
    if (s.prev_len > 0 && s.next_code < LZW_TABLE_SLOTS) {
      uint32_t before = s.next_code;
      in_hand = LZW_FastRun(s, &code);
      if (!in_hand && s.next_code != before) continue;
    }
    if (!in_hand && !LZW_Input(s, &code)) {
      printf("\n Selhala funkce LZW_Input\n");
      ok = false;
      break;
    }
    Step step = LZW_CarefulStep(s, code);
    if (step == kNextCode) continue;
    ok = step == kEnd;
    break;
  }
  // The partly used byte counts as consumed.
  c->source_pos = size_t((s.bit + 7) >> 3);
  c->bit_pos = uint32_t(s.bit & 7);
  c->output_pos = s.pos;
  c->width = s.width;
  c->next_code = s.next_code;
  c->produced = s.pos - start_output;
  c->consumed = c->source_pos - start_source;
  return ok;
}
