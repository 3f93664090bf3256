// LZW packer: the exact counterpart of the store's decoder (store/lzw.h).
//
// It emits codes of the width the decoder will read them with (9 bits up,
// one bit more as soon as the decoder's next code + 1 reaches 2^width, the
// decoder adding each entry one code later than the packer), ends every
// stream with the end code, and never makes the decoder add more entries
// than its table holds: a stream ends early instead, and the caller starts
// a new block with the rest. The output depends only on the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class LzwPacker {
 public:
  LzwPacker();
  // Packs a prefix of data[0..length) into one stream appended to out and
  // returns how many bytes it holds (all of them unless the table filled).
  size_t Pack(const uint8_t *data, size_t length, std::vector<uint8_t> *out);

  // Data codes one stream may carry: the decoder adds an entry for each code
  // after the first, into slots 257..65537.
  static const size_t kMaxCodes = 65282;

 private:
  struct Slot {
    uint32_t key;  // (prefix << 8 | byte) + 1; 0 when empty
    uint32_t code;
    uint32_t generation;  // slots of older streams count as empty
  };
  std::vector<Slot> table_;
  uint32_t generation_ = 0;
};
