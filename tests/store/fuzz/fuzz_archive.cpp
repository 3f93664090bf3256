// Fuzzes mounting an archive, enumerating it and reading every entry.
//
// The input is the archive file. Each entry is read once in large pieces
// and once in small pieces with seeks in between; what the large reads
// delivered must be a prefix of what the small ones delivered (a damaged
// block header ends a read with nothing, a failed block with what came
// before it), and no read may pass the entry's size.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/platform.h"
#include "store/store.h"

namespace {

const char *kPath = "C:\\fuzz.cbf";

std::vector<uint8_t> ReadAll(BF_Handle h, uint64_t size, uint32_t piece) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> buffer(piece);
  for (;;) {
    uint32_t n = BF_Read(h, buffer.data(), piece);
    if (n == 0) break;
    if (n > piece) abort();
    out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    if (out.size() > size) abort();
  }
  return out;
}

void Check(const char *name) {
  // Names that look absolute (a drive letter, or two leading backslashes) never
  // come from an archive.
  if (name[0] && (name[1] == ':' || (name[0] == '\\' && name[1] == '\\'))) return;
  BF_Handle whole = BF_Open(name, BF_OPEN_READ, false);
  if (!whole) abort();  // every other enumerated archive name opens
  uint64_t size = BF_GetSize(whole);
  std::vector<uint8_t> a = ReadAll(whole, size, 1 << 16);
  // At the end a read gives nothing.
  uint8_t byte;
  if (BF_Seek(whole, 0, 2) != size || BF_Read(whole, &byte, 1) != 0) abort();
  BF_Close(whole);

  BF_Handle pieces = BF_Open(name, BF_OPEN_READ | BF_OPEN_SEQUENTIAL, false);
  if (!pieces) return;
  std::vector<uint8_t> b = ReadAll(pieces, size, 7);
  if (a.size() > b.size() || (!a.empty() && memcmp(a.data(), b.data(), a.size()) != 0)) abort();
  // A backward seek re-walks the blocks and must give the same bytes.
  if (b.size() > 3) {
    BF_Seek(pieces, 1, 0);
    uint8_t again[3];
    if (BF_Read(pieces, again, 3) == 3 && memcmp(again, b.data() + 1, 3) != 0) abort();
  }
  BF_Close(pieces);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  std::random_device random;
  static std::string root =
      (std::filesystem::temp_directory_path() / ("fuzz-archive-" + std::to_string(random())))
          .string();
  if (!SYS_SetMachineRoot(root.c_str())) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  SYS_Handle f = SYS_FileCreate(kPath);
  if (!f) abort();
  if (size && SYS_FileWrite(f, data, uint32_t(size)) != 0) abort();
  SYS_FileClose(f);

  BF_MountParams params = {"*.cbf", nullptr, nullptr, 0, 0, 0};
  if (!BF_Mount(&params)) abort();
  if (BF_MountArchive(kPath, 0) == BF_OK) {
    std::vector<std::string> names;
    BF_FindContext context;
    for (const char *n = BF_FindFirst("*.*", true, &context); n; n = BF_FindNext(&context))
      names.push_back(n);
    for (const char *pattern : {"*", "A\\*.*", "?*.?"}) {
      for (const char *n = BF_FindFirst(pattern, true, &context); n; n = BF_FindNext(&context)) {
      }
      for (const char *n = BF_FindFirst(pattern, false, &context); n; n = BF_FindNext(&context)) {
      }
    }
    for (const std::string &n : names) Check(n.c_str());
  }
  BF_Unmount();
  return 0;
}
