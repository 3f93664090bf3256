// The handle table and opening by name: each store handle pairs with the
// record of an open file (a loose file, or an entry of a mounted archive
// read through the archive's shared handle or a sequential one of its own);
// a mounted archive's own handle is registered without a record.
#include <zstd.h>

#include "platform/platform.h"
#include "store/lzw.h"
#include "store/store.h"
#include "store/store_internal.h"

using namespace store_internal;

namespace {

void FreeRecord(OpenFileRecord *r) {
  if (!r) return;
  SYS_FreeSafe(r->cache.buffer.data);
  SYS_FreeSafe(r->packed.data);
  LZW_Free(r->lzw);
  ZSTD_freeDCtx(r->zstd);
  SYS_Free(r);
}

}  // namespace

namespace store_internal {

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

void CloseLocked(HandlePair *p) {
  OpenFileRecord *r = p->record;
  if (r->file == p->handle) SYS_FileClose(r->file);  // loose or sequential: its own handle
  ClearPair(p);
  // An install opens hundreds of files one after another: the next one
  // takes over this one's block buffers and decoders, which would otherwise
  // be new memory each time, pages the system maps and clears anew.
  FreeRecord(g_store.spare);
  g_store.spare = r;
}

void DropSpareRecord() {
  FreeRecord(g_store.spare);
  g_store.spare = nullptr;
}

}  // namespace store_internal

namespace {

BF_Handle NextArchiveHandle() {
  // Skip numbers that happen to be in use as system handles.
  while (FindPair(g_store.next_archive_handle)) g_store.next_archive_handle++;
  return g_store.next_archive_handle++;
}

// A record for name: the kept one, with only its buffers and decoders
// left, or a new one.
OpenFileRecord *NewRecord(const char *name) {
  OpenFileRecord *r = g_store.spare;
  g_store.spare = nullptr;
  if (r) {
    const Buffer block = r->cache.buffer, packed = r->packed;
    LZW_Context *lzw = r->lzw;
    ZSTD_DCtx_s *zstd = r->zstd;
    SYS_Zero(r, sizeof(*r));
    r->cache.buffer = block, r->packed = packed, r->lzw = lzw, r->zstd = zstd;
  } else {
    r = static_cast<OpenFileRecord *>(SYS_Alloc(sizeof(OpenFileRecord), "FileItem"));
    if (!r) return nullptr;
    SYS_Zero(r, sizeof(*r));
  }
  SYS_StrCopy(r->name, sizeof(r->name), name);
  return r;
}

// The platform's open flags for BF_Open's.
uint32_t FileFlags(uint32_t flags) {
  uint32_t out = SYS_ACCESS_READ;
  if (flags & BF_OPEN_WRITE) out |= SYS_ACCESS_WRITE;
  if (flags & BF_OPEN_SEQUENTIAL) out |= SYS_OPEN_SEQUENTIAL;
  return out;
}

BF_Handle OpenLoose(const char *path, const char *name, uint32_t flags) {
  SYS_Handle f = SYS_FileOpenRead(path, FileFlags(flags));
  if (!f) return 0;
  OpenFileRecord *r = NewRecord(name);
  if (!r || !RegisterHandle(f, r)) {
    FreeRecord(r);
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
    file = archive ? SYS_FileOpenRead(archive->path.c_str(), FileFlags(flags)) : 0;
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
    FreeRecord(r);
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

}  // namespace

BF_Handle BF_Open(const char *name, uint32_t flags, bool retry) {
  if (!name) return 0;
  for (;;) {
    {
      StoreLock lock;
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

uint64_t BF_Seek(BF_Handle handle, int64_t offset, uint32_t origin) {
  StoreLock lock;
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
  StoreLock lock;
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
  StoreLock lock;
  if (!lock.held()) return;
  HandlePair *p = FindPair(handle);
  if (p && p->record) CloseLocked(p);
}
