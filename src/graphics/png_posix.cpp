#include <png.h>

#include <cstdio>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/png.h"

bool PNG_WriteArgb(const char *path, const uint32_t *pixels, uint32_t width, uint32_t height) {
  if (!path || width == 0 || height == 0 || !pixels) return false;
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    const uint32_t p = pixels[i];
    rgba[i * 4 + 0] = uint8_t(p >> 16);
    rgba[i * 4 + 1] = uint8_t(p >> 8);
    rgba[i * 4 + 2] = uint8_t(p);
    rgba[i * 4 + 3] = uint8_t(p >> 24);
  }
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGBA;
  const int ok = png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}

bool PNG_WriteBitmap(const char *path, const c_GUIB_Bitmap *bitmap) {
  return bitmap && PNG_WriteArgb(path, bitmap->Pixels(), bitmap->Width(), bitmap->Height());
}
