#include "store/archive.h"

#include <cstring>

bool BF_ParseHeader(const uint8_t *b, ArchiveHeader *out) {
  out->magic = SYS_LoadLE32(b);
  out->archive_size = SYS_LoadLE64(b + 8);
  out->entry_count = SYS_LoadLE32(b + 16);
  out->directory_offset = SYS_LoadLE64(b + 20);
  out->directory_size = SYS_LoadLE32(b + 28);
  return out->magic == BF_ARCHIVE_MAGIC;
}

bool BF_ParseRecord(const uint8_t *dir, size_t size, size_t *offset, DirectoryRecord *out) {
  size_t at = *offset;
  if (at > size || size - at < BF_RECORD_FIXED_SIZE + 1) return false;
  const uint8_t *r = dir + at;
  const char *name = reinterpret_cast<const char *>(r + BF_RECORD_FIXED_SIZE);
  size_t room = size - at - BF_RECORD_FIXED_SIZE;
  const void *end = memchr(name, 0, room);
  if (!end) return false;
  out->data_offset = SYS_LoadLE64(r);
  out->attributes = SYS_LoadLE32(r + 8);
  out->reserved_a = SYS_LoadLE32(r + 12);
  out->reserved_b = SYS_LoadLE32(r + 16);
  out->size = SYS_LoadLE64(r + 20);
  out->reserved_c = SYS_LoadLE32(r + 28);
  out->method = SYS_LoadLE32(r + 32);
  out->flags = SYS_LoadLE32(r + 36);
  out->name = name;
  out->name_length = size_t(static_cast<const char *>(end) - name);
  *offset = at + BF_RECORD_FIXED_SIZE + out->name_length + 1;
  return true;
}

void BF_ParseBlockHeader(const uint8_t *b, BlockHeader *out) {
  out->magic = SYS_LoadLE32(b);
  out->packed_length = SYS_LoadLE32(b + 4);
  out->unpacked_length = SYS_LoadLE32(b + 8);
}
