// cbf: makes, lists, extracts and checks the disc's archives.
//
//   cbf create OUT.cbf DIR [--prefix NAME] [--method lzw|zstd|store] [--block-size BYTES]
//              [--no-hash-list]
//   cbf list ARCHIVE
//   cbf extract ARCHIVE DIR [NAME...]
//   cbf verify ARCHIVE
//   cbf unlzw IN OUT CAPACITY
//
// Reading goes through the program's own store and decoder, so an archive
// that reads here reads on the disc. Every refusal is one line naming the
// file and the reason; the exit status is non-zero then.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "host.h"
#include "platform/platform.h"
#include "store/archive.h"
#include "store/hash_list.h"
#include "store/lzw.h"
#include "store/store.h"

namespace fs = std::filesystem;

namespace {

// Measured with bench/store/run.sh (blocks) on its 254 MiB mixed corpus:
// 64 KiB blocks pack it into 167.88 MB, 256 KiB into 167.50 MB, 1 MiB into
// 167.31 MB, and 4 or 16 MiB gain nothing more (blocks end sooner, when the
// decoder's code table is full). 1 MiB also bounds what an open packed entry
// holds decoded in memory.
const size_t kDefaultBlockSize = 1 << 20;
const size_t kMaxBlockSize = 64 << 20;
const uint32_t kReadPiece = 1 << 20;

void Refuse(const std::string &file, const std::string &reason) {
  std::fprintf(stderr, "cbf: %s: %s\n", file.c_str(), reason.c_str());
}

std::string Upper(std::string s) {
  for (char &c : s) c = SYS_ToUpper(c);
  return s;
}

// Bytes, rate and a bar on a terminal; silent otherwise.
class Progress {
 public:
  explicit Progress(uint64_t total) : total_(total), on_(HostIsTerminal()) {
    start_ = last_ = std::chrono::steady_clock::now();
  }
  ~Progress() { Done(); }
  void Update(uint64_t done) {
    if (!on_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100) && done < total_) return;
    last_ = now;
    shown_ = true;
    double seconds = std::chrono::duration<double>(now - start_).count();
    double mib = 1024.0 * 1024.0;
    const int width = 30;
    int filled = total_ ? int(width * double(done) / double(total_)) : width;
    filled = std::min(filled, width);
    std::fprintf(stderr, "\r[%.*s%*s] %9.1f / %.1f MiB  %7.1f MiB/s ", filled,
                 "##############################", width - filled, "", double(done) / mib,
                 double(total_) / mib, seconds > 0 ? double(done) / mib / seconds : 0.0);
    std::fflush(stderr);
  }
  void Done() {
    if (shown_) std::fprintf(stderr, "\n");
    shown_ = false;
  }

 private:
  uint64_t total_;
  bool on_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_, last_;
};

const char *MountError(uint32_t code) {
  switch (code) {
    case BF_ERR_FORMAT:
      return "not an archive (bad header, size or directory records)";
    case BF_ERR_IO:
      return "the directory cannot be read";
    case BF_ERR_MEMORY:
      return "out of memory";
    case BF_ERR_DIRECTORY:
      return "the directory has an empty name or too many entries";
    default:
      return "cannot be opened";
  }
}

// The archive's records as written (names in their own case), read after
// the store has accepted the archive.
struct Listing {
  std::vector<DirectoryRecord> records;
  std::vector<uint8_t> directory;
  uint64_t file_size = 0;
};

bool ReadListing(const std::string &path, Listing *out) {
  std::FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t raw[BF_HEADER_SIZE];
  ArchiveHeader h;
  bool ok = std::fread(raw, 1, sizeof(raw), f) == sizeof(raw) && BF_ParseHeader(raw, &h);
  if (ok) {
    out->file_size = h.archive_size;
    ok = h.directory_size < out->directory.max_size();  // a 32-bit build and a huge directory
    if (ok) out->directory.assign(size_t(h.directory_size) + 1, 0);
    ok = ok && fs::file_size(path) == h.archive_size && h.directory_offset <= h.archive_size &&
         HostSeek(f, h.directory_offset) &&
         std::fread(out->directory.data(), 1, h.directory_size, f) == h.directory_size;
  }
  size_t at = 0;
  for (uint32_t i = 0; ok && i < h.entry_count; i++) {
    DirectoryRecord r;
    ok = BF_ParseRecord(out->directory.data(), h.directory_size, &at, &r);
    if (ok) out->records.push_back(r);
  }
  std::fclose(f);
  return ok;
}

// Mounts the archive alone into the store, then lists its records.
bool OpenArchive(const std::string &path, Listing *listing) {
  BF_MountParams params = {"*.cbf", nullptr, nullptr, 0, 0, 0};
  if (BF_Mount(&params) != BF_MOUNTED) {
    Refuse(path, "the store cannot be set up");
    return false;
  }
  uint32_t code = BF_MountArchive(HostStorePath(path).c_str(), 0);
  if (code != BF_OK) {
    Refuse(path, MountError(code));
    return false;
  }
  if (!ReadListing(path, listing)) {
    Refuse(path, "the directory cannot be read");
    return false;
  }
  return true;
}

// Sum of block headers and packed bytes of an entry; false when a block
// header is damaged.
bool PackedSize(const std::string &path, const DirectoryRecord &r, uint64_t *packed) {
  if (r.method == BF_METHOD_STORED) {
    *packed = r.size;
    return true;
  }
  std::FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint64_t h = 0, content = 0;
  bool ok = true;
  while (ok && content < r.size) {
    uint8_t raw[BF_BLOCK_HEADER_SIZE];
    BlockHeader b;
    ok = HostSeek(f, r.data_offset + h) && std::fread(raw, 1, sizeof(raw), f) == sizeof(raw);
    if (!ok) break;
    BF_ParseBlockHeader(raw, &b);
    ok = b.magic == BF_BLOCK_MAGIC;
    content += b.unpacked_length;
    h += BF_BLOCK_HEADER_SIZE + uint64_t(b.packed_length);
  }
  std::fclose(f);
  *packed = h;
  return ok;
}

// ---------------------------------------------------------------- create

struct Source {
  std::string name;  // archive name
  std::string path;  // host path
  uint64_t size;
};

bool ParseSize(const char *text, size_t *out) {
  char *end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (!*text || *end || v == 0 || v > kMaxBlockSize) return false;
  *out = size_t(v);
  return true;
}

int Create(int argc, char **argv) {
  if (argc < 2) return 2;
  std::string out = argv[0], dir = argv[1], prefix;
  uint32_t method = BF_METHOD_LZW;
  size_t block_size = kDefaultBlockSize;
  // Without the list the archive is as older writers made it, which the
  // installer copies unchecked (also how the check's cost is measured).
  bool hash_list = true;
  for (int i = 2; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--no-hash-list") {
      hash_list = false;
    } else if (a == "--prefix" && i + 1 < argc) {
      prefix = argv[++i];
    } else if (a == "--method" && i + 1 < argc) {
      std::string m = argv[++i];
      if (m == "lzw")
        method = BF_METHOD_LZW;
      else if (m == "zstd")
        method = BF_METHOD_ZSTD;
      else if (m == "store")
        method = BF_METHOD_STORED;
      else
        return 2;
    } else if (a == "--block-size" && i + 1 < argc) {
      if (!ParseSize(argv[++i], &block_size)) {
        Refuse(argv[i], "block size must be 1 to " + std::to_string(kMaxBlockSize) + " bytes");
        return 1;
      }
    } else {
      return 2;
    }
  }
  std::replace(prefix.begin(), prefix.end(), '/', '\\');
  while (!prefix.empty() && prefix.back() == '\\') prefix.pop_back();
  while (!prefix.empty() && prefix.front() == '\\') prefix.erase(0, 1);
  if (!prefix.empty()) prefix += '\\';

  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    Refuse(dir, "not a folder");
    return 1;
  }
  std::vector<Source> sources;
  size_t skipped = 0;
  bool ok = true;
  fs::recursive_directory_iterator it(dir, fs::directory_options::none, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    fs::file_status st = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_directory(st)) continue;
    if (!fs::is_regular_file(st)) {
      skipped++;
      continue;
    }
    std::string name = prefix;
    bool first = true;
    for (const fs::path &part : fs::relative(it->path(), dir)) {
      std::string p = part.string();
      if (p.find('\\') != std::string::npos) {
        Refuse(it->path().string(), "a backslash in a name cannot be stored");
        ok = false;
      }
      if (!first) name += '\\';
      name += p;
      first = false;
    }
    if (name.size() > BF_MAX_NAME_LENGTH) {
      Refuse(it->path().string(),
             "the name is longer than " + std::to_string(BF_MAX_NAME_LENGTH) + " characters");
      ok = false;
    }
    sources.push_back({name, it->path().string(), uint64_t(it->file_size(ec))});
    if (ec) break;
  }
  if (ec) {
    Refuse(dir, "cannot be read: " + ec.message());
    return 1;
  }
  std::sort(sources.begin(), sources.end(),
            [](const Source &a, const Source &b) { return a.name < b.name; });
  // The hash list lies beside the prefix folder and is named after it, or
  // after the archive when there is no prefix.
  std::string list_name =
      prefix.empty() ? Upper(fs::path(out).stem().string()) : prefix.substr(0, prefix.size() - 1);
  list_name += BF_HASH_LIST_SUFFIX;
  std::map<std::string, std::string> seen = {{Upper(list_name), "the archive's hash list"}};
  uint64_t total = 0;
  for (const Source &s : sources) {
    auto [at, inserted] = seen.emplace(Upper(s.name), s.name);
    if (!inserted) {
      Refuse(s.path, "differs only in case from " + at->second);
      ok = false;
    }
    total += s.size;
  }
  if (!ok) return 1;
  if (sources.size() + 1 > BF_MAX_ENTRIES) {
    Refuse(dir, "more than " + std::to_string(BF_MAX_ENTRIES) + " files");
    return 1;
  }

  // Written under a temporary name and renamed at the end, so a failed run
  // leaves no half-written archive.
  std::string temporary = out + ".tmp";
  ArchiveWriter writer;
  Progress progress(total);
  writer.on_progress = [&](uint64_t done) { progress.Update(done); };
  if (!writer.Open(temporary)) {
    Refuse(out, "cannot be written");
    return 1;
  }
  std::string error;
  for (const Source &s : sources) {
    if (!writer.AddFile(s.name, s.path, method, block_size, &error)) {
      progress.Done();
      Refuse(error == "cannot be read" ? s.path : out, error);
      ok = false;
      break;
    }
  }
  if (ok && hash_list && !writer.AddHashList(list_name, method, block_size, &error)) {
    Refuse(out, error);
    ok = false;
  }
  if (ok && !writer.Finish(&error)) {
    Refuse(out, error);
    ok = false;
  }
  progress.Done();
  if (ok) {
    fs::rename(temporary, out, ec);
    if (ec) {
      Refuse(out, "cannot be written: " + ec.message());
      ok = false;
    }
  }
  if (!ok) {
    fs::remove(temporary, ec);
    return 1;
  }
  if (HostIsTerminal() && skipped)
    std::fprintf(stderr, "%zu links and special files left out\n", skipped);
  return 0;
}

// A hash list: an entry at the top named *.SHA256.
bool IsHashList(const DirectoryRecord &r) {
  const std::string name = Upper(r.name), suffix = BF_HASH_LIST_SUFFIX;
  return name.find('\\') == std::string::npos && name.size() > suffix.size() &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The archive's hash lists merged into one; false with a refusal line when
// one is there but damaged.
bool ReadHashLists(const std::string &archive, const Listing &listing, BF_HashList *out,
                   size_t *count) {
  bool ok = true;
  *count = 0;
  for (const DirectoryRecord &r : listing.records) {
    if (!IsHashList(r)) continue;
    ++*count;
    if (BF_LoadHashList(r.name, out) != 1) {
      Refuse(archive + ": " + r.name, "the hash list is damaged");
      ok = false;
    }
  }
  return ok;
}

// ---------------------------------------------------------------- list

int List(int argc, char **argv) {
  if (argc != 1) return 2;
  Listing listing;
  if (!OpenArchive(argv[0], &listing)) return 1;
  BF_HashList hashes;
  size_t lists = 0;
  int rc = ReadHashLists(argv[0], listing, &hashes, &lists) ? 0 : 1;
  for (const DirectoryRecord &r : listing.records) {
    auto recorded = hashes.find(Upper(r.name));
    char hex[2 * SYS_SHA256_SIZE + 1] = "";
    if (recorded != hashes.end()) SYS_Sha256Hex(recorded->second.data(), hex);
    uint64_t packed = 0;
    bool ok = PackedSize(argv[0], r, &packed);
    const char *method = r.method == BF_METHOD_STORED ? "store"
                         : r.method == BF_METHOD_LZW  ? "lzw"
                         : r.method == BF_METHOD_ZSTD ? "zstd"
                                                      : "unknown";
    std::printf("%-60s %12llu %12llu %s%s%s%s\n", r.name, (unsigned long long)r.size,
                (unsigned long long)packed, method, hex[0] ? " " : "", hex,
                ok ? "" : " (damaged block header)");
    if (!ok) rc = 1;
  }
  return rc;
}

// ---------------------------------------------------------------- extract, verify

// Reads one entry through the store into out (when given); false with a
// refusal line when it does not deliver exactly its size.
bool ReadEntry(const std::string &archive, const DirectoryRecord &r, std::FILE *out,
               std::vector<uint8_t> *buffer, Progress *progress, uint64_t *done,
               SYS_Sha256 *sha = nullptr) {
  std::string where = archive + ": " + r.name;
  if (r.method != BF_METHOD_STORED && r.method != BF_METHOD_LZW && r.method != BF_METHOD_ZSTD) {
    Refuse(where, "unknown packing method " + std::to_string(r.method));
    return false;
  }
  BF_Handle h = BF_Open(r.name, BF_OPEN_READ, false);
  if (!h) {
    Refuse(where, "cannot be opened");
    return false;
  }
  bool ok = BF_GetSize(h) == r.size;
  uint64_t got = 0;
  while (ok && got < r.size) {
    uint32_t n = BF_Read(h, buffer->data(), kReadPiece);
    if (n == 0) break;
    if (sha) SYS_Sha256Update(sha, buffer->data(), n);
    if (out && std::fwrite(buffer->data(), 1, n, out) != n) {
      Refuse(where, "cannot write the extracted file");
      BF_Close(h);
      return false;
    }
    got += n;
    *done += n;
    progress->Update(*done);
  }
  BF_Close(h);
  if (!ok || got != r.size) {
    Refuse(where, "delivered " + std::to_string(got) + " of " + std::to_string(r.size) +
                      " bytes (damaged data)");
    return false;
  }
  return true;
}

// The records the program would see: the first of names equal but for case.
std::vector<DirectoryRecord> Visible(const Listing &listing) {
  std::vector<DirectoryRecord> out;
  std::map<std::string, bool> seen;
  for (const DirectoryRecord &r : listing.records)
    if (seen.emplace(Upper(r.name), true).second) out.push_back(r);
  return out;
}

int Extract(int argc, char **argv) {
  if (argc < 2) return 2;
  std::string archive = argv[0];
  fs::path dir = argv[1];
  Listing listing;
  if (!OpenArchive(archive, &listing)) return 1;
  std::vector<DirectoryRecord> records = Visible(listing);
  int rc = 0;
  if (argc > 2) {
    std::map<std::string, DirectoryRecord> by_name;
    for (const DirectoryRecord &r : records) by_name.emplace(Upper(r.name), r);
    records.clear();
    for (int i = 2; i < argc; i++) {
      auto at = by_name.find(Upper(argv[i]));
      if (at == by_name.end()) {
        Refuse(archive + ": " + argv[i], "not in the archive");
        rc = 1;
      } else {
        records.push_back(at->second);
      }
    }
  }
  uint64_t total = 0, done = 0;
  for (const DirectoryRecord &r : records) total += r.size;
  Progress progress(total);
  std::vector<uint8_t> buffer(kReadPiece);
  for (const DirectoryRecord &r : records) {
    std::string name = r.name;
    if (!SYS_IsSafeRelativePath(name.c_str())) {
      progress.Done();
      Refuse(archive + ": " + name, "the name would leave the target folder");
      rc = 1;
      continue;
    }
    std::replace(name.begin(), name.end(), '\\', '/');
    fs::path target = dir / fs::path(name);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    std::FILE *out = std::fopen(target.string().c_str(), "wb");
    if (!out) {
      progress.Done();
      Refuse(target.string(), "cannot be written");
      rc = 1;
      continue;
    }
    bool ok = ReadEntry(archive, r, out, &buffer, &progress, &done);
    if (std::fclose(out) != 0 && ok) {
      Refuse(target.string(), "cannot be written");
      ok = false;
    }
    if (!ok) rc = 1;
  }
  return rc;
}

int Verify(int argc, char **argv) {
  if (argc != 1) return 2;
  Listing listing;
  if (!OpenArchive(argv[0], &listing)) return 1;
  std::vector<DirectoryRecord> records = Visible(listing);
  BF_HashList hashes;
  size_t lists = 0;
  int bad = ReadHashLists(argv[0], listing, &hashes, &lists) ? 0 : 1;
  uint64_t total = 0, done = 0;
  for (const DirectoryRecord &r : records) total += r.size;
  Progress progress(total);
  std::vector<uint8_t> buffer(kReadPiece);
  size_t checked = 0;
  for (const DirectoryRecord &r : records) {
    SYS_Sha256 sha;
    SYS_Sha256Init(&sha);
    if (!ReadEntry(argv[0], r, nullptr, &buffer, &progress, &done, &sha)) {
      bad++;
      continue;
    }
    if (lists == 0 || IsHashList(r)) continue;
    // With a hash list, every other entry must be in it and match it.
    BF_Digest digest;
    SYS_Sha256Final(&sha, digest.data());
    auto recorded = hashes.find(Upper(r.name));
    const char *wrong = recorded == hashes.end()     ? "has no recorded SHA-256"
                        : recorded->second != digest ? "does not match its recorded SHA-256"
                                                     : nullptr;
    if (wrong) {
      progress.Done();
      Refuse(std::string(argv[0]) + ": " + r.name, wrong);
      bad++;
    } else {
      checked++;
    }
  }
  progress.Done();
  std::printf("%s: %zu entries, %llu bytes, %zu checked by SHA-256, %d damaged\n", argv[0],
              records.size(), (unsigned long long)done, checked, bad);
  return bad ? 1 : 0;
}

// ---------------------------------------------------------------- unlzw

int Unlzw(int argc, char **argv) {
  if (argc != 3) return 2;
  size_t capacity;
  char *end = nullptr;
  unsigned long long v = std::strtoull(argv[2], &end, 10);
  if (!*argv[2] || *end || v > 0xFFFFFFFFull) {
    Refuse(argv[2], "capacity must be 0 to 4294967295 bytes");
    return 1;
  }
  capacity = size_t(v);
  std::error_code ec;
  uint64_t length = fs::file_size(argv[0], ec);
  std::FILE *in = ec ? nullptr : std::fopen(argv[0], "rb");
  if (!in) {
    Refuse(argv[0], "cannot be read");
    return 1;
  }
  std::vector<uint8_t> source(size_t(length) + LZW_SOURCE_PADDING + 12, 0);
  bool read_ok = std::fread(source.data(), 1, size_t(length), in) == length;
  std::fclose(in);
  if (!read_ok) {
    Refuse(argv[0], "cannot be read");
    return 1;
  }
  std::vector<uint8_t> output(capacity + 16, 0);
  LZW_Context *c = LZW_Create(output.data(), capacity, source.data(), size_t(length));
  if (!c) {
    Refuse(argv[0], "no memory for the decoder");
    return 1;
  }
  bool ok = LZW_Decode(c);
  size_t produced = LZW_BytesProduced(c), consumed = LZW_BytesConsumed(c);
  LZW_Free(c);
  std::fflush(stdout);
  std::printf("%s: %s, %zu bytes produced, %zu of %llu packed bytes consumed\n", argv[0],
              ok ? "decoded" : "failed", produced, consumed, (unsigned long long)length);
  std::FILE *out = std::fopen(argv[1], "wb");
  if (!out || std::fwrite(output.data(), 1, produced, out) != produced || std::fclose(out) != 0) {
    Refuse(argv[1], "cannot be written");
    return 1;
  }
  return ok ? 0 : 1;
}

// The store asks about failed reads with a "Disk error" box. A command-line
// tool answers for the user: it reports the failure and gives up, so a
// damaged archive is reported instead of waiting on a dialog.
uint32_t AnswerDiskError(const char *text, const char *caption, uint32_t) {
  std::string line = text;
  for (char &c : line)
    if (c == '\n') c = ' ';
  std::fprintf(stderr, "cbf: %s: %s\n", caption, line.c_str());
  return SYS_ID_CANCEL;
}

int Usage() {
  std::fprintf(stderr,
               "usage: cbf create OUT.cbf DIR [--prefix NAME] [--method lzw|zstd|store] "
               "[--block-size BYTES] [--no-hash-list]\n"
               "       cbf list ARCHIVE\n"
               "       cbf extract ARCHIVE DIR [NAME...]\n"
               "       cbf verify ARCHIVE\n"
               "       cbf unlzw IN OUT CAPACITY\n");
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  int (*run)(int, char **) = command == "create"    ? Create
                             : command == "list"    ? List
                             : command == "extract" ? Extract
                             : command == "verify"  ? Verify
                             : command == "unlzw"   ? Unlzw
                                                    : nullptr;
  if (!run) return Usage();
  SysStartupInfo info = {sizeof(SysStartupInfo), "cbf", 0};
  SYS_Init(&info);
  SYS_SetMessageBoxAnswerer(AnswerDiskError);
  if (!HostInit()) {
    std::fprintf(stderr, "cbf: cannot set up the platform layer\n");
    return 1;
  }
  int rc = run(argc - 2, argv + 2);
  BF_Unmount();
  HostShutdown();
  SYS_Shutdown();
  return rc == 2 ? Usage() : rc;
}
