// Writes an archive: entries are appended one after the other (stored, or
// packed into LZW blocks), then the directory and, last, the header. An entry
// that does not shrink when packed is stored instead. The same inputs in the
// same order give the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "lzw_pack.h"
#include "platform/sha256.h"

struct ZSTD_CCtx_s;

class ArchiveWriter {
 public:
  // Counts the source bytes consumed so far (for progress displays).
  std::function<void(uint64_t)> on_progress;

  ~ArchiveWriter();
  bool Open(const std::string &path);
  // Adds an entry whose content comes from a file, or from memory.
  // method 1 packs with LZW, 2 with zstd (in blocks of at most block_size
  // bytes), 0 stores.
  bool AddFile(const std::string &name, const std::string &source, uint32_t method,
               size_t block_size, std::string *error);
  bool AddBytes(const std::string &name, const uint8_t *data, size_t length, uint32_t method,
                size_t block_size, std::string *error);
  // Adds the list of the SHA-256 of every entry added so far (see
  // store/hash_list.h) as the entry `name`.
  bool AddHashList(const std::string &name, uint32_t method, size_t block_size, std::string *error);
  // Writes directory and header and closes the file.
  bool Finish(std::string *error);

 private:
  struct Entry {
    std::string name;
    uint64_t offset, size;
    uint32_t method;
    uint8_t digest[SYS_SHA256_SIZE];
  };
  using Reader = std::function<size_t(uint8_t *, size_t)>;  // 0 at the end
  bool AddEntry(const std::string &name, const Reader &read, const std::function<void()> &rewind,
                uint32_t method, size_t block_size, std::string *error);
  bool Write(const void *data, size_t length);

  std::FILE *file_ = nullptr;
  std::string path_;
  uint64_t offset_ = 0;
  uint64_t progress_ = 0;
  std::vector<Entry> entries_;
  LzwPacker packer_;
  ZSTD_CCtx_s *zstd_ = nullptr;  // made for the first zstd entry
};
