#include "lzw_pack.h"

#include "store/lzw.h"

namespace {

const unsigned kHashBits = 18;  // four times the entries one stream can add

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t> *out) : out_(out) {}
  void Put(uint32_t code, uint32_t width) {
    bits_ |= uint64_t(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      out_->push_back(uint8_t(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void Flush() {
    if (count_) out_->push_back(uint8_t(bits_));
    bits_ = 0;
    count_ = 0;
  }

 private:
  std::vector<uint8_t> *out_;
  uint64_t bits_ = 0;
  uint32_t count_ = 0;
};

inline uint32_t Hash(uint32_t key) {
  return (key * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

LzwPacker::LzwPacker() : table_(size_t(1) << kHashBits, Slot{0, 0, 0}) {}

size_t LzwPacker::Pack(const uint8_t *data, size_t length, std::vector<uint8_t> *out) {
  if (++generation_ == 0) {
    for (Slot &s : table_) s = Slot{0, 0, 0};
    generation_ = 1;
  }
  const uint32_t mask = (1u << kHashBits) - 1;
  BitWriter writer(out);
  uint32_t width = 9;
  uint32_t decoder_next = LZW_FIRST_CODE;  // the decoder's next code while it reads ours
  uint32_t next = LZW_FIRST_CODE;          // our own next free code
  size_t codes = 0;
  auto emit = [&](uint32_t code) {
    writer.Put(code, width);
    // The decoder adds an entry after each code but the first.
    if (++codes >= 2) {
      decoder_next++;
      if ((decoder_next + 1) >> width) width++;
    }
  };
  size_t used = length;
  if (length) {
    uint32_t prefix = data[0];
    size_t i = 1;
    for (; i < length; i++) {
      uint32_t key = ((prefix << 8) | data[i]) + 1;
      uint32_t h = Hash(key);
      while (table_[h].generation == generation_ && table_[h].key != key) h = (h + 1) & mask;
      if (table_[h].generation == generation_) {
        prefix = table_[h].code;
        continue;
      }
      emit(prefix);
      if (codes == kMaxCodes) break;  // the decoder's table is full: end here
      table_[h] = Slot{key, next++, generation_};
      prefix = data[i];
    }
    if (i < length) {
      used = i;
    } else {
      emit(prefix);
    }
  }
  writer.Put(LZW_END_CODE, width);
  writer.Flush();
  return used;
}
