#include "archive_writer.h"

#include <zstd.h>

#include <cstring>
#include <filesystem>

#include "store/archive.h"
#include "store/hash_list.h"

namespace {

// zstd's strongest level before its "ultra" ones, which need a window
// larger than a block.
const int kZstdLevel = 19;

}  // namespace

ArchiveWriter::~ArchiveWriter() {
  if (file_) std::fclose(file_);
  ZSTD_freeCCtx(zstd_);
}

bool ArchiveWriter::Open(const std::string &path) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  uint8_t header[BF_HEADER_SIZE] = {};
  offset_ = 0;
  return Write(header, sizeof(header));  // rewritten by Finish
}

bool ArchiveWriter::Write(const void *data, size_t length) {
  if (length && std::fwrite(data, 1, length, file_) != length) return false;
  offset_ += length;
  return true;
}

bool ArchiveWriter::AddFile(const std::string &name, const std::string &source, uint32_t method,
                            size_t block_size, std::string *error) {
  std::FILE *in = std::fopen(source.c_str(), "rb");
  if (!in) {
    *error = "cannot be read";
    return false;
  }
  bool read_error = false;
  Reader read = [&](uint8_t *buffer, size_t bytes) {
    size_t n = std::fread(buffer, 1, bytes, in);
    if (n < bytes && std::ferror(in)) read_error = true;
    return n;
  };
  auto rewind = [&]() { std::rewind(in); };
  bool ok = AddEntry(name, read, rewind, method, block_size, error);
  std::fclose(in);
  if (ok && read_error) {
    *error = "cannot be read";
    ok = false;
  }
  return ok;
}

bool ArchiveWriter::AddBytes(const std::string &name, const uint8_t *data, size_t length,
                             uint32_t method, size_t block_size, std::string *error) {
  size_t at = 0;
  Reader read = [&](uint8_t *buffer, size_t bytes) {
    size_t n = std::min(bytes, length - at);
    if (n) std::memcpy(buffer, data + at, n);
    at += n;
    return n;
  };
  auto rewind = [&]() { at = 0; };
  return AddEntry(name, read, rewind, method, block_size, error);
}

bool ArchiveWriter::AddHashList(const std::string &name, uint32_t method, size_t block_size,
                                std::string *error) {
  std::string text;
  for (const Entry &e : entries_) text += BF_HashListLine(e.digest, e.name);
  return AddBytes(name, reinterpret_cast<const uint8_t *>(text.data()), text.size(), method,
                  block_size, error);
}

bool ArchiveWriter::AddEntry(const std::string &name, const Reader &source,
                             const std::function<void()> &rewind_source, uint32_t method,
                             size_t block_size, std::string *error) {
  // The content's hash is taken as it is read (again after a rewind).
  SYS_Sha256 sha;
  SYS_Sha256Init(&sha);
  Reader read = [&](uint8_t *buffer, size_t bytes) {
    size_t n = source(buffer, bytes);
    SYS_Sha256Update(&sha, buffer, n);
    return n;
  };
  auto rewind = [&]() {
    rewind_source();
    SYS_Sha256Init(&sha);
  };
  const uint64_t start = offset_;
  const uint64_t progress_start = progress_;
  if (block_size == 0) block_size = 1;
  std::vector<uint8_t> input(block_size);
  std::vector<uint8_t> packed;
  uint64_t size = 0;
  auto fail_write = [&]() {
    *error = "cannot write the archive";
    return false;
  };
  if (method == BF_METHOD_ZSTD) {
    if (!zstd_) zstd_ = ZSTD_createCCtx();
    if (!zstd_) {
      *error = "out of memory";
      return false;
    }
    std::vector<uint8_t> block(BF_BLOCK_HEADER_SIZE + ZSTD_compressBound(block_size));
    for (;;) {
      size_t n = 0, got;
      while (n < block_size && (got = read(input.data() + n, block_size - n)) > 0) n += got;
      if (n == 0) break;
      size_t z =
          ZSTD_compressCCtx(zstd_, block.data() + BF_BLOCK_HEADER_SIZE,
                            block.size() - BF_BLOCK_HEADER_SIZE, input.data(), n, kZstdLevel);
      if (ZSTD_isError(z)) {
        *error = "cannot pack with zstd";
        return false;
      }
      SYS_StoreLE32(block.data(), BF_BLOCK_MAGIC);
      SYS_StoreLE32(block.data() + 4, uint32_t(z));
      SYS_StoreLE32(block.data() + 8, uint32_t(n));
      if (!Write(block.data(), BF_BLOCK_HEADER_SIZE + z)) return fail_write();
      size += n;
      progress_ += n;
      if (on_progress) on_progress(progress_);
    }
  } else if (method == BF_METHOD_LZW) {
    size_t have = 0;
    bool end = false;
    while (!end || have) {
      if (!end && have < block_size) {
        size_t n = read(input.data() + have, block_size - have);
        if (n == 0) end = true;
        have += n;
        size += n;
        continue;
      }
      packed.assign(BF_BLOCK_HEADER_SIZE, 0);
      size_t used = packer_.Pack(input.data(), have, &packed);
      SYS_StoreLE32(packed.data(), BF_BLOCK_MAGIC);
      SYS_StoreLE32(packed.data() + 4, uint32_t(packed.size() - BF_BLOCK_HEADER_SIZE));
      SYS_StoreLE32(packed.data() + 8, uint32_t(used));
      if (!Write(packed.data(), packed.size())) return fail_write();
      std::memmove(input.data(), input.data() + used, have - used);
      have -= used;
      progress_ += used;
      if (on_progress) on_progress(progress_);
    }
  }
  // Packing did not pay: store the entry instead, over the blocks.
  if (method != BF_METHOD_STORED && offset_ - start >= size) {
    if (offset_ > start) {
      if (std::fflush(file_) != 0) return fail_write();
      std::error_code ec;
      std::filesystem::resize_file(path_, start, ec);
      if (ec || std::fseek(file_, 0, SEEK_END) != 0) return fail_write();
    }
    offset_ = start;
    progress_ = progress_start;
    rewind();
    method = BF_METHOD_STORED;
    size = 0;
  }
  if (method == BF_METHOD_STORED) {
    for (;;) {
      size_t n = read(input.data(), input.size());
      if (n == 0) break;
      if (!Write(input.data(), n)) return fail_write();
      size += n;
      progress_ += n;
      if (on_progress) on_progress(progress_);
    }
  }
  entries_.push_back({name, start, size, method, {}});
  SYS_Sha256Final(&sha, entries_.back().digest);
  return true;
}

bool ArchiveWriter::Finish(std::string *error) {
  std::vector<uint8_t> dir;
  for (const Entry &e : entries_) {
    size_t at = dir.size();
    dir.resize(at + BF_RECORD_FIXED_SIZE + e.name.size() + 1, 0);
    uint8_t *r = dir.data() + at;
    SYS_StoreLE64(r, e.offset);
    SYS_StoreLE32(r + 8, 0x20);  // archive attribute, as loose files have
    SYS_StoreLE64(r + 20, e.size);
    SYS_StoreLE32(r + 32, e.method);
    std::memcpy(r + BF_RECORD_FIXED_SIZE, e.name.data(), e.name.size());
  }
  uint64_t dir_offset = offset_;
  if (dir.size() > 0xFFFFFFFFu || !Write(dir.data(), dir.size())) {
    *error = "cannot write the directory";
    return false;
  }
  uint8_t header[BF_HEADER_SIZE] = {};
  SYS_StoreLE32(header, BF_ARCHIVE_MAGIC);
  SYS_StoreLE64(header + 8, offset_);
  SYS_StoreLE32(header + 16, uint32_t(entries_.size()));
  SYS_StoreLE64(header + 20, dir_offset);
  SYS_StoreLE32(header + 28, uint32_t(dir.size()));
  bool ok = std::fseek(file_, 0, SEEK_SET) == 0 &&
            std::fwrite(header, 1, sizeof(header), file_) == sizeof(header);
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (!ok) *error = "cannot write the header";
  return ok;
}
