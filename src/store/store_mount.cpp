// Setting the store up and down, and adding archives to its directory.
#include "platform/platform.h"
#include "store/store.h"
#include "store/store_internal.h"

namespace store_internal {

Store g_store;

}  // namespace store_internal

using namespace store_internal;

uint32_t BF_Mount(const BF_MountParams *params) {
  if (!params || g_store.mounted) return BF_MOUNT_FAILED;
  Store &s = g_store;
  const char *roots[2] = {params->root1, params->root2};
  for (int i = 0; i < 2; i++) {
    s.root[i][0] = 0;
    s.root_length[i] = 0;
    if (!roots[i]) continue;
    // Leaves room for the backslash appended below.
    if (SYS_StrLen(roots[i]) + 1 >= SYS_MAX_PATH || !SYS_IsFolder(roots[i])) return BF_MOUNT_FAILED;
    size_t n = SYS_StrCopy(s.root[i], sizeof s.root[i], roots[i]);
    SYS_StrUpper(s.root[i]);
    if (n == 0 || s.root[i][n - 1] != '\\') s.root[i][n++] = '\\', s.root[i][n] = 0;
    s.root_length[i] = n;
  }
  s.pool = static_cast<uint8_t *>(SYS_Reserve(kRegionBytes));
  s.index = static_cast<DirNode **>(SYS_Alloc(sizeof(DirNode *) * BF_MAX_ENTRIES, "BigFile index"));
  s.lock = SYS_CreateMutex(false);
  if (!s.pool || !s.index || !s.lock) {
    if (s.pool) SYS_ReleaseReserved(s.pool, kRegionBytes);
    SYS_FreeSafe(s.index);
    if (s.lock) SYS_CloseHandle(s.lock);
    s.pool = nullptr;
    s.index = nullptr;
    s.lock = 0;
    return BF_MOUNT_FAILED;
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
  return BF_MOUNTED;
}

void BF_Unmount() {
  Store &s = g_store;
  {
    StoreLock lock;
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
    DropSpareRecord();
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
  StoreLock lock;
  if (!lock.held() || !path) return BF_ERR_OPEN;
  // Mounted already (the folder page counts volume 1 before the copy).
  for (const ArchiveFile &a : g_store.archives)
    if (a.path == path) return BF_OK;
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
