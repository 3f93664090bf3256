// Figures for the store's benchmarks (run.sh drives them):
//
//   store_bench gen DIR MIB         game-like binary files (textures, height
//                                   maps, sound, level records), deterministic
//   store_bench read ARCHIVE NAME   the entry through the store in 64 KiB pieces
//   store_bench decode ARCHIVE NAME the entry's blocks decoded once, whole,
//                                   straight from the file (no store)
//
// read and decode print "seconds bytes peak_rss_kib".
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "host.h"
#include "platform/platform.h"
#include "store/archive.h"
#include "store/lzw.h"
#include "store/store.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Peak resident memory of this process in KiB, as Linux reports it.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 6, "VmHWM:") == 0) return std::atol(line.c_str() + 6);
  return 0;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &data) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// Textures: smooth gradients, tiled detail and a little noise, 32-bit pixels.
std::vector<uint8_t> Texture(std::mt19937 &rng, int size) {
  std::vector<uint8_t> out(size_t(size) * size * 4);
  int tile = 8 << (rng() % 3);
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      uint8_t *p = &out[(size_t(y) * size + x) * 4];
      int detail = ((x / tile + y / tile) & 1) * 24;
      p[0] = uint8_t(x * 255 / size + detail + rng() % 4);
      p[1] = uint8_t(y * 255 / size + detail);
      p[2] = uint8_t((x + y) * 127 / size);
      p[3] = 255;
    }
  return out;
}

// Height maps: sums of sines, 16-bit samples.
std::vector<uint8_t> HeightMap(std::mt19937 &rng, int size) {
  std::vector<uint8_t> out(size_t(size) * size * 2);
  double a = 0.01 + (rng() % 100) / 5000.0, b = 0.02 + (rng() % 100) / 4000.0;
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      double h = 20000 + 8000 * std::sin(x * a) * std::cos(y * b) + 3000 * std::sin((x + y) * b);
      uint16_t v = uint16_t(h) & 0xFFF8;
      memcpy(&out[(size_t(y) * size + x) * 2], &v, 2);
    }
  return out;
}

// Sound: 16-bit PCM, a few tones and noise.
std::vector<uint8_t> Sound(std::mt19937 &rng, size_t samples) {
  std::vector<uint8_t> out(samples * 2);
  double f = 200 + rng() % 800;
  for (size_t i = 0; i < samples; i++) {
    double s = 9000 * std::sin(i * f / 22050.0 * 6.283) + 3000 * std::sin(i * f / 8000.0) +
               int(rng() % 512) - 256;
    int16_t v = int16_t(s);
    memcpy(&out[i * 2], &v, 2);
  }
  return out;
}

// Level records: ids, positions on a grid, flags, and zero padding.
std::vector<uint8_t> Level(std::mt19937 &rng, size_t records) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < records; i++) {
    uint32_t rec[16] = {};
    rec[0] = uint32_t(i);
    rec[1] = rng() % 40;
    float pos[3] = {float(rng() % 256) * 4.0f, float(rng() % 16) * 8.0f, float(rng() % 256) * 4.0f};
    memcpy(&rec[2], pos, sizeof(pos));
    rec[5] = 0x3F800000;
    rec[6] = rng() % 2 ? 0x100 : 0;
    const uint8_t *b = reinterpret_cast<const uint8_t *>(rec);
    out.insert(out.end(), b, b + sizeof(rec));
  }
  return out;
}

int Generate(const std::string &dir, long mib) {
  std::mt19937 rng(1234);
  size_t total = 0, target = size_t(mib) << 20;
  for (int i = 0; total < target; i++) {
    std::vector<uint8_t> data;
    std::string name;
    switch (i % 4) {
      case 0:
        data = Texture(rng, 256 << (rng() % 3));
        name = "tex" + std::to_string(i) + ".raw";
        break;
      case 1:
        data = HeightMap(rng, 512);
        name = "height" + std::to_string(i) + ".map";
        break;
      case 2:
        data = Sound(rng, 200000 + rng() % 400000);
        name = "sound" + std::to_string(i) + ".pcm";
        break;
      default:
        data = Level(rng, 5000 + rng() % 20000);
        name = "level" + std::to_string(i) + ".lvl";
    }
    if (data.size() > target - total) data.resize(target - total);
    if (!WriteFile(dir + "/" + name, data)) return 1;
    total += data.size();
  }
  return 0;
}

int Read(const char *archive, const char *name) {
  BF_MountParams params = {"*.cbf", nullptr, nullptr, 0, 0, 0};
  if (!BF_Mount(&params) || BF_MountArchive(HostStorePath(archive).c_str(), 0) != BF_OK) return 1;
  BF_Handle h = BF_Open(name, BF_OPEN_READ, false);
  if (!h) return 1;
  std::vector<uint8_t> buffer(65536);
  uint64_t total = 0;
  double start = Now();
  for (uint32_t n; (n = BF_Read(h, buffer.data(), 65536)) > 0;) total += n;
  double seconds = Now() - start;
  BF_Close(h);
  BF_Unmount();
  std::printf("%.3f %llu %ld\n", seconds, (unsigned long long)total, PeakKiB());
  return 0;
}

std::string Upper(std::string s) {
  for (char &c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

int Decode(const char *archive, const char *name) {
  std::FILE *f = std::fopen(archive, "rb");
  if (!f) return 1;
  uint8_t raw[BF_HEADER_SIZE];
  ArchiveHeader h;
  if (std::fread(raw, 1, sizeof(raw), f) != sizeof(raw) || !BF_ParseHeader(raw, &h)) return 1;
  std::vector<uint8_t> dir(h.directory_size + 1);
  if (!HostSeek(f, h.directory_offset)) return 1;
  if (std::fread(dir.data(), 1, h.directory_size, f) != h.directory_size) return 1;
  size_t at = 0;
  DirectoryRecord r{};
  bool found = false;
  for (uint32_t i = 0; i < h.entry_count && !found; i++)
    found = BF_ParseRecord(dir.data(), h.directory_size, &at, &r) && Upper(r.name) == Upper(name);
  if (!found || r.method != BF_METHOD_LZW) return 1;
  if (!HostSeek(f, r.data_offset)) return 1;
  std::vector<uint8_t> packed, out;
  uint64_t total = 0;
  double start = Now();
  while (total < r.size) {
    BlockHeader b;
    if (std::fread(raw, 1, BF_BLOCK_HEADER_SIZE, f) != BF_BLOCK_HEADER_SIZE) return 1;
    BF_ParseBlockHeader(raw, &b);
    packed.assign(b.packed_length + 16, 0);
    out.resize(b.unpacked_length);
    if (std::fread(packed.data(), 1, b.packed_length, f) != b.packed_length) return 1;
    LZW_Context *c = LZW_Create(out.data(), out.size(), packed.data(), b.packed_length);
    if (!c || !LZW_Decode(c)) return 1;
    LZW_Free(c);
    total += b.unpacked_length;
  }
  double seconds = Now() - start;
  std::fclose(f);
  std::printf("%.3f %llu %ld\n", seconds, (unsigned long long)total, PeakKiB());
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 4 && !strcmp(argv[1], "gen")) return Generate(argv[2], std::atol(argv[3]));
  if (argc != 4) {
    std::fprintf(stderr, "usage: store_bench gen DIR MIB | read|decode ARCHIVE NAME\n");
    return 2;
  }
  SysStartupInfo info = {sizeof(SysStartupInfo), "bench", 0};
  SYS_Init(&info);
  if (!HostInit()) return 1;
  int rc = !strcmp(argv[1], "read") ? Read(argv[2], argv[3]) : Decode(argv[2], argv[3]);
  HostShutdown();
  return rc;
}
