// Enumeration by wildcard: names from the archive directory and from loose
// folders, collected at BF_FindFirst into the context's reserved region.
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"
#include "store/store.h"
#include "store/store_internal.h"

using namespace store_internal;

namespace {

// Wildcard match of the archive part: the store's rules, and a pattern
// longer than the name or in another directory never matches.
bool WildMatch(const char *name, const char *pattern) {
  size_t name_length = SYS_StrLen(name), pattern_length = SYS_StrLen(pattern);
  if (pattern_length > name_length) return false;
  char a[SYS_MAX_PATH], b[SYS_MAX_PATH];
  if (!UpperCopy(a, name) || !UpperCopy(b, pattern)) return false;
  char da[SYS_MAX_PATH], db[SYS_MAX_PATH];
  SYS_DirPart(da, sizeof da, a);
  SYS_DirPart(db, sizeof db, b);
  return SYS_StrCmp(da, db) == 0 && SYS_WildMatch(a, b, SYS_WILD_STORE);
}

struct Collector {
  BF_FindContext *context;
  std::unordered_set<std::string> seen;

  void Add(const char *name) {
    size_t length = SYS_StrLen(name);
    if (length == 0 || length > BF_MAX_NAME_LENGTH) return;  // does not fit the length byte
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
  if (dir[0] && (folder.size() >= SYS_MAX_PATH || !SYS_IsFolder(folder.c_str()))) return;
  CollectFolder(out, folder, dir, file, recursive);
}

void CollectLoose(Collector *out, const char *pattern, bool recursive) {
  CollectSource(out, "", pattern, recursive);
  for (int i = 0; i < 2; i++)
    if (g_store.root_length[i]) CollectSource(out, g_store.root[i], pattern, recursive);
}

}  // namespace

const char *BF_FindFirst(const char *pattern, bool recursive, BF_FindContext *context) {
  if (!pattern || !context) return nullptr;
  *context = {};
  char upper[SYS_MAX_PATH];
  if (!UpperCopy(upper, pattern)) return nullptr;
  {
    StoreLock lock;
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
