// Fuzzes the LZW decoder on raw streams, and the packer against it.
//
// Input: two bytes of output capacity, then the stream. The stream is also
// packed and decoded again, which must give it back exactly.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lzw_pack.h"
#include "store/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  size_t capacity = size_t(data[0]) << 8 | data[1];
  data += 2;
  size -= 2;

  // Exactly the padding the decoder may read: ASan sees anything beyond.
  std::vector<uint8_t> source(data, data + size);
  source.resize(size + LZW_SOURCE_PADDING, 0);
  std::vector<uint8_t> output(capacity);
  LZW_Context *c = LZW_Create(output.data(), capacity, source.data(), size);
  if (!c) abort();
  bool ok = LZW_Decode(c);
  if (LZW_BytesProduced(c) > capacity) abort();
  if (ok && LZW_BytesConsumed(c) > size + LZW_SOURCE_PADDING) abort();
  LZW_Free(c);

  static LzwPacker packer;
  size_t done = 0;
  do {
    std::vector<uint8_t> packed;
    size_t used = packer.Pack(data + done, size - done, &packed);
    if (used == 0 && done < size) abort();
    packed.resize(packed.size() + LZW_SOURCE_PADDING, 0);
    std::vector<uint8_t> back(used);
    c = LZW_Create(back.data(), used, packed.data(), packed.size() - LZW_SOURCE_PADDING);
    if (!c || !LZW_Decode(c) || LZW_BytesProduced(c) != used) abort();
    if (used && memcmp(back.data(), data + done, used) != 0) abort();
    LZW_Free(c);
    done += used;
  } while (done < size);
  return 0;
}
