// BMP decoder: uncompressed, bottom-up, 24 bits or 8 bits with a palette.
#include <vector>

#include "graphics/image_internal.h"

using namespace image_internal;

bool DecodeBmp(const ImageSource &src, ImageInfo *out) {
  *out = ImageInfo();
  uint8_t file_head[14], info[40];
  if (!ReadAll(src, file_head, 14) || file_head[0] != 'B' || file_head[1] != 'M') return false;
  if (!ReadAll(src, info, 40)) return false;
  const uint32_t info_size = SYS_LoadLE32(info);
  const int32_t width = int32_t(SYS_LoadLE32(info + 4)), height = int32_t(SYS_LoadLE32(info + 8));
  const uint32_t depth = SYS_LoadLE16(info + 14), compression = SYS_LoadLE32(info + 16);
  const uint32_t colours_used = SYS_LoadLE32(info + 32);
  // Top-down files (negative height) and packed ones are not used here.
  if (compression != 0 || width < 0 || height < 0 || (depth != 24 && depth != 8)) return false;
  // Later header versions are longer; their extra fields carry nothing an
  // uncompressed file needs, so they are skipped.
  if (info_size < 40 || info_size > 1024) return false;
  uint8_t skip[1024 - 40];
  if (!ReadAll(src, skip, info_size - 40)) return false;

  // Palette: blue, green, red, unused; as many entries as the header says
  // are used (all 256 when it says 0). Indices past it read as black.
  uint8_t palette[256 * 4] = {};
  if (depth == 8) {
    const uint32_t entries = colours_used == 0 || colours_used > 256 ? 256 : colours_used;
    if (!ReadAll(src, palette, entries * 4)) return false;
  }
  if (!AllocPixels(out, uint32_t(width), uint32_t(height), 3, false)) return Fail(out);
  if (width == 0 || height == 0) return true;

  const uint32_t row_bytes = (uint32_t(width) * (depth / 8) + 3) & ~3u;
  std::vector<uint8_t> row(row_bytes);
  for (int32_t y = height - 1; y >= 0; --y) {
    if (!ReadAll(src, row.data(), row_bytes)) return Fail(out);
    uint8_t *dst = out->pixels + size_t(y) * uint32_t(width) * 3;
    for (int32_t x = 0; x < width; ++x, dst += 3) {
      const uint8_t *bgr = depth == 24 ? &row[size_t(x) * 3] : &palette[row[x] * 4];
      dst[0] = bgr[2];
      dst[1] = bgr[1];
      dst[2] = bgr[0];
    }
  }
  return true;
}
