#include "installer/files.h"

#include "installer/config.h"
#include "installer/scoped.h"
#include "installer/uninstall.h"
#include "store/store.h"

namespace {

const uint32_t kCopyBlock = 65536;
// Names this program's run folders in the temporary folder: the product's
// identity, so that the clean-up of stale folders touches no other program's.
const char kRunPrefix[] = INSTALLER_IDENTITY "-";
char g_run_folder[SYS_MAX_PATH];  // with a trailing backslash; "" until made

}  // namespace

bool INST_JoinPath(char *out, size_t size, const char *folder, const char *name) {
  size_t n = SYS_StrLen(folder);
  const char *separator = (n == 0 || folder[n - 1] == '\\') ? "" : "\\";
  if (n + SYS_StrLen(separator) + SYS_StrLen(name) >= size) return false;
  SYS_Format(out, size, "%s%s%s", folder ? folder : "", separator, name ? name : "");
  return true;
}

SYS_Handle INST_CreateFileWithFolders(const char *path) {
  SYS_Handle h = SYS_FileCreate(path);
  if (h) return h;
  size_t n = SYS_StrLen(path);
  if (n == 0 || n >= SYS_MAX_PATH) return 0;
  char folder[SYS_MAX_PATH];
  SYS_StrCopy(folder, sizeof folder, path);

  // Make every folder along the path; only the last one (the file's own
  // folder) decides whether the file can be created.
  bool last_ok = true;
  for (size_t i = 2; i < n; i++) {
    if (path[i] != '\\' || path[i - 1] == ':') continue;
    folder[i] = 0;
    last_ok = SYS_CreateDirectory(folder);
    folder[i] = '\\';
  }
  if (!last_ok) return 0;
  return SYS_FileCreate(path);
}

int INST_CopyStoreFile(const char *destination, const char *store_name) {
  ScopedStoreFile src;
  src.h = BF_OpenRetry(store_name, 0);
  if (!src.h) return 0;
  bool ok = false;
  {
    ScopedDiskFile dst;
    dst.h = SYS_FileCreate(destination);
    if (!dst.h) return 0;
    uint64_t remaining = BF_GetSize(src.h);
    void *buffer = SYS_Alloc(kCopyBlock, "Copy tmp");
    ok = remaining != BF_BAD_POS && buffer;
    while (ok && remaining > 0) {
      uint32_t n = remaining < kCopyBlock ? uint32_t(remaining) : kCopyBlock;
      ok = BF_ReadAll(src.h, buffer, n) && SYS_FileWrite(dst.h, buffer, n) == SYS_OK;
      remaining -= n;
    }
    SYS_FreeSafe(buffer);
  }
  // A half-written copy would later pass for the real file.
  if (!ok) SYS_FileDelete(destination);
  return ok ? 1 : 0;
}

int INST_OpenRunFolder() {
  char temp[SYS_MAX_PATH], pattern[SYS_MAX_PATH], path[SYS_MAX_PATH];
  if (SYS_GetTempDir(temp, sizeof temp) == 0) return 0;
  SYS_Format(pattern, sizeof pattern, "%s%s*", temp, kRunPrefix);
  {
    ScopedFind find;
    SYS_FindData entry;
    find.h = SYS_FindFirst(pattern, &entry);
    for (bool more = find.h != 0; more; more = SYS_FindNext(find.h, &entry)) {
      if (!(entry.attributes & SYS_ATTR_DIRECTORY) ||
          !INST_JoinPath(path, sizeof path, temp, entry.name))
        continue;
      // A link planted under the name goes, never what it points to. A
      // running copy's folder stays: its files are open and cannot go.
      if (entry.attributes & SYS_ATTR_REPARSE_POINT)
        SYS_RemoveDirectory(path);
      else
        INST_DeleteTree(path, SYS_StrLen(path), true);
    }
  }
  return SYS_CreateRunFolder(kRunPrefix, g_run_folder, sizeof g_run_folder) ? 1 : 0;
}

void INST_CloseRunFolder() {
  size_t n = SYS_StrLen(g_run_folder);
  if (n < 2) return;
  g_run_folder[n - 1] = 0;  // without its trailing backslash
  INST_DeleteTree(g_run_folder, n - 1, true);
  g_run_folder[0] = 0;
}

int INST_CopyToTemp(const char *store_name, char *out) {
  char name[SYS_MAX_PATH];
  char path[SYS_MAX_PATH];
  if (SYS_StrLen(store_name) >= SYS_MAX_PATH) return 0;
  SYS_FilePart(name, sizeof name, store_name);
  if (!g_run_folder[0] && !INST_OpenRunFolder()) return 0;
  if (!INST_JoinPath(path, sizeof(path), g_run_folder, name)) return 0;
  if (!INST_CopyStoreFile(path, store_name)) return 0;
  SYS_StrCopy(out, SYS_MAX_PATH, path);
  return 1;
}
