// TGA decoder: types 1, 2, 3 and their run-length forms 9, 10, 11.
#include <vector>

#include "graphics/image_internal.h"

using namespace image_internal;

namespace {

struct TgaDecoder {
  uint32_t type;
  uint32_t step;       // source bytes per pixel
  uint32_t out_bpp;    // 3 or 4
  const uint8_t *map;  // colour map, entries of map_bytes bytes
  uint32_t map_length;
  uint32_t map_bytes;

  // Converts one source pixel to R, G, B (, A).
  void Put(const uint8_t *s, uint8_t *d) const {
    switch (type) {
      case 1:
      case 9: {
        // Indices past the map give black.
        if (s[0] >= map_length) {
          d[0] = d[1] = d[2] = 0;
        } else if (map_bytes >= 3) {
          const uint8_t *e = map + size_t(s[0]) * map_bytes;
          d[0] = e[2], d[1] = e[1], d[2] = e[0];
        } else {
          Put555(SYS_LoadLE16(map + size_t(s[0]) * 2), d);
        }
        break;
      }
      case 2:
      case 10:
        if (step == 2) {
          Put555(SYS_LoadLE16(s), d);
        } else {
          d[0] = s[2], d[1] = s[1], d[2] = s[0];
          if (out_bpp == 4) d[3] = s[3];
        }
        break;
      default:  // greyscale
        d[0] = d[1] = d[2] = s[0];
    }
  }

  static void Put555(uint32_t v, uint8_t *d) {
    d[0] = uint8_t(((v >> 10) & 31) << 3);
    d[1] = uint8_t(((v >> 5) & 31) << 3);
    d[2] = uint8_t((v & 31) << 3);
  }
};

}  // namespace

bool DecodeTga(const ImageSource &src, ImageInfo *out) {
  *out = ImageInfo();
  uint8_t h[18];
  if (!ReadAll(src, h, 18)) return false;
  const uint32_t id_length = h[0], type = h[2];
  const uint32_t map_length = SYS_LoadLE16(h + 5), map_entry_bits = h[7];
  const uint32_t width = SYS_LoadLE16(h + 12), height = SYS_LoadLE16(h + 14), depth = h[16];
  const uint32_t alpha_bits = h[17] & 15;
  const bool top_left = (h[17] & 0x20) != 0;
  uint64_t left = src.size == IMAGE_SIZE_UNKNOWN ? src.size : src.size - 18;

  // The pixel depth must be one the type can hold, or the data cannot match.
  const uint32_t base = type & 7;
  if ((type & ~8u) != base || base < 1 || base > 3) return false;
  if (base == 1 && depth != 8) return false;
  if (base == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
  if (base == 3 && depth != 8 && depth != 16) return false;
  if (type == 10 && depth < 24) return false;

  uint8_t skip[255];
  if (!ReadAll(src, skip, id_length)) return false;
  left -= left == IMAGE_SIZE_UNKNOWN ? 0 : id_length;
  const uint32_t map_size = map_length * map_entry_bits / 8;
  std::vector<uint8_t> map(map_size);
  if (map_size) {
    if (!ReadAll(src, map.data(), map_size)) return false;
    left -= left == IMAGE_SIZE_UNKNOWN ? 0 : map_size;
  }
  const uint32_t map_bytes = (map_entry_bits + 7) / 8;
  if (base == 1 && (map_size == 0 || map_bytes < 2)) return false;

  // Alpha is taken only from 32-bit true-colour pixels that say they have it.
  const uint32_t out_bpp = alpha_bits && base == 2 && depth == 32 ? 4 : 3;
  if (!AllocPixels(out, width, height, out_bpp, true)) return Fail(out);
  if (out_bpp == 4) out->flags = 1;
  if (!out->pixels) return true;

  // Raw data needs step bytes a pixel; run-length data at most one more byte
  // a pixel. Read no more than that, nor more than the file holds.
  const uint32_t step = depth / 8 ? (depth + 7) / 8 : 1;
  const uint64_t pixels = uint64_t(width) * height;
  uint64_t want = type >= 9 ? pixels * (step + 1) : pixels * step;
  if (want > left) want = left;
  std::vector<uint8_t> in(static_cast<size_t>(want));
  const uint32_t got = want ? src.read(src.context, in.data(), uint32_t(want)) : 0;

  const uint32_t map_count = map_bytes ? map_size / map_bytes : 0;
  TgaDecoder dec{
      base, step, out_bpp, map.data(), map_count < map_length ? map_count : map_length, map_bytes};
  const uint8_t *s = in.data(), *s_end = in.data() + got;
  uint8_t *d = out->pixels;
  uint64_t done = 0;
  // Decoding stops early, keeping the load, when the input is used up.
  if (type < 9) {
    for (; done < pixels && size_t(s_end - s) >= step; ++done, s += step, d += out_bpp)
      dec.Put(s, d);
  } else {
    while (done < pixels && s < s_end) {
      const uint32_t head = *s++;
      uint64_t count = (head & 127) + 1;
      if (count > pixels - done) count = pixels - done;  // a packet may not run past the image
      if (head & 128) {
        if (size_t(s_end - s) < step) break;
        for (uint64_t i = 0; i < count; ++i, d += out_bpp) dec.Put(s, d);
        s += step;
        done += count;
      } else {
        for (uint64_t i = 0; i < count && size_t(s_end - s) >= step; ++i, ++done) {
          dec.Put(s, d);
          s += step;
          d += out_bpp;
        }
      }
    }
  }

  if (!top_left) {
    const size_t row = size_t(width) * out_bpp;
    std::vector<uint8_t> tmp(row);
    for (uint32_t y = 0; y < height / 2; ++y) {
      uint8_t *a = out->pixels + y * row, *b = out->pixels + (height - 1 - y) * row;
      SYS_Copy(tmp.data(), a, row);
      SYS_Copy(a, b, row);
      SYS_Copy(b, tmp.data(), row);
    }
  }
  return true;
}
