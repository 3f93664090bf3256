// The headless screen: a bitmap the device handle points to.
#include <cstddef>

#include "screen.h"

std::vector<uint32_t> PresentOnScreen(const c_GUIB_Bitmap *bitmap, int32_t dx, int32_t dy,
                                      const GUIB_Rect &rect, int32_t width, int32_t height) {
  c_GUIB_Bitmap *screen = new c_GUIB_Bitmap(width, height);
  screen->SetColor(0);
  screen->FillArea(0, 0, width, height);
  bitmap->Present(reinterpret_cast<uintptr_t>(screen), dx, dy, rect);
  std::vector<uint32_t> out(screen->Pixels(), screen->Pixels() + size_t(width) * height);
  for (uint32_t &p : out) p &= 0x00FFFFFF;
  screen->Release();
  return out;
}
