// A memory device context over a top-down 32-bit DIB section.
#include <windows.h>

#include "screen.h"

std::vector<uint32_t> PresentOnScreen(const c_GUIB_Bitmap *bitmap, int32_t dx, int32_t dy,
                                      const GUIB_Rect &rect, int32_t width, int32_t height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, so rows read top first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> out;
  if (dc && dib && bits) {
    HGDIOBJ old = SelectObject(dc, dib);
    ZeroMemory(bits, size_t(width) * height * 4);
    bitmap->Present(reinterpret_cast<uintptr_t>(dc), dx, dy, rect);
    GdiFlush();
    const uint32_t *p = static_cast<const uint32_t *>(bits);
    out.assign(p, p + size_t(width) * height);
    for (uint32_t &v : out) v &= 0x00FFFFFF;
    SelectObject(dc, old);
  }
  if (dib) DeleteObject(dib);
  if (dc) DeleteDC(dc);
  return out;
}
