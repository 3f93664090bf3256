#include "graphics/pixels.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/platform.h"

namespace {

struct Area {
  int32_t left, top, right, bottom;
};

bool Intersect(Area &a, int32_t width, int32_t height) {
  if (a.right <= 0 || a.bottom <= 0 || a.left >= width || a.top >= height) return false;
  if (a.left < 0) a.left = 0;
  if (a.top < 0) a.top = 0;
  if (a.right > width) a.right = width;
  if (a.bottom > height) a.bottom = height;
  return a.left < a.right && a.top < a.bottom;
}

// Works out the clipped copy: source and target start and the common size.
struct Span {
  int32_t sx, sy, tx, ty, w, h;
};

bool ClipRects(Span &out, int32_t tw, int32_t th, int32_t tx, int32_t ty, int32_t sw, int32_t sh,
               int32_t sx, int32_t sy, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  // 64-bit corners: callers may pass coordinates near the int32 limits.
  auto clamp = [](int64_t v) {
    return int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  Area s{clamp(tx < 0 ? int64_t(sx) - tx : sx), clamp(ty < 0 ? int64_t(sy) - ty : sy),
         clamp(int64_t(sx) + width), clamp(int64_t(sy) + height)};
  Area t{tx, ty, clamp(int64_t(tx) + width), clamp(int64_t(ty) + height)};
  if (!Intersect(s, sw, sh) || !Intersect(t, tw, th)) return false;
  out.sx = s.left;
  out.sy = s.top;
  out.tx = t.left;
  out.ty = t.top;
  out.w = s.right - s.left < t.right - t.left ? s.right - s.left : t.right - t.left;
  out.h = s.bottom - s.top < t.bottom - t.top ? s.bottom - s.top : t.bottom - t.top;
  return true;
}

}  // namespace

void CopyRect(uint32_t *target, int32_t tw, int32_t th, int32_t tx, int32_t ty,
              const uint32_t *source, int32_t sw, int32_t sh, int32_t sx, int32_t sy, int32_t width,
              int32_t height) {
  Span c;
  if (!target || !source || !ClipRects(c, tw, th, tx, ty, sw, sh, sx, sy, width, height)) return;
  const uint32_t *s = source + size_t(c.sy) * sw + c.sx;
  uint32_t *t = target + size_t(c.ty) * tw + c.tx;
  for (int32_t y = 0; y < c.h; ++y, s += sw, t += tw) SYS_Copy(t, s, size_t(c.w) * 4);
}

namespace {

inline uint32_t BlendPixel(uint32_t s, uint32_t t) {
  const uint32_t a = s >> 24;
  if (a == 0) return t;
  if (a == 255 || (t >> 24) == 0) return s;
  // Red and blue share one multiply: each 16-bit lane holds at most
  // 255 * (a + 1) + 255 * (256 - a) = 65535, so nothing carries over.
  const uint32_t sa = a + 1, ta = 256 - a;
  const uint32_t rb = (((s & 0x00FF00FF) * sa + (t & 0x00FF00FF) * ta) >> 8) & 0x00FF00FF;
  const uint32_t g = (((s & 0x0000FF00) * sa + (t & 0x0000FF00) * ta) >> 8) & 0x0000FF00;
  return (t & 0xFF000000) | rb | g;
}

#if defined(__SSE2__)
// Four pixels at a time, each channel in a 16-bit lane. The formula itself
// gives the target for a = 0 and the source colour for a = 255, so only the
// whole-source cases (a = 255, or a transparent target) need a select.
int32_t BlendRowSse2(uint32_t *t, const uint32_t *s, int32_t n) {
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
  const __m128i full = _mm_set1_epi16(256), alpha = _mm_set1_epi32(int(0xFF000000));
  const __m128i a255 = _mm_set1_epi32(255);
  int32_t x = 0;
  for (; x + 4 <= n; x += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + x));
    const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + x));
    __m128i half[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i s16 = h ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
      const __m128i t16 = h ? _mm_unpackhi_epi8(tv, zero) : _mm_unpacklo_epi8(tv, zero);
      const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
      const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s16, _mm_add_epi16(a, one)),
                                        _mm_mullo_epi16(t16, _mm_sub_epi16(full, a)));
      half[h] = _mm_srli_epi16(sum, 8);
    }
    const __m128i mixed = _mm_or_si128(_mm_andnot_si128(alpha, _mm_packus_epi16(half[0], half[1])),
                                       _mm_and_si128(tv, alpha));
    const __m128i sa = _mm_srli_epi32(sv, 24), ta = _mm_srli_epi32(tv, 24);
    const __m128i take =
        _mm_andnot_si128(_mm_cmpeq_epi32(sa, zero),
                         _mm_or_si128(_mm_cmpeq_epi32(sa, a255), _mm_cmpeq_epi32(ta, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(t + x),
                     _mm_or_si128(_mm_and_si128(take, sv), _mm_andnot_si128(take, mixed)));
  }
  return x;
}
#endif

}  // namespace

void BlendRect(uint32_t *target, int32_t tw, int32_t th, int32_t tx, int32_t ty,
               const uint32_t *source, int32_t sw, int32_t sh, int32_t sx, int32_t sy,
               int32_t width, int32_t height) {
  if (tw < 1 || th < 1 || sw < 1 || sh < 1) return;
  Span c;
  if (!target || !source || !ClipRects(c, tw, th, tx, ty, sw, sh, sx, sy, width, height)) return;
  const uint32_t *srow = source + size_t(c.sy) * sw + c.sx;
  uint32_t *trow = target + size_t(c.ty) * tw + c.tx;
  for (int32_t y = 0; y < c.h; ++y, srow += sw, trow += tw) {
    int32_t x = 0;
#if defined(__SSE2__)
    x = BlendRowSse2(trow, srow, c.w);
#endif
    for (; x < c.w; ++x) trow[x] = BlendPixel(srow[x], trow[x]);
  }
}

namespace {

// For every target position along one axis: the first source index it
// covers and the overlap weight of each covered source index, in grid units.
struct AxisTable {
  std::vector<uint32_t> first;   // per target index
  std::vector<uint32_t> offset;  // per target index + 1, into weight
  std::vector<uint32_t> weight;
};

void BuildAxis(AxisTable &t, uint32_t n_target, uint32_t n_source) {
  t.first.resize(n_target);
  t.offset.resize(n_target + 1);
  t.weight.clear();
  t.weight.reserve(size_t(n_target) * (n_source / n_target + 2));
  for (uint32_t i = 0; i < n_target; ++i) {
    // Target pixel i covers [i * ns, (i + 1) * ns); source j covers
    // [j * nt, (j + 1) * nt).
    const uint64_t lo = uint64_t(i) * n_source, hi = lo + n_source;
    uint64_t j = lo / n_target;
    t.first[i] = uint32_t(j);
    t.offset[i] = uint32_t(t.weight.size());
    for (; j * n_target < hi; ++j) {
      const uint64_t a = j * n_target > lo ? j * n_target : lo;
      const uint64_t b = (j + 1) * n_target < hi ? (j + 1) * n_target : hi;
      t.weight.push_back(uint32_t(b - a));
    }
  }
  t.offset[n_target] = uint32_t(t.weight.size());
}

bool Resample(uint32_t *target, int32_t dw, int32_t dh, const uint32_t *source, int32_t sw,
              int32_t sh) {
  if (!target || !source || dw < 1 || dh < 1 || sw < 1 || sh < 1) return false;
  AxisTable ax, ay;
  BuildAxis(ax, uint32_t(dw), uint32_t(sw));
  BuildAxis(ay, uint32_t(dh), uint32_t(sh));
  // Every weight sum is sw * sh; a channel's sum is at most 255 times that.
  const uint64_t total = uint64_t(sw) * uint64_t(sh);
  const bool packed = total * 255 <= 0xFFFFFFFFu;
  uint32_t *out = target;
  for (int32_t ty = 0; ty < dh; ++ty) {
    const uint32_t *wy = &ay.weight[ay.offset[ty]];
    const uint32_t ny = ay.offset[ty + 1] - ay.offset[ty];
    const uint32_t *rows = source + size_t(ay.first[ty]) * sw;
    for (int32_t tx = 0; tx < dw; ++tx) {
      const uint32_t *wx = &ax.weight[ax.offset[tx]];
      const uint32_t nx = ax.offset[tx + 1] - ax.offset[tx];
      const uint32_t *col = rows + ax.first[tx];
      if (nx == 1 && ny == 1) {  // inside one source pixel: an exact copy
        *out++ = *col;
        continue;
      }
      if (packed) {
        // Blue and red, green and alpha share a 64-bit sum in 32-bit lanes.
        uint64_t br = 0, ga = 0;
        for (uint32_t j = 0; j < ny; ++j, col += sw) {
          for (uint32_t i = 0; i < nx; ++i) {
            const uint64_t w = uint64_t(wy[j]) * wx[i];
            const uint32_t p = col[i];
            br += ((p & 0xFF) | uint64_t((p >> 16) & 0xFF) << 32) * w;
            ga += (((p >> 8) & 0xFF) | uint64_t(p >> 24) << 32) * w;
          }
        }
        const uint32_t t = uint32_t(total);
        *out++ = (uint32_t(ga >> 32) / t) << 24 | (uint32_t(br >> 32) / t) << 16 |
                 (uint32_t(ga) / t) << 8 | uint32_t(br) / t;
        continue;
      }
      uint64_t b = 0, g = 0, r = 0, a = 0;
      for (uint32_t j = 0; j < ny; ++j, col += sw) {
        for (uint32_t i = 0; i < nx; ++i) {
          const uint64_t w = uint64_t(wy[j]) * wx[i];
          const uint32_t p = col[i];
          b += (p & 0xFF) * w;
          g += ((p >> 8) & 0xFF) * w;
          r += ((p >> 16) & 0xFF) * w;
          a += (p >> 24) * w;
        }
      }
      *out++ = uint32_t(a / total) << 24 | uint32_t(r / total) << 16 | uint32_t(g / total) << 8 |
               uint32_t(b / total);
    }
  }
  return true;
}

}  // namespace

bool Reduce(uint32_t *target, int32_t dw, int32_t dh, const uint32_t *source, int32_t sw,
            int32_t sh) {
  return Resample(target, dw, dh, source, sw, sh);
}

bool Enlarge(uint32_t *target, int32_t dw, int32_t dh, const uint32_t *source, int32_t sw,
             int32_t sh) {
  return Resample(target, dw, dh, source, sw, sh);
}

bool StretchPixels(uint32_t *target, int32_t nw, int32_t nh, const uint32_t *source, int32_t ow,
                   int32_t oh) {
  if ((nw > ow && nh >= oh)) return Enlarge(target, nw, nh, source, ow, oh);
  if (nw <= ow && nh <= oh) return Reduce(target, nw, nh, source, ow, oh);
  // One side grows, the other shrinks: enlarge first, then reduce.
  const int32_t iw = nw > ow ? nw : ow, ih = nw > ow ? oh : nh;
  uint32_t *tmp = static_cast<uint32_t *>(SYS_Alloc(size_t(iw) * ih * 4, "Stretch: tmp bitmap"));
  if (!tmp) return false;
  const bool ok = Enlarge(tmp, iw, ih, source, ow, oh) && Reduce(target, nw, nh, tmp, iw, ih);
  SYS_Free(tmp);
  return ok;
}
