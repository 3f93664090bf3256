// Archive file format: a 52-byte header, entry data, and a directory of
// named records. Entries are stored as they are (method 0) or as a chain of
// LZW blocks (method 1), each a 12-byte header and one packed stream, or as
// a chain of zstd blocks (method 2), laid out the same with one zstd frame
// as each block's packed bytes.
// All numbers are little-endian; offsets are from the start of the file.
//
// These helpers decode the fixed structures from bytes already in memory
// and check that a record stays inside its directory. The store reads with
// them; the archive tool writes the same layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/little_endian.h"

static const uint32_t BF_ARCHIVE_MAGIC = 0x46474942;  // "BIGF"
static const uint32_t BF_BLOCK_MAGIC = 0x5D2E2E5B;    // "[..]"
static const size_t BF_HEADER_SIZE = 52;
static const size_t BF_RECORD_FIXED_SIZE = 40;  // followed by the name and a zero byte
static const size_t BF_BLOCK_HEADER_SIZE = 12;

// What the store can hold: its directory index has room for this many
// entries, and enumeration keeps a name's length in one byte. The archive
// tool refuses anything beyond them.
static const uint32_t BF_MAX_ENTRIES = 16384;
static const size_t BF_MAX_NAME_LENGTH = 255;

enum : uint32_t { BF_METHOD_STORED = 0, BF_METHOD_LZW = 1, BF_METHOD_ZSTD = 2 };
enum : uint32_t { BF_FLAG_INSTALL_DIR = 1 };  // failures worded "Failed access to Install_Dir"

struct ArchiveHeader {
  uint32_t magic;
  uint64_t archive_size;  // must equal the file's size
  uint32_t entry_count;
  uint64_t directory_offset;
  uint32_t directory_size;
};

struct DirectoryRecord {
  uint64_t data_offset;
  uint32_t attributes;
  uint32_t reserved_a;
  uint32_t reserved_b;
  uint64_t size;  // content bytes after unpacking
  uint32_t reserved_c;
  uint32_t method;
  uint32_t flags;
  const char *name;  // points into the directory bytes
  size_t name_length;
};

struct BlockHeader {
  uint32_t magic;
  uint32_t packed_length;
  uint32_t unpacked_length;
};

// Decodes BF_HEADER_SIZE bytes; true when the magic is right.
bool BF_ParseHeader(const uint8_t *bytes, ArchiveHeader *out);
// Decodes the record at *offset of a directory of size bytes and advances
// *offset past its name's zero byte. false when the record or its name's
// terminator would lie outside the directory.
bool BF_ParseRecord(const uint8_t *directory, size_t size, size_t *offset, DirectoryRecord *out);
void BF_ParseBlockHeader(const uint8_t *bytes, BlockHeader *out);
