// The store: mounted archive directories and loose files under one name
// space, with block-wise decoding of packed entries.
//
// State is process-wide. One platform mutex serialises every operation that
// touches it; the "Disk error" box is always shown with the mutex released,
// so the other thread is not held up while the user decides.
#include "store/store.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"
#include "store/archive.h"
#include "store/lzw.h"

namespace {

const size_t kRegionBytes = 0x500000;  // node pool and enumeration names
const size_t kCommitStep = 32768;
const uint32_t kMaxNodes = 16384;
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
  Buffer packed;     // the packed bytes of the block being decoded
  LZW_Context *lzw;  // kept from block to block with its code table, or 0
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
};

Store g_store;

class Locked {
 public:
  Locked() : held_(g_store.lock && SYS_WaitResult(g_store.lock, SYS_INFINITE) == SYS_OK) {}
  ~Locked() {
    if (held_) SYS_ReleaseMutex(g_store.lock);
  }
  bool held() const { return held_ && g_store.mounted; }

 private:
  bool held_;
};

// Upper-case copy into a path buffer; false when it does not fit.
bool UpperCopy(char *dst, const char *src) {
  if (SYS_StrLen(src) >= SYS_MAX_PATH) return false;
  SYS_StrCopy(dst, SYS_MAX_PATH, src);
  SYS_StrUpper(dst);
  return true;
}

// Whether path names a folder; a trailing backslash is allowed.
bool IsFolder(const char *path) {
  char copy[SYS_MAX_PATH];
  size_t n = SYS_StrCopy(copy, sizeof(copy), path);
  if (n > 3 && copy[n - 1] == '\\') copy[n - 1] = 0;
  uint32_t a = SYS_GetFileAttributes(copy);
  return a != SYS_ATTR_INVALID && (a & SYS_ATTR_DIRECTORY);
}

// Allocates bytes plus 16 zero bytes of padding behind them; 0 when that
// does not fit the address space (a 32-bit program and a huge length).
uint8_t *AllocPadded(uint64_t bytes, const char *tag) {
  if (bytes > SIZE_MAX - 16) return nullptr;
  uint8_t *p = static_cast<uint8_t *>(SYS_Alloc(size_t(bytes) + 16, tag));
  if (p) SYS_Zero(p + bytes, 16);
  return p;
}

// ---------------------------------------------------------------- directory

// Insert mode: the place where name belongs. Exact mode: its index or -1.
long Search(const char *name, bool insert) {
  if (g_store.count == 0) return insert ? 0 : -1;
  uint32_t low = 0, high = g_store.count - 1;
  while (low != high) {
    uint32_t middle = (low + high) / 2;
    int c = SYS_StrCmp(g_store.index[middle]->name, name);
    if (c == 0) return middle;
    if (c > 0)
      high = middle;
    else
      low = middle + 1;
  }
  if (insert) return low;
  return SYS_StrCmp(g_store.index[low]->name, name) == 0 ? long(low) : -1;
}

enum InsertResult { kInserted, kExists, kFailed };

InsertResult InsertNode(const DirectoryRecord &r, const char *upper_name, SYS_Handle archive,
                        uint32_t extra_flags) {
  size_t length = r.name_length;
  if (length == 0) return kFailed;
  long at = Search(upper_name, true);
  if (g_store.count) {
    int c = SYS_StrCmp(g_store.index[at]->name, upper_name);
    if (c == 0) return kExists;
    if (c < 0) at++;
  }
  if (g_store.count >= kMaxNodes) return kFailed;
  size_t bytes = (offsetof(DirNode, name) + length + 1 + 7) & ~size_t(7);
  if (bytes > kRegionBytes - g_store.pool_used) return kFailed;
  while (g_store.pool_committed - g_store.pool_used < bytes) {
    if (!SYS_Commit(g_store.pool, g_store.pool_committed, kCommitStep)) return kFailed;
    g_store.pool_committed += kCommitStep;
  }
  DirNode *n = reinterpret_cast<DirNode *>(g_store.pool + g_store.pool_used);
  g_store.pool_used += bytes;
  n->archive = archive;
  n->data_offset = r.data_offset;
  n->size = r.size;
  n->attributes = r.attributes;
  n->reserved_a = r.reserved_a;
  n->reserved_b = r.reserved_b;
  n->reserved_c = r.reserved_c;
  n->method = r.method;
  n->flags = r.flags | extra_flags;
  SYS_Copy(n->name, upper_name, length + 1);
  for (uint32_t i = g_store.count; i > uint32_t(at); i--) g_store.index[i] = g_store.index[i - 1];
  g_store.index[at] = n;
  g_store.count++;
  return kInserted;
}

// ---------------------------------------------------------------- handles

HandlePair *FindPair(BF_Handle h) {
  if (!h) return nullptr;
  for (size_t i = 0; i < g_store.handles_used; i++)
    if (g_store.handles[i].handle == h) return &g_store.handles[i];
  return nullptr;
}

OpenFileRecord *FindRecord(BF_Handle h) {
  HandlePair *p = FindPair(h);
  return p ? p->record : nullptr;
}

bool RegisterHandle(BF_Handle h, OpenFileRecord *record) {
  for (size_t i = 0; i < g_store.handles_used; i++) {
    if (g_store.handles[i].handle == 0) {
      g_store.handles[i] = {h, record};
      return true;
    }
  }
  if (g_store.handles_used + 1 >= g_store.handles.size())
    g_store.handles.resize(g_store.handles.size() + kHandleStep, HandlePair{0, nullptr});
  g_store.handles[g_store.handles_used++] = {h, record};
  return true;
}

void ClearPair(HandlePair *p) {
  *p = {0, nullptr};
  while (g_store.handles_used && g_store.handles[g_store.handles_used - 1].handle == 0)
    g_store.handles_used--;
}

void FreeRecord(OpenFileRecord *r) {
  SYS_FreeSafe(r->cache.buffer.data);
  SYS_FreeSafe(r->packed.data);
  LZW_Free(r->lzw);
  SYS_Free(r);
}

void CloseLocked(HandlePair *p) {
  OpenFileRecord *r = p->record;
  if (r->file == p->handle) SYS_FileClose(r->file);  // loose or sequential: its own handle
  ClearPair(p);
  FreeRecord(r);
}

BF_Handle NextArchiveHandle() {
  // Skip numbers that happen to be in use as system handles.
  while (FindPair(g_store.next_archive_handle)) g_store.next_archive_handle++;
  return g_store.next_archive_handle++;
}

// ---------------------------------------------------------------- open

OpenFileRecord *NewRecord(const char *name) {
  OpenFileRecord *r = static_cast<OpenFileRecord *>(SYS_Alloc(sizeof(OpenFileRecord), "FileItem"));
  if (!r) return nullptr;
  SYS_Zero(r, sizeof(*r));
  SYS_StrCopy(r->name, sizeof(r->name), name);
  return r;
}

BF_Handle OpenLoose(const char *path, const char *name, uint32_t flags) {
  SYS_Handle f = SYS_FileOpenRead(path, flags);
  if (!f) return 0;
  OpenFileRecord *r = NewRecord(name);
  if (!r || !RegisterHandle(f, r)) {
    SYS_FreeSafe(r);
    SYS_FileClose(f);
    return 0;
  }
  r->file = f;
  r->size = SYS_FileSize(f);
  if (r->size == SYS_BAD_POS) r->size = 0;
  r->attributes = SYS_ATTR_ARCHIVE;
  return f;
}

const ArchiveFile *FindArchive(SYS_Handle file) {
  for (const ArchiveFile &a : g_store.archives)
    if (a.file == file) return &a;
  return nullptr;
}

// Returns the handle, 0 when the name is not in the directory; *failed is
// set when it is but could not be opened (no box then).
BF_Handle OpenEntry(const DirNode *n, const char *name, uint32_t flags, bool *failed) {
  const ArchiveFile *archive = FindArchive(n->archive);
  SYS_Handle file = n->archive;
  BF_Handle h;
  if (flags & BF_OPEN_SEQUENTIAL) {
    file = archive ? SYS_FileOpenRead(archive->path.c_str(), flags) : 0;
    if (!file) {
      *failed = true;
      return 0;
    }
    h = file;
  } else {
    h = NextArchiveHandle();
  }
  OpenFileRecord *r = NewRecord(name);
  if (!r || !RegisterHandle(h, r)) {
    SYS_FreeSafe(r);
    if (file != n->archive) SYS_FileClose(file);
    *failed = true;
    return 0;
  }
  r->file = file;
  r->base = n->data_offset;
  r->attributes = n->attributes;
  r->reserved_a = n->reserved_a;
  r->reserved_b = n->reserved_b;
  r->size = n->size;
  r->reserved_c = n->reserved_c;
  r->method = n->method;
  r->flags = n->flags;
  r->file_size = archive ? archive->size : 0;
  return h;
}

// One search in the mount's order; *failed ends the search without a box.
BF_Handle SearchAndOpen(const char *name, uint32_t flags, bool *failed) {
  char upper[SYS_MAX_PATH];
  if (!UpperCopy(upper, name)) return 0;
  bool absolute = upper[0] && (upper[1] == ':' || (upper[0] == '\\' && upper[1] == '\\'));
  bool archive_ok = !absolute && !(flags & BF_OPEN_WRITE);
  char path[SYS_MAX_PATH];
  bool root_ok =
      g_store.root_length[0] && SYS_Format(path, sizeof(path), "%s%s", g_store.root[0], name) ==
                                    int(g_store.root_length[0] + SYS_StrLen(name));
  auto directory = [&]() -> BF_Handle {
    if (!archive_ok) return 0;
    long at = Search(upper, false);
    return at < 0 ? 0 : OpenEntry(g_store.index[at], name, flags, failed);
  };
  BF_Handle h = 0;
  if (!g_store.loose_first) {
    h = directory();
    if (h || *failed) return h;
  }
  if (g_store.loose_files) {
    h = OpenLoose(name, name, flags);
    if (!h && root_ok) h = OpenLoose(path, name, flags);
    if (h) return h;
  }
  if (g_store.loose_first) h = directory();
  return h;
}

// ---------------------------------------------------------------- block reader

// The most bytes a stream of packed_length bytes can decode to: each code
// takes at least 9 bits and writes at most one byte more than the longest
// entry before it.
uint64_t MaxUnpacked(uint64_t packed_length) {
  uint64_t codes = (packed_length + LZW_SOURCE_PADDING) * 8 / 9 + 1;
  return codes * (codes + 1) / 2;
}

// Whether a block's packed bytes lie inside the archive and could decode to
// its unpacked length; checked before anything is allocated for it.
bool BlockPlausible(const OpenFileRecord *r, uint64_t header, const BlockHeader &b) {
  uint64_t data = header + BF_BLOCK_HEADER_SIZE;
  return data <= r->file_size && b.packed_length <= r->file_size - data &&
         b.unpacked_length <= MaxUnpacked(b.packed_length);
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
  if (r->lzw ? !LZW_Restart(r->lzw, out, b.unpacked_length, packed, b.packed_length)
             : !(r->lzw = LZW_Create(out, b.unpacked_length, packed, b.packed_length)))
    return false;
  return LZW_Decode(r->lzw) && LZW_BytesProduced(r->lzw) == b.unpacked_length;
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

// ---------------------------------------------------------------- enumeration

// Wildcard match of the archive part: '*' runs up to the next '.', '?' is
// any one character, everything else (the terminator included) must equal.
bool WildMatch(const char *name, const char *pattern) {
  size_t name_length = SYS_StrLen(name), pattern_length = SYS_StrLen(pattern);
  if (pattern_length > name_length) return false;
  char a[SYS_MAX_PATH], b[SYS_MAX_PATH];
  if (!UpperCopy(a, name) || !UpperCopy(b, pattern)) return false;
  char da[SYS_MAX_PATH], db[SYS_MAX_PATH];
  SYS_DirPart(da, sizeof da, a);
  SYS_DirPart(db, sizeof db, b);
  if (SYS_StrCmp(da, db) != 0) return false;
  size_t i = 0, j = 0;
  while (b[i] || a[j]) {
    if (b[i] == '*') {
      while (a[j] && a[j] != '.') j++;
      i++;
    } else if (b[i] == '?') {
      if (!a[j]) return false;
      i++;
      j++;
    } else {
      if (b[i] != a[j]) return false;
      i++;
      j++;
    }
  }
  return true;
}

struct Collector {
  BF_FindContext *context;
  std::unordered_set<std::string> seen;

  void Add(const char *name) {
    size_t length = SYS_StrLen(name);
    if (length == 0 || length > 255) return;  // does not fit the length byte
    if (!g_store.keep_duplicates && !seen.insert(name).second) return;
    BF_FindContext *c = context;
    while (c->used + length + 2 > c->committed) {
      if (c->committed + kCommitStep > kRegionBytes ||
          !SYS_Commit(c->base, c->committed, kCommitStep))
        return;  // the region is full: the name is left out
      c->committed += kCommitStep;
    }
    c->base[c->used] = uint8_t(length);
    SYS_Copy(c->base + c->used + 1, name, length + 1);
    c->used += length + 2;
  }
};

void CollectArchive(Collector *out, const char *pattern, bool recursive) {
  char dir[SYS_MAX_PATH], file[SYS_MAX_PATH];
  size_t dir_length = SYS_DirPart(dir, sizeof dir, pattern);
  SYS_FilePart(file, sizeof file, pattern);
  bool everything = recursive && SYS_StrCmp(pattern, "*.*") == 0;
  for (uint32_t i = 0; i < g_store.count; i++) {
    const char *name = g_store.index[i]->name;
    if (!everything) {
      char entry_dir[SYS_MAX_PATH], entry_file[SYS_MAX_PATH];
      if (SYS_StrLen(name) >= SYS_MAX_PATH) continue;
      size_t entry_dir_length = SYS_DirPart(entry_dir, sizeof entry_dir, name);
      if (entry_dir_length < dir_length) continue;
      entry_dir[dir_length] = 0;
      if (SYS_StrCmp(entry_dir, dir) != 0) continue;
      if (recursive) {
        SYS_FilePart(entry_file, sizeof entry_file, name);
        if (!WildMatch(entry_file, file)) continue;
      } else if (!WildMatch(name, pattern)) {
        continue;
      }
    }
    out->Add(name);
  }
}

// Walks folder (a path ending in a backslash, or "" for the current
// directory): sub-folders first, depth first, then the files the system's
// own search matches against file.
void CollectFolder(Collector *out, const std::string &folder, const std::string &prefix,
                   const char *file, bool recursive) {
  SYS_FindData fd;
  if (recursive) {
    std::string all = folder + "*";
    if (all.size() < SYS_MAX_PATH) {
      std::vector<std::string> subs;
      SYS_Handle f = SYS_FindFirst(all.c_str(), &fd);
      if (f) {
        do {
          if ((fd.attributes & SYS_ATTR_DIRECTORY) && fd.name[0] != '.') subs.push_back(fd.name);
        } while (SYS_FindNext(f, &fd));
        SYS_FindClose(f);
      }
      for (const std::string &sub : subs)
        CollectFolder(out, folder + sub + "\\", prefix + sub + "\\", file, recursive);
    }
  }
  std::string files = folder + file;
  if (files.size() >= SYS_MAX_PATH) return;
  SYS_Handle f = SYS_FindFirst(files.c_str(), &fd);
  if (!f) return;
  do {
    if (fd.attributes & SYS_ATTR_DIRECTORY) continue;
    std::string name = prefix + fd.name;
    if (name.size() >= SYS_MAX_PATH) continue;
    char upper[SYS_MAX_PATH];
    SYS_StrCopy(upper, sizeof upper, name.c_str());
    SYS_StrUpper(upper);
    out->Add(upper);
  } while (SYS_FindNext(f, &fd));
  SYS_FindClose(f);
}

// One loose source: start is "" (current directory) or a root folder.
void CollectSource(Collector *out, const char *start, const char *pattern, bool recursive) {
  char dir[SYS_MAX_PATH], file[SYS_MAX_PATH];
  SYS_DirPart(dir, sizeof dir, pattern);
  SYS_FilePart(file, sizeof file, pattern);
  std::string folder = std::string(start) + dir;
  if (dir[0] && (folder.size() >= SYS_MAX_PATH || !IsFolder(folder.c_str()))) return;
  CollectFolder(out, folder, dir, file, recursive);
}

void CollectLoose(Collector *out, const char *pattern, bool recursive) {
  CollectSource(out, "", pattern, recursive);
  for (int i = 0; i < 2; i++)
    if (g_store.root_length[i]) CollectSource(out, g_store.root[i], pattern, recursive);
}

}  // namespace

// ---------------------------------------------------------------- mount

uint32_t BF_Mount(const BF_MountParams *params) {
  if (!params || g_store.mounted) return 0;
  Store &s = g_store;
  const char *roots[2] = {params->root1, params->root2};
  for (int i = 0; i < 2; i++) {
    s.root[i][0] = 0;
    s.root_length[i] = 0;
    if (!roots[i]) continue;
    // Leaves room for the backslash appended below.
    if (SYS_StrLen(roots[i]) + 1 >= SYS_MAX_PATH || !IsFolder(roots[i])) return 0;
    size_t n = SYS_StrCopy(s.root[i], sizeof s.root[i], roots[i]);
    SYS_StrUpper(s.root[i]);
    if (n == 0 || s.root[i][n - 1] != '\\') s.root[i][n++] = '\\', s.root[i][n] = 0;
    s.root_length[i] = n;
  }
  s.pool = static_cast<uint8_t *>(SYS_Reserve(kRegionBytes));
  s.index = static_cast<DirNode **>(SYS_Alloc(sizeof(DirNode *) * kMaxNodes, "BigFile index"));
  s.lock = SYS_CreateMutex(false);
  if (!s.pool || !s.index || !s.lock) {
    if (s.pool) SYS_ReleaseReserved(s.pool, kRegionBytes);
    SYS_FreeSafe(s.index);
    if (s.lock) SYS_CloseHandle(s.lock);
    s.pool = nullptr;
    s.index = nullptr;
    s.lock = 0;
    return 0;
  }
  s.index[0] = nullptr;
  s.handles.assign(kHandleStep, HandlePair{0, nullptr});
  s.handles_used = 0;
  s.pool_used = s.pool_committed = 0;
  s.count = 0;
  s.next_archive_handle = kFirstArchiveHandle;
  s.loose_files = params->loose_files != 0;
  s.loose_first = params->loose_first != 0;
  s.keep_duplicates = params->keep_duplicates != 0;
  s.archives.clear();
  SYS_LogOpen(SYS_LOG_BIGFILE, "BigFile");
  s.mounted = true;
  return 1;
}

void BF_Unmount() {
  Store &s = g_store;
  {
    Locked lock;
    if (!lock.held()) return;
    for (size_t i = 0; i < s.handles_used; i++) {
      HandlePair *p = &s.handles[i];
      if (!p->handle) continue;
      if (p->record) {
        CloseLocked(p);
      } else {
        SYS_FileClose(p->handle);
        ClearPair(p);
      }
    }
    SYS_ReleaseReserved(s.pool, kRegionBytes);
    SYS_Free(s.index);
    s.pool = nullptr;
    s.index = nullptr;
    s.count = 0;
    std::vector<HandlePair>().swap(s.handles);
    std::vector<ArchiveFile>().swap(s.archives);
    SYS_LogClose(SYS_LOG_BIGFILE);
    s.mounted = false;
  }
  SYS_CloseHandle(s.lock);
  s.lock = 0;
}

uint32_t BF_MountArchive(const char *path, uint32_t extra_flags) {
  Locked lock;
  if (!lock.held() || !path) return BF_ERR_OPEN;
  SYS_Handle f = SYS_FileOpenRead(path, SYS_ACCESS_READ);
  if (!f) return BF_ERR_OPEN;
  uint8_t raw[BF_HEADER_SIZE];
  ArchiveHeader header;
  uint64_t file_size = SYS_FileSize(f);
  if (SYS_FileSeek(f, 0, 0) != 0 || SYS_FileRead(f, raw, sizeof(raw)) != sizeof(raw) ||
      !BF_ParseHeader(raw, &header) || header.archive_size != file_size) {
    SYS_FileClose(f);
    return BF_ERR_FORMAT;
  }
  // A directory reaching past the end of the file could not be read in full.
  if (header.directory_offset > file_size ||
      header.directory_size > file_size - header.directory_offset ||
      SYS_FileSeek(f, int64_t(header.directory_offset), 0) != header.directory_offset) {
    SYS_FileClose(f);
    return BF_ERR_IO;
  }
  uint8_t *dir = AllocPadded(header.directory_size, "Directory");
  if (!dir) {
    SYS_FileClose(f);
    return BF_ERR_MEMORY;
  }
  if (SYS_FileRead(f, dir, header.directory_size) != header.directory_size) {
    SYS_Free(dir);
    SYS_FileClose(f);
    return BF_ERR_IO;
  }
  // Records that run past the directory are refused before any is added.
  size_t at = 0;
  DirectoryRecord record;
  for (uint32_t i = 0; i < header.entry_count; i++) {
    if (!BF_ParseRecord(dir, header.directory_size, &at, &record)) {
      SYS_Free(dir);
      SYS_FileClose(f);
      return BF_ERR_FORMAT;
    }
  }
  at = 0;
  uint32_t result = BF_OK;
  uint32_t added = 0;
  for (uint32_t i = 0; i < header.entry_count && result == BF_OK; i++) {
    BF_ParseRecord(dir, header.directory_size, &at, &record);
    char *name = const_cast<char *>(record.name);
    SYS_StrUpper(name);
    InsertResult inserted = InsertNode(record, name, f, extra_flags);
    if (inserted == kFailed) result = BF_ERR_DIRECTORY;
    if (inserted == kInserted) added++;
  }
  SYS_Free(dir);
  // Nodes added before a failed insertion stay in the directory and read
  // through this file: it stays open and registered until BF_Unmount, as for
  // an archive that mounted in full.
  if (result != BF_OK && added == 0) {
    SYS_FileClose(f);
    return result;
  }
  RegisterHandle(f, nullptr);
  g_store.archives.push_back({f, file_size, path});
  return result;
}

// ---------------------------------------------------------------- files

BF_Handle BF_Open(const char *name, uint32_t flags, bool retry) {
  if (!name) return 0;
  for (;;) {
    {
      Locked lock;
      if (!lock.held()) return 0;
      bool failed = false;
      BF_Handle h = SearchAndOpen(name, flags, &failed);
      if (h || failed) return h;
    }
    if (!retry || BF_DiskErrorBox(0, name) != BF_RETRY) return 0;
  }
}

BF_Handle BF_OpenRetry(const char *name, uint32_t flags) {
  return BF_Open(name, flags, true);
}

uint32_t BF_Read(BF_Handle handle, void *buffer, uint32_t bytes) {
  if (!buffer || !bytes) return 0;
  char name[SYS_MAX_PATH];
  for (;;) {
    {
      Locked lock;
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
        else if (r->method == BF_METHOD_LZW)
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

uint64_t BF_Seek(BF_Handle handle, int64_t offset, uint32_t origin) {
  Locked lock;
  if (!lock.held()) return BF_BAD_POS;
  OpenFileRecord *r = FindRecord(handle);
  if (!r) return BF_BAD_POS;
  switch (origin) {
    case 0:
      r->position = uint64_t(offset);
      break;
    case 1:
      r->position += uint64_t(offset);
      break;
    case 2:
      if (offset > 0 && uint64_t(offset) > r->size) return BF_BAD_POS;
      r->position = r->size - uint64_t(offset);
      break;
    default:
      return BF_BAD_POS;
  }
  return r->position;
}

uint64_t BF_GetSize(BF_Handle handle) {
  Locked lock;
  if (!lock.held()) return BF_BAD_POS;
  OpenFileRecord *r = FindRecord(handle);
  return r ? r->size : BF_BAD_POS;
}

uint64_t BF_GetFileSize(const char *name) {
  BF_Handle h = BF_OpenRetry(name, BF_OPEN_READ);
  if (!h) return BF_BAD_POS;
  uint64_t size = BF_GetSize(h);
  BF_Close(h);
  return size;
}

void BF_Close(BF_Handle handle) {
  Locked lock;
  if (!lock.held()) return;
  HandlePair *p = FindPair(handle);
  if (p && p->record) CloseLocked(p);
}

// ---------------------------------------------------------------- enumeration

const char *BF_FindFirst(const char *pattern, bool recursive, BF_FindContext *context) {
  if (!pattern || !context) return nullptr;
  *context = {};
  char upper[SYS_MAX_PATH];
  if (!UpperCopy(upper, pattern)) return nullptr;
  {
    Locked lock;
    if (!lock.held()) return nullptr;
    context->base = static_cast<uint8_t *>(SYS_Reserve(kRegionBytes));
    if (!context->base) return nullptr;
    Collector out{context, {}};
    if (g_store.loose_files && g_store.loose_first) CollectLoose(&out, upper, recursive);
    CollectArchive(&out, upper, recursive);
    if (g_store.loose_files && !g_store.loose_first) CollectLoose(&out, upper, recursive);
  }
  return BF_FindNext(context);
}

const char *BF_FindNext(BF_FindContext *context) {
  if (!context || !context->base) return nullptr;
  if (context->read < context->used) {
    const char *name = reinterpret_cast<const char *>(context->base + context->read + 1);
    context->read += size_t(context->base[context->read]) + 2;
    return name;
  }
  BF_FindClose(context);
  return nullptr;
}

void BF_FindClose(BF_FindContext *context) {
  if (!context || !context->base) return;
  SYS_ReleaseReserved(context->base, kRegionBytes);
  *context = {};
}

uint32_t BF_DiskErrorBox(BF_Handle handle, const char *name) {
  bool install_dir = true;
  if (handle) {
    Locked lock;
    OpenFileRecord *r = lock.held() ? FindRecord(handle) : nullptr;
    install_dir = r && (r->flags & BF_FLAG_INSTALL_DIR);
  }
  char text[SYS_MAX_PATH + 64];
  SYS_Format(text, sizeof(text), "%s\n(%s)",
             install_dir ? "Failed access to Install_Dir" : "Failed access to file",
             name ? name : "");
  return SYS_MessageBox(text, "Disk error", SYS_MB_OKCANCEL, true) == SYS_ID_OK ? BF_RETRY
                                                                                : BF_CANCEL;
}
