// libFuzzer targets for the image decoders: one source file, built three
// times with IMAGE_KIND set to the decoder under test. The input is a whole
// file; every decoded byte is read so that the sanitizers see the buffer.
#include <cstddef>
#include <cstdint>

#include "graphics/graphics.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // Sides up to 16384 are legal, but a fuzzer that allocates a gigabyte per
  // input learns nothing more; the limit check itself is what matters.
  g_ImageMaxSide = 1024;
  ImageMemory memory{data, size, 0};
  ImageInfo info;
  if (DecodeImage(IMAGE_KIND, ImageMemorySource(&memory), &info)) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < info.byte_size; ++i) sum += info.pixels[i];
    if (info.byte_size != info.width * info.height * info.bytes_per_pixel) __builtin_trap();
    if (info.byte_size && !info.pixels) __builtin_trap();
    SYS_FreeSafe(info.pixels);
    return int(sum & 0);
  }
  if (info.pixels) __builtin_trap();  // a failed load leaves no buffer behind
  return 0;
}
