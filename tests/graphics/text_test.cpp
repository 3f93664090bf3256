// Text measuring: the advance rule, line feeds and alignment, on a font of
// box glyphs whose sizes are known. Wrapping and drawing show in the
// reference frames.
#include "graphics_test_util.h"

using namespace gtest_util;

namespace {

const int32_t LH = 10;  // line height of the test font

// Letters 5 wide, 'W' 8 wide with overhang 1, '.' 2 wide (6 high), space 3
// wide; the others 10 high.
c_GUIB_Font *BoxFont() {
  c_GUIB_Font *f = new c_GUIB_Font();
  for (uint32_t c = 'a'; c <= 'z'; ++c) AddBoxGlyph(f, c, 5, LH, 0);
  for (uint32_t c = 'A'; c <= 'V'; ++c) AddBoxGlyph(f, c, 5, LH, 0);
  AddBoxGlyph(f, 'W', 8, LH, 1);
  AddBoxGlyph(f, '.', 2, 6, 0);
  AddBoxGlyph(f, ' ', 3, LH, 0);
  return f;
}

bool SameRect(const GUIB_Rect &a, const GUIB_Rect &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(Text, MeasureAndAlign) {
  GUIB_Ref<c_GUIB_Font> f(BoxFont());
  struct Case {
    const char *text;
    GUIB_Rect in;
    uint32_t flags;
    GUIB_Rect out;
  } cases[] = {
      // Overhang counts only when another character follows.
      {"W", {0, 0, 0, 0}, 5, {0, 0, 8, LH}},
      {"WW", {0, 0, 0, 0}, 5, {0, 0, 15, LH}},
      {"W\n", {0, 0, 0, 0}, 5, {0, 0, 7, 2 * LH}},
      // Two line feeds and a glyph: three lines; the widest line counts.
      {"ab\nabc\na", {0, 0, 0, 0}, 5, {0, 0, 15, 3 * LH}},
      {"ab\n", {0, 0, 0, 0}, 5, {0, 0, 10, 2 * LH}},
      {"", {3, 4, 50, 60}, 5, {3, 4, 3, 4}},
      // Characters without glyphs measure nothing, not even a line.
      {"~~", {0, 0, 9, 9}, 5, {0, 0, 0, 0}},
      // Flags 0 act as left | top.
      {"abc", {10, 20, 100, 80}, 0, {10, 20, 25, 30}},
      // 40 pixels of text right-aligned; left and right together: left
      // stays, right is the given right; bottom.
      {"abcdefgh", {0, 0, 100, 20}, 2, {60, 0, 100, 20}},
      {"abcdefgh", {0, 0, 100, 20}, 3, {0, 0, 100, 20}},
      {"abc", {0, 0, 100, 50}, 1 | 8, {0, 40, 15, 50}},
      // Centring rounds toward zero, also for text wider than the rectangle.
      {"abc", {0, 0, 100, 25}, 16 | 32, {42, 7, 57, 17}},
      {"abcdefgh", {10, 0, 31, 5}, 16 | 32, {1, -2, 41, 8}},
  };
  for (const Case &c : cases) {
    GUIB_Rect r = c.in;
    f->CalcTextRect(c.text, &r, c.flags);
    EXPECT_TRUE(SameRect(r, c.out)) << c.text << " flags " << c.flags << ": " << r.left << ","
                                    << r.top << "," << r.right << "," << r.bottom;
  }
  // 16-bit strings measure the same.
  const uint16_t wide[] = {'a', 'b', 10, 'W', 'W', 0};
  GUIB_Rect r{0, 0, 0, 0};
  f->CalcTextRect(wide, &r, 5);
  EXPECT_TRUE(SameRect(r, {0, 0, 15, 2 * LH}));
}
