// Headless screen: the device is a c_GUIB_Bitmap that keeps the presented
// frame. Like a real screen it clips to its own size and ignores alpha.
#include <cstddef>

#include "graphics/bitmap.h"

void iPresentRows(uintptr_t device, int32_t dx, int32_t dy, int32_t width, int32_t height, uint32_t,
                  const uint32_t *bottom_up) {
  c_GUIB_Bitmap *screen = reinterpret_cast<c_GUIB_Bitmap *>(device);
  if (!screen || !screen->Pixels()) return;
  const int64_t sw = screen->Width(), sh = screen->Height();
  for (int32_t row = 0; row < height; ++row) {
    const int64_t y = int64_t(dy) + row;
    if (y < 0 || y >= sh) continue;
    const uint32_t *src = bottom_up + size_t(height - 1 - row) * width;
    uint32_t *dst = screen->Pixels() + y * sw;
    for (int32_t col = 0; col < width; ++col) {
      const int64_t x = int64_t(dx) + col;
      if (x >= 0 && x < sw) dst[x] = src[col] | 0xFF000000;
    }
  }
}
