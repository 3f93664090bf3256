// A small archive writer for the tests, written from the format description
// alone (it shares no code with the cbf tool): header, entries, directory.
// Packed entries use literal-only LZW streams, whose code widths it works
// out itself, or streams the test supplies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestEntry {
  std::string name;
  std::string content;
  uint32_t method = 0;
  // Methods 1 and 2: unpacked lengths of the blocks (they must add up to the
  // content's length); empty means one block for all of it.
  std::vector<size_t> blocks;
  // Methods 1 and 2: replaces the packed bytes of block i (index, stream).
  std::vector<std::pair<size_t, std::string>> raw_streams;
  uint32_t flags = 0;
  uint64_t size_override = ~uint64_t(0);  // written instead of the content's size
};

// Appends codes least significant bit first.
class BitStream {
 public:
  void Put(uint32_t code, uint32_t width);
  std::string Bytes() const;  // the partly filled last byte included

 private:
  std::string bytes_;
  uint64_t bits_ = 0;
  uint32_t count_ = 0;
};

// One code per byte, then the end code; widths as a decoder that adds an
// entry after every code but the first reads them.
std::string LiteralStream(const std::string &bytes);

// One zstd frame of the bytes (method 2's blocks).
std::string ZstdFrame(const std::string &bytes);

// The whole archive file.
std::string BuildArchive(const std::vector<TestEntry> &entries);

// n bytes from a seeded generator, each below range.
std::string RandomBytes(size_t n, uint32_t seed, int range = 256);

// Little-endian helpers for tests that damage archives on purpose.
void Put32(std::string *s, size_t at, uint32_t v);
void Put64(std::string *s, size_t at, uint64_t v);
