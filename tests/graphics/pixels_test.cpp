// Copy and blend, checked against plain reference computations, at every
// edge of the target.
#include <random>

#include "graphics_test_util.h"

using namespace gtest_util;

namespace {

std::vector<uint32_t> Random(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> v(n);
  for (auto &p : v) p = rng();
  return v;
}

// Reference for both rectangle routines: a source pixel (sx + i, sy + j)
// lands on (tx + i, ty + j) when both exist; for a negative target start the
// source start moves instead (the routines' documented rule).
template <class Op>
std::vector<uint32_t> ReferenceRect(std::vector<uint32_t> target, int tw, int th, int tx, int ty,
                                    const std::vector<uint32_t> &source, int sw, int sh, int sx,
                                    int sy, int w, int h, Op op) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const int x = tx + i, y = ty + j, u = sx + i, v = sy + j;
      if (x < 0 || y < 0 || x >= tw || y >= th || u < 0 || v < 0 || u >= sw || v >= sh) continue;
      target[size_t(y) * tw + x] = op(source[size_t(v) * sw + u], target[size_t(y) * tw + x]);
    }
  return target;
}

uint32_t BlendOne(uint32_t s, uint32_t t) {
  const uint32_t a = s >> 24;
  if (a == 0) return t;
  if (a == 255 || (t >> 24) == 0) return s;
  uint32_t out = t & 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t cs = (s >> shift) & 255, ct = (t >> shift) & 255;
    out |= (((cs * (a + 1) + ct * (256 - a)) >> 8) & 255) << shift;
  }
  return out;
}

}  // namespace

TEST(CopyAndBlend, ClipAtEveryEdge) {
  const int tw = 7, th = 5, sw = 4, sh = 3;
  const auto source = Random(size_t(sw) * sh, 3);
  const auto start = Random(size_t(tw) * th, 4);
  for (int tx : {-5, -3, -1, 0, 2, 4, 6, 7, 9})
    for (int ty : {-4, -1, 0, 2, 4, 5})
      for (int sx : {0, 1, 3, 4})
        for (int sy : {0, 2, 3})
          for (int w : {0, 1, 3, 10})
            for (int h : {1, 2, 6}) {
              std::vector<uint32_t> copied = start, blended = start;
              CopyRect(copied.data(), tw, th, tx, ty, source.data(), sw, sh, sx, sy, w, h);
              BlendRect(blended.data(), tw, th, tx, ty, source.data(), sw, sh, sx, sy, w, h);
              // A negative target start skips as many source pixels.
              const int rsx = tx < 0 ? sx - tx : sx, rsy = ty < 0 ? sy - ty : sy;
              const int rtx = tx < 0 ? 0 : tx, rty = ty < 0 ? 0 : ty;
              const int rw = tx < 0 ? w + tx : w, rh = ty < 0 ? h + ty : h;
              const auto want_copy =
                  ReferenceRect(start, tw, th, rtx, rty, source, sw, sh, rsx, rsy, rw, rh,
                                [](uint32_t s, uint32_t) { return s; });
              const auto want_blend = ReferenceRect(start, tw, th, rtx, rty, source, sw, sh, rsx,
                                                    rsy, rw, rh, BlendOne);
              ASSERT_EQ(copied, want_copy)
                  << tx << " " << ty << " " << sx << " " << sy << " " << w << " " << h;
              ASSERT_EQ(blended, want_blend) << tx << " " << ty << " " << sx << " " << sy;
            }
}

TEST(CopyAndBlend, BitmapsWithoutPixelsTakePartInNothing) {
  GUIB_Ref<c_GUIB_Bitmap> none(new c_GUIB_Bitmap());
  GUIB_Ref<c_GUIB_Bitmap> some(MakeFilled(2, 2, 0xFF0000FF));
  some->BlendTo(none.get(), 0, 0, 0, 0, 2, 2);
  none->BlendTo(some.get(), 0, 0, 0, 0, 2, 2);
  EXPECT_EQ(some->GetPixel(1, 1), 0xFF0000FFu);
}

// 4200 x 4011 source pixels: a channel's weighted sum no longer fits in 32
// bits. Reduced to one pixel, thirds of three colours give their truncated
// mean; alpha and red are 255 everywhere, the largest sums there are.
TEST(Stretch, LargeSourcesKeepFullPrecision) {
  const int32_t w = 4200, h = 4011;
  const uint32_t colours[3] = {0xFFFF1428, 0xFFFFE0D0, 0xFFFF0304};
  std::vector<uint32_t> src(size_t(w) * h);
  for (size_t i = 0; i < src.size(); ++i) src[i] = colours[i % w / 1400];
  uint32_t one = 0, mean = 0;
  ASSERT_TRUE(Reduce(&one, 1, 1, src.data(), w, h));
  for (int c = 0; c < 32; c += 8)
    mean |= (((colours[0] >> c & 255) + (colours[1] >> c & 255) + (colours[2] >> c & 255)) / 3)
            << c;
  EXPECT_EQ(one, mean);
}
