// The system-facing parts of the graphics layer, run natively and (with GDI)
// under Wine: fonts rendered from a system face (FreeType with the face
// fontconfig matches natively), where the same glyph rules must hold; and
// Present, which must put rows right side up on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "graphics/graphics.h"
#include "screen.h"

namespace {

std::vector<uint32_t> PixelsOf(const c_GUIB_Bitmap *b) {
  if (!b->Pixels()) return {};
  return std::vector<uint32_t>(b->Pixels(), b->Pixels() + size_t(b->Width()) * b->Height());
}

GUIB_FontDesc Describe(const char *face, int32_t height, int32_t weight) {
  GUIB_FontDesc desc = {};
  desc.height = height;
  desc.weight = weight;
  desc.out_precision = 3;
  desc.clip_precision = 2;
  desc.quality = 1;
  desc.pitch_and_family = 0x22;
  std::strncpy(desc.face_name, face, sizeof desc.face_name - 1);
  return desc;
}

int Ink(const c_GUIB_Font::Glyph *g) {
  int sum = 0;
  for (uint32_t p : PixelsOf(g->bitmap)) sum += int(p >> 24);
  return sum;
}

}  // namespace

TEST(FontRender, GlyphRules) {
  GUIB_FontDesc desc = Describe("Tahoma", -11, 400);
  char face[256] = "";
  ASSERT_GT(GUIB_DescribeFontMatch(&desc, face, sizeof face), 0u);
  std::printf("Tahoma -11 is rendered with: %s\n", face);

  GUIB_Ref<c_GUIB_Font> f(new c_GUIB_Font());
  ASSERT_EQ(f->CreateFromWindowsFont(&desc, 32, 224), 0u);
  EXPECT_EQ(f->GetFlags() & GUIB_FONT_MASK, GUIB_FONT_MASK);
  EXPECT_GE(f->GlyphCount(), 90u);
  int32_t tallest = 0;
  for (uint32_t code : f->Codes()) {
    const c_GUIB_Font::Glyph *g = f->FindGlyph(code);
    // A drawable glyph of the asked range whose bitmap is its size, in the
    // mask's black; nothing drawn is fully clear.
    ASSERT_TRUE(code >= 32 && code < 256 && g->width >= 1 && g->height >= 1 && g->overhang >= 0 &&
                g->bitmap->Width() == uint32_t(g->width) &&
                g->bitmap->Height() == uint32_t(g->height) && g->tint == 0xFF000000u)
        << code;
    for (uint32_t p : PixelsOf(g->bitmap)) ASSERT_EQ(p & 0x00FFFFFF, 0u) << code;
    tallest = std::max(tallest, g->height);
  }
  EXPECT_EQ(f->GetLineHeight(), tallest);
  EXPECT_GE(f->GetLineHeight(), 11);
  EXPECT_LE(f->GetLineHeight(), 16);
  EXPECT_GT(f->GetAscent(), 0);
  EXPECT_LT(f->GetAscent(), f->GetLineHeight());
  // The space advances without ink; letters have ink; wide letters are wide.
  const c_GUIB_Font::Glyph *space = f->FindGlyph(' ');
  ASSERT_NE(space, nullptr);
  EXPECT_EQ(Ink(space), 0);
  ASSERT_NE(f->FindGlyph('M'), nullptr);
  EXPECT_GT(Ink(f->FindGlyph('M')), 10 * 128);
  EXPECT_GT(f->FindGlyph('W')->width, f->FindGlyph('i')->width);

  // The program's default font: characters 32 to 127.
  GUIB_FontDesc verdana = Describe("Verdana", -11, 400);
  GUIB_Ref<c_GUIB_Font> d(new c_GUIB_Font());
  ASSERT_EQ(d->CreateFromWindowsFont(&verdana, 32, 96), 0u);
  EXPECT_GE(d->GlyphCount(), 90u);
  EXPECT_EQ(d->FindGlyph(128), nullptr);
}

TEST(Present, RowsArriveRightSideUpAndClipped) {
  // 3 x 3 picture with distinct pixels; the rectangle is cut to the bitmap.
  GUIB_Ref<c_GUIB_Bitmap> b(new c_GUIB_Bitmap(3, 3));
  for (uint32_t i = 0; i < 9; ++i) b->Pixels()[i] = 0x80000000 | (i + 1) * 0x010203;
  const std::vector<uint32_t> screen = PresentOnScreen(b.get(), 2, 1, GUIB_Rect{1, 0, 9, 9}, 5, 4);
  const uint32_t P[10] = {0,        0x010203, 0x020406, 0x030609, 0x04080C,
                          0x050A0F, 0x060C12, 0x070E15, 0x081018, 0x09121B};
  const std::vector<uint32_t> expected = {0, 0, 0,    0,    0,  //
                                          0, 0, P[2], P[3], 0,  //
                                          0, 0, P[5], P[6], 0,  //
                                          0, 0, P[8], P[9], 0};
  EXPECT_EQ(screen, expected);
  // Nothing for a rectangle outside the bitmap.
  EXPECT_EQ(PresentOnScreen(b.get(), 0, 0, GUIB_Rect{3, 0, 6, 3}, 5, 4),
            std::vector<uint32_t>(20, 0));
}
