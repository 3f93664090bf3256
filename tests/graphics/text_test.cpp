// Text: advance rule, line feeds, alignment, wrapping with "...", tinting
// and 16-bit strings, on a font of box glyphs whose sizes are known.
#include <string>

#include "graphics_test_util.h"

using namespace gtest_util;

namespace {

const int32_t LH = 10;  // line height of the test font

// Letters 5 wide, 'W' 8 wide with overhang 1, '.' 2 wide, space 3 wide,
// tab 4 wide; all 10 high except '.' (6).
c_GUIB_Font *BoxFont() {
  c_GUIB_Font *f = new c_GUIB_Font();
  for (uint32_t c = 'a'; c <= 'z'; ++c) AddBoxGlyph(f, c, 5, LH, 0);
  for (uint32_t c = 'A'; c <= 'V'; ++c) AddBoxGlyph(f, c, 5, LH, 0);
  AddBoxGlyph(f, 'W', 8, LH, 1);
  AddBoxGlyph(f, '.', 2, 6, 0);
  AddBoxGlyph(f, ' ', 3, LH, 0);
  AddBoxGlyph(f, '\t', 4, LH, 0);
  // Mask glyphs take the colour they are drawn in: set flags bit 0 in the
  // saved header (chunk header 25, record header 24, then version, 0, flags).
  GUIB_Ref<c_GUIB_RecordStore> s(new c_GUIB_RecordStore());
  f->SaveToStore(s.get(), 0);
  std::string bytes(reinterpret_cast<const char *>(s->Data()), s->Size());
  bytes[25 + 24 + 8] = 1;
  GUIB_Ref<c_GUIB_RecordStore> r(new c_GUIB_RecordStore(bytes.data(), uint32_t(bytes.size())));
  c_GUIB_Font *mask = new c_GUIB_Font();
  mask->LoadFromStore(r.get(), 0);
  f->Release();
  return mask;
}

bool SameRect(const GUIB_Rect &a, const GUIB_Rect &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

c_GUIB_Bitmap *Canvas(int32_t w, int32_t h) {
  return MakeFilled(w, h, 0xFFFFFFFF);
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

TEST(Text, DrawStringInksOneBlock) {
  GUIB_Ref<c_GUIB_Font> f(BoxFont());
  struct Case {
    const char *text;
    int32_t x, y;
    GUIB_Rect ink;
  } cases[] = {
      // B one line below A, at the same x.
      {"A\nB", 2, 3, {2, 3, 7, 3 + 2 * LH}},
      // W inks columns 0..6 (its last column is its overhang), a starts at 7.
      {"Wa", 0, 0, {0, 0, 12, LH}},
      {"", 0, 0, {0, 0, 0, 0}},
      {nullptr, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case &c : cases) {
    GUIB_Ref<c_GUIB_Bitmap> b(Canvas(20, 30)), expected(Canvas(20, 30));
    f->DrawString(b.get(), 0xFFFF0000, c.x, c.y, c.text);
    expected->SetColor(0xFFFF0000);
    expected->Fill(c.ink);
    EXPECT_TRUE(SamePixels("draw_string", PixelsOf(b.get()), PixelsOf(expected.get()), 20, 30))
        << (c.text ? c.text : "null");
  }
}

TEST(Text, SixteenBitStringsDrawLikeEightBit) {
  GUIB_Ref<c_GUIB_Font> f(BoxFont());
  const char *narrow = "Wax\nby the sea. Long words wrap";
  std::vector<uint16_t> wide;
  for (const char *p = narrow; *p; ++p) wide.push_back(uint8_t(*p));
  wide.push_back(0);
  GUIB_Ref<c_GUIB_Bitmap> a(Canvas(60, 50)), b(Canvas(60, 50));
  f->iOutTextRect(a.get(), 0xFF336699, narrow, GUIB_Rect{1, 2, 58, 48});
  f->iOutTextRect(b.get(), 0xFF336699, wide.data(), GUIB_Rect{1, 2, 58, 48});
  EXPECT_TRUE(SamePixels("wide_vs_narrow", PixelsOf(b.get()), PixelsOf(a.get()), 60, 50));
  EXPECT_EQ(f->MeasureWrapped(wide.data(), 57), f->MeasureWrapped(narrow, 57));
  // Codes above 255 are their own glyphs.
  GUIB_Ref<c_GUIB_Font> g(new c_GUIB_Font());
  AddBoxGlyph(g.get(), 0x3042, 4, 4, 0);
  const uint16_t kana[] = {0x3042, 0x0042, 0x3042, 0};
  GUIB_Rect r{0, 0, 0, 0};
  g->CalcTextRect(kana, &r, 5);
  EXPECT_EQ(r.right, 8);
}

// iOutTextRect against the same lines drawn one by one with DrawString.
struct WrapCase {
  const char *name;
  const char *text;
  int32_t w, h;
  std::vector<const char *> lines;  // top down
};

TEST(Text, WrappingAndEllipsis) {
  const WrapCase cases[] = {
      // Words wrap whole; the space that ends a line is not drawn at the
      // start of the next.
      {"wrap_words", "abc def ghi", 40, 40, {"abc def ", "ghi"}},
      // A space that does not fit starts the new line and is not drawn.
      {"wrap_space", "abcdefg hij", 35, 40, {"abcdefg", "hij"}},
      // A word wider than the rectangle breaks inside itself.
      {"break_word", "abcdefghij", 22, 40, {"abcd", "efgh", "ij"}},
      // Line feeds.
      {"line_feed", "ab\ncd", 100, 40, {"ab", "cd"}},
      // Lower than two lines: one line, ending in "..." when the rest is
      // too wide.
      {"ellipsis", "abcdef ghijkl", 40, 15, {"abcdef ..."}},
      // The text fits on the last line: no ellipsis.
      {"fits", "abcdefgh", 40, 15, {"abcdefgh"}},
      // Two lines allowed: the second ends in "...".
      {"two_lines", "abc def ghi jkl mno", 40, 25, {"abc def ", "ghi jkl..."}},
      // A line feed on the last line ends the text.
      {"feed_on_last", "ab\ncd\nef", 100, 25, {"ab", "cd"}},
      // Lower than one line: nothing.
      {"too_low", "abc", 100, 9, {}},
  };
  GUIB_Ref<c_GUIB_Font> f(BoxFont());
  for (const WrapCase &c : cases) {
    const int32_t left = 3, top = 4;
    GUIB_Ref<c_GUIB_Bitmap> actual(Canvas(120, 60)), expected(Canvas(120, 60));
    f->iOutTextRect(actual.get(), 0xFF000000, c.text, GUIB_Rect{left, top, left + c.w, top + c.h});
    int32_t y = top;
    for (const auto &line : c.lines) {
      f->DrawString(expected.get(), 0xFF000000, left, y, line);
      y += LH;
    }
    EXPECT_TRUE(SamePixels(c.name, PixelsOf(actual.get()), PixelsOf(expected.get()), 120, 60))
        << c.text;
  }
}

TEST(Text, MeasureWrapped) {
  GUIB_Ref<c_GUIB_Font> f(BoxFont());
  // No height limit: no ellipsis, every line counts.
  const std::pair<const char *, int32_t> cases[] = {
      {"", 0}, {"abc", 1}, {"abc def ghi", 2}, {"a\n\nb", 3}, {"abc def ghi jkl mno", 3}};
  for (const auto &c : cases) EXPECT_EQ(f->MeasureWrapped(c.first, 40), c.second * LH) << c.first;
  EXPECT_EQ(f->MeasureWrapped("abcdefghij", 22), 3 * LH);
}

TEST(Text, TintingHappensOncePerColour) {
  GUIB_Ref<c_GUIB_Font> f(BoxFont());
  GUIB_Ref<c_GUIB_Bitmap> b(Canvas(40, 10));
  f->DrawString(b.get(), 0xFF00FF00, 0, 0, "a");
  // Paint the glyph bitmap behind the font's back: while the colour stays,
  // the glyph is not tinted again, so the change shows.
  c_GUIB_Bitmap *glyph = f->FindGlyph('a')->bitmap;
  glyph->SetPixel(0, 0, 0xFF123456);
  f->DrawString(b.get(), 0xFF00FF00, 10, 0, "a");
  EXPECT_EQ(b->GetPixel(10, 0), 0xFF123456u);
  f->DrawString(b.get(), 0xFFFF0000, 20, 0, "a");
  EXPECT_EQ(b->GetPixel(20, 0), 0xFFFF0000u);
  // A font without the mask flag draws glyphs in their own colours.
  GUIB_Ref<c_GUIB_Font> plain(new c_GUIB_Font());
  AddBoxGlyph(plain.get(), 'q', 2, 2, 0);
  plain->DrawString(b.get(), 0xFFFF0000, 30, 0, "q");
  EXPECT_EQ(b->GetPixel(30, 0), 0xFF000000u);
}
