// The directory index: the entries of every mounted archive as nodes in a
// reserved pool, with an array of node pointers kept sorted by upper-case
// name for binary search. The first archive to bring a name keeps it.
#include "platform/platform.h"
#include "store/store.h"
#include "store/store_internal.h"

namespace store_internal {

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
  if (g_store.count >= BF_MAX_ENTRIES) return kFailed;
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

}  // namespace store_internal
