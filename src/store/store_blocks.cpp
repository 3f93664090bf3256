// Reading an open file: stored entries and loose files straight from their
// file, packed entries block by block through the LZW or zstd decoder, with
// the last decoded block kept in the record's cache.
#include <zstd.h>

#include "platform/platform.h"
#include "store/lzw.h"
#include "store/store.h"
#include "store/store_internal.h"

using namespace store_internal;

namespace {

// The most bytes a stream of packed_length bytes can decode to: each code
// takes at least 9 bits and writes at most one byte more than the longest
// entry before it.
uint64_t MaxUnpacked(uint64_t packed_length) {
  uint64_t codes = (packed_length + LZW_SOURCE_PADDING) * 8 / 9 + 1;
  return codes * (codes + 1) / 2;
}

// Whether a block's packed bytes lie inside the archive and could decode to
// its unpacked length; checked before anything is allocated for it.
// A zstd frame holds blocks of at most 128 KiB, each at least 4 bytes.
bool BlockPlausible(const OpenFileRecord *r, uint64_t header, const BlockHeader &b) {
  uint64_t data = header + BF_BLOCK_HEADER_SIZE;
  uint64_t most = r->method == BF_METHOD_ZSTD ? uint64_t(b.packed_length) * 32768
                                              : MaxUnpacked(b.packed_length);
  return data <= r->file_size && b.packed_length <= r->file_size - data &&
         b.unpacked_length <= most;
}

// Makes room for bytes (plus the padding); what the buffer held is lost
// when it grows. false when the memory cannot be had.
bool Grow(Buffer *buffer, uint64_t bytes, const char *tag) {
  if (buffer->data && bytes <= buffer->capacity) return true;
  SYS_FreeSafe(buffer->data);
  buffer->data = AllocPadded(bytes, tag);
  buffer->capacity = buffer->data ? size_t(bytes) : 0;
  return buffer->data != nullptr;
}

// Reads and decodes one block whose header lies at header (absolute) into
// out; false when it cannot be read or does not decode to exactly its
// unpacked length.
bool DecodeBlock(OpenFileRecord *r, uint64_t header, const BlockHeader &b, uint8_t *out) {
  if (!BlockPlausible(r, header, b) || !Grow(&r->packed, b.packed_length, "Packed block"))
    return false;
  uint8_t *packed = r->packed.data;
  if (SYS_FileRead(r->file, packed, b.packed_length) != b.packed_length) return false;
  SYS_Zero(packed + b.packed_length, 16);  // the decoder may read past the end
  if (r->method == BF_METHOD_ZSTD) {
    if (!r->zstd) r->zstd = ZSTD_createDCtx();
    if (!r->zstd) return false;
    size_t n = ZSTD_decompressDCtx(r->zstd, out, b.unpacked_length, packed, b.packed_length);
    return !ZSTD_isError(n) && n == b.unpacked_length;
  }
  if (!r->lzw)
    r->lzw = LZW_Create(out, b.unpacked_length, packed, b.packed_length);
  else if (!LZW_Restart(r->lzw, out, b.unpacked_length, packed, b.packed_length))
    return false;
  return r->lzw && LZW_Decode(r->lzw) && LZW_BytesProduced(r->lzw) == b.unpacked_length;
}

// The same into the cache's buffer, which then holds the block starting at
// content offset s whose header lies at h (relative).
bool DecodeToCache(OpenFileRecord *r, uint64_t s, uint64_t h, const BlockHeader &b) {
  BlockCache &cache = r->cache;
  cache.valid = false;
  uint64_t header = r->base + h;
  if (!BlockPlausible(r, header, b) || !Grow(&cache.buffer, b.unpacked_length, "Block") ||
      !DecodeBlock(r, header, b, cache.buffer.data))
    return false;
  cache.valid = true;
  cache.length = b.unpacked_length;
  cache.start = s;
  cache.header_offset = h;
  return true;
}

// Delivers count bytes from the record's position (the caller has checked
// it against the size). The walk over the block headers starts at the last
// block an earlier read reached when that lies at or before the position,
// so sequential reads cost time linear in the entry's size. A block the
// request covers whole is decoded straight into the caller's buffer, any
// other into the cache.
uint32_t ReadBlocks(OpenFileRecord *r, uint8_t *buffer, uint32_t count) {
  uint64_t p = r->position;
  BlockCache &cache = r->cache;
  if (cache.valid && cache.start <= p && p + count <= cache.start + cache.length) {
    SYS_Copy(buffer, cache.buffer.data + (p - cache.start), count);
    return count;
  }
  uint64_t s = 0, h = 0;
  if (r->walk_start <= p) {
    s = r->walk_start;
    h = r->walk_header;
  }
  if (cache.valid && cache.start <= p && cache.start > s) {
    s = cache.start;
    h = cache.header_offset;
  }
  uint32_t remaining = count;
  while (remaining > 0) {
    uint8_t raw[BF_BLOCK_HEADER_SIZE];
    BlockHeader b;
    if (SYS_FileSeek(r->file, int64_t(r->base + h), 0) == SYS_BAD_POS ||
        SYS_FileRead(r->file, raw, sizeof(raw)) != sizeof(raw))
      return 0;
    BF_ParseBlockHeader(raw, &b);
    if (b.magic != BF_BLOCK_MAGIC) return 0;
    if (s <= p && p < s + b.unpacked_length) {
      uint64_t n = s + b.unpacked_length - p;
      if (n > remaining) n = remaining;
      bool cached = cache.valid && cache.start == s && cache.length == b.unpacked_length;
      if (!cached && p == s && n == b.unpacked_length) {
        if (!DecodeBlock(r, r->base + h, b, buffer)) break;
      } else {
        if (!cached && !DecodeToCache(r, s, h, b)) break;
        SYS_Copy(buffer, cache.buffer.data + (p - s), size_t(n));
      }
      r->walk_start = s;
      r->walk_header = h;
      buffer += n;
      p += n;
      remaining -= uint32_t(n);
    }
    s += b.unpacked_length;
    h += BF_BLOCK_HEADER_SIZE + uint64_t(b.packed_length);
  }
  // A block that failed to decode ends the read with what was delivered.
  return count - remaining;
}

}  // namespace

uint32_t BF_Read(BF_Handle handle, void *buffer, uint32_t bytes) {
  if (!buffer || !bytes) return 0;
  char name[SYS_MAX_PATH];
  for (;;) {
    {
      StoreLock lock;
      if (!lock.held()) return 0;
      OpenFileRecord *r = FindRecord(handle);
      if (!r || r->position >= r->size) return 0;
      uint32_t count = bytes;
      if (uint64_t(count) > r->size - r->position) count = uint32_t(r->size - r->position);
      uint32_t got = 0;
      uint64_t at = r->base + r->position;
      if (at <= uint64_t(INT64_MAX) && SYS_FileSeek(r->file, int64_t(at), 0) == at) {
        if (r->method == BF_METHOD_STORED)
          got = SYS_FileRead(r->file, buffer, count);
        else if (r->method == BF_METHOD_LZW || r->method == BF_METHOD_ZSTD)
          got = ReadBlocks(r, static_cast<uint8_t *>(buffer), count);
        else
          return 0;  // unknown method: no box
      }
      r->position += got;
      if (got > 0) return got;
      SYS_StrCopy(name, sizeof name, r->name);
    }
    // The box names the file being read; its wording is that of a missing disc.
    if (BF_DiskErrorBox(0, name) != BF_RETRY) return 0;
  }
}

bool BF_ReadAll(BF_Handle handle, void *buffer, uint32_t bytes) {
  uint32_t got = 0;
  while (got < bytes) {
    const uint32_t more = BF_Read(handle, static_cast<uint8_t *>(buffer) + got, bytes - got);
    if (more == 0) return false;
    got += more;
  }
  return true;
}
