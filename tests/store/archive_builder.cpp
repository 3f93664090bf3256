#include "archive_builder.h"

#include <zstd.h>

#include <random>

void BitStream::Put(uint32_t code, uint32_t width) {
  bits_ |= uint64_t(code) << count_;
  count_ += width;
  while (count_ >= 8) {
    bytes_ += char(bits_ & 0xFF);
    bits_ >>= 8;
    count_ -= 8;
  }
}

std::string BitStream::Bytes() const {
  std::string out = bytes_;
  if (count_) out += char(bits_ & 0xFF);
  return out;
}

std::string LiteralStream(const std::string &bytes) {
  BitStream s;
  uint32_t next = 257, width = 9;
  for (size_t i = 0; i < bytes.size(); i++) {
    s.Put(uint8_t(bytes[i]), width);
    if (i >= 1) {  // the decoder has added an entry: next code + 1 may need a wider code
      next++;
      if (next + 1 >= (1u << width)) width++;
    }
  }
  s.Put(256, width);
  return s.Bytes();
}

void Put32(std::string *s, size_t at, uint32_t v) {
  if (s->size() < at + 4) s->resize(at + 4, '\0');
  for (int i = 0; i < 4; i++) (*s)[at + i] = char(v >> (8 * i));
}

void Put64(std::string *s, size_t at, uint64_t v) {
  Put32(s, at, uint32_t(v));
  Put32(s, at + 4, uint32_t(v >> 32));
}

std::string ZstdFrame(const std::string &bytes) {
  std::string frame(ZSTD_compressBound(bytes.size()), '\0');
  frame.resize(ZSTD_compress(&frame[0], frame.size(), bytes.data(), bytes.size(), 1));
  return frame;
}

std::string BuildArchive(const std::vector<TestEntry> &entries) {
  std::string file(52, '\0');
  std::string dir;
  for (const TestEntry &e : entries) {
    uint64_t offset = file.size();
    if (e.method == 1 || e.method == 2) {
      std::vector<size_t> blocks = e.blocks;
      if (blocks.empty() && !e.content.empty()) blocks.push_back(e.content.size());
      size_t at = 0;
      for (size_t i = 0; i < blocks.size(); i++) {
        std::string part = e.content.substr(at, blocks[i]);
        std::string stream = e.method == 1 ? LiteralStream(part) : ZstdFrame(part);
        for (const auto &raw : e.raw_streams)
          if (raw.first == i) stream = raw.second;
        std::string header;
        header += "[..]";
        Put32(&header, 4, uint32_t(stream.size()));
        Put32(&header, 8, uint32_t(blocks[i]));
        file += header + stream;
        at += blocks[i];
      }
    } else {
      file += e.content;
    }
    std::string record(40, '\0');
    Put64(&record, 0, offset);
    Put32(&record, 8, 0x20);
    Put64(&record, 20, e.size_override != ~uint64_t(0) ? e.size_override : e.content.size());
    Put32(&record, 32, e.method);
    Put32(&record, 36, e.flags);
    dir += record + e.name + '\0';
  }
  uint64_t dir_offset = file.size();
  file += dir;
  file.replace(0, 4, "BIGF");
  Put64(&file, 8, file.size());
  Put32(&file, 16, uint32_t(entries.size()));
  Put64(&file, 20, dir_offset);
  Put32(&file, 28, uint32_t(dir.size()));
  return file;
}

std::string RandomBytes(size_t n, uint32_t seed, int range) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char &c : s) c = char(rng() % range);
  return s;
}
