// What the store's files share: the process-wide state behind its lock, the
// open-file records, and the few routines one part calls in another.
// Not part of the store's interface; only src/store/store_*.cpp include it.
//
// State is process-wide. One platform mutex serialises every operation that
// touches it; the "Disk error" box is always shown with the mutex released,
// so the other thread is not held up while the user decides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/archive.h"
#include "store/lzw.h"
#include "store/store.h"

struct ZSTD_DCtx_s;

namespace store_internal {

const size_t kRegionBytes = 0x500000;  // node pool and enumeration names
const size_t kCommitStep = 32768;
const size_t kHandleStep = 512;
const uintptr_t kFirstArchiveHandle = 0x2708010;

struct DirNode {
  SYS_Handle archive;
  uint64_t data_offset;
  uint64_t size;
  uint32_t attributes, reserved_a, reserved_b, reserved_c, method, flags;
  char name[1];  // upper case, zero-terminated; the node is allocated longer
};

// A buffer kept for the life of an open file and grown when a larger block
// comes, so that reading block after block allocates nothing.
struct Buffer {
  uint8_t *data;  // capacity bytes and 16 bytes of padding, or 0
  size_t capacity;
};

struct BlockCache {
  Buffer buffer;
  bool valid;  // buffer holds the block below
  uint32_t length;
  uint64_t start;          // content offset of the block
  uint64_t header_offset;  // of its header, relative to the entry's base
};

struct OpenFileRecord {
  SYS_Handle file;
  uint64_t base;
  uint32_t attributes, reserved_a, reserved_b;
  uint64_t size;
  uint32_t reserved_c, method, flags;
  uint64_t position;
  uint64_t file_size;  // of the archive, bounds block reads
  BlockCache cache;
  Buffer packed;  // the packed bytes of the block being decoded
  // Restarted for each block: its 512 KiB code table, allocated per block,
  // cost fresh pages every time under Wine. 0 until the first packed block.
  LZW_Context *lzw;
  ZSTD_DCtx_s *zstd;  // the same for zstd blocks
  // The last block a read reached: sequential reads resume the walk there.
  uint64_t walk_start, walk_header;
  char name[SYS_MAX_PATH];  // as opened, for the "Disk error" box
};

struct HandlePair {
  BF_Handle handle;
  OpenFileRecord *record;  // 0 for a mounted archive's own handle
};

struct ArchiveFile {
  SYS_Handle file;
  uint64_t size;
  std::string path;
};

struct Store {
  bool mounted = false;
  SYS_Handle lock = 0;
  char root[2][SYS_MAX_PATH] = {};
  size_t root_length[2] = {};
  bool loose_files = false, loose_first = false, keep_duplicates = false;
  uint8_t *pool = nullptr;
  size_t pool_used = 0, pool_committed = 0;
  DirNode **index = nullptr;
  uint32_t count = 0;
  std::vector<HandlePair> handles;
  size_t handles_used = 0;  // pairs up to the last one in use
  uintptr_t next_archive_handle = kFirstArchiveHandle;
  std::vector<ArchiveFile> archives;
  // The last file closed, kept with its buffers and decoders for the next
  // open (store_handles.cpp).
  OpenFileRecord *spare = nullptr;
};

extern Store g_store;

// The store's lock for a scope; held() also needs the store mounted.
struct StoreLock : SYS_MutexLock {
  StoreLock() : SYS_MutexLock(g_store.lock) {}
  bool held() const { return SYS_MutexLock::held() && g_store.mounted; }
};

// Upper-case copy into a path buffer; false when it does not fit.
inline bool UpperCopy(char *dst, const char *src) {
  if (SYS_StrLen(src) >= SYS_MAX_PATH) return false;
  SYS_StrCopy(dst, SYS_MAX_PATH, src);
  SYS_StrUpper(dst);
  return true;
}

// Allocates bytes plus 16 zero bytes of padding behind them; 0 when that
// does not fit the address space (a 32-bit program and a huge length).
inline uint8_t *AllocPadded(uint64_t bytes, const char *tag) {
  if (bytes > SIZE_MAX - 16) return nullptr;
  uint8_t *p = static_cast<uint8_t *>(SYS_Alloc(size_t(bytes) + 16, tag));
  if (p) SYS_Zero(p + bytes, 16);
  return p;
}

// The directory index (store_index.cpp).
// Insert mode: the place where name belongs. Exact mode: its index or -1.
long Search(const char *name, bool insert);
enum InsertResult { kInserted, kExists, kFailed };
InsertResult InsertNode(const DirectoryRecord &r, const char *upper_name, SYS_Handle archive,
                        uint32_t extra_flags);

// The handle table (store_handles.cpp).
HandlePair *FindPair(BF_Handle h);
OpenFileRecord *FindRecord(BF_Handle h);
bool RegisterHandle(BF_Handle h, OpenFileRecord *record);
void ClearPair(HandlePair *p);
void CloseLocked(HandlePair *p);
// Frees the kept record; at the unmount.
void DropSpareRecord();

}  // namespace store_internal
