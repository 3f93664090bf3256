// Helpers shared by the image decoders (not part of the module's interface).
#pragma once

#include <cstdint>

#include "graphics/image.h"
#include "platform/little_endian.h"
#include "platform/platform.h"

namespace image_internal {

inline bool ReadAll(const ImageSource &s, void *buffer, uint32_t bytes) {
  return s.read(s.context, buffer, bytes) == bytes;
}

// Sets the size fields and allocates a pixel buffer (none for an empty
// image), zeroed when the decoder may stop before filling it. False when a
// side exceeds the limit or memory runs out.
inline bool AllocPixels(ImageInfo *out, uint32_t width, uint32_t height, uint32_t bpp, bool clear) {
  if (width > g_ImageMaxSide || height > g_ImageMaxSide) return false;
  out->width = width;
  out->height = height;
  out->bytes_per_pixel = bpp;
  out->byte_size = width * height * bpp;
  out->pixels = nullptr;
  if (out->byte_size == 0) return true;
  out->pixels = static_cast<uint8_t *>(SYS_Alloc(out->byte_size, "Image data"));
  if (!out->pixels) return false;
  if (clear) SYS_Zero(out->pixels, out->byte_size);
  return true;
}

inline bool Fail(ImageInfo *out) {
  SYS_FreeSafe(out->pixels);
  out->pixels = nullptr;
  return false;
}

}  // namespace image_internal
