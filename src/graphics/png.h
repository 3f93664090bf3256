// PNG output of ARGB pixels and bitmaps: frame dumps, previews and test
// failures. Native only; the Windows build answers false.
#pragma once

#include <cstdint>

class c_GUIB_Bitmap;

// Rows top first, one 0xAARRGGBB word per pixel; written as 8-bit RGBA.
bool PNG_WriteArgb(const char *path, const uint32_t *pixels, uint32_t width, uint32_t height);
bool PNG_WriteBitmap(const char *path, const c_GUIB_Bitmap *bitmap);
