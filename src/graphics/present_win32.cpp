// Puts bottom-up rows on a device context with SetDIBitsToDevice.
#include <windows.h>

#include "graphics/bitmap.h"

void iPresentRows(uintptr_t device, int32_t dx, int32_t dy, int32_t width, int32_t height,
                  uint32_t whole_bytes, const uint32_t *bottom_up) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = whole_bytes;
  SetDIBitsToDevice(reinterpret_cast<HDC>(device), dx, dy, DWORD(width), DWORD(height), 0, 0, 0,
                    UINT(height), bottom_up, &info, DIB_RGB_COLORS);
}
