// Bitmaps: nothing is written outside them, too large a side is refused,
// and damaged stored bitmaps load as far as they are whole or not at all.
#include <set>
#include <utility>

#include "graphics_test_util.h"

using namespace gtest_util;

namespace {

std::set<std::pair<int, int>> Painted(const c_GUIB_Bitmap *b, uint32_t background) {
  std::set<std::pair<int, int>> out;
  for (uint32_t y = 0; y < b->Height(); ++y)
    for (uint32_t x = 0; x < b->Width(); ++x)
      if (b->GetPixel(int32_t(x), int32_t(y)) != background) out.insert({int(x), int(y)});
  return out;
}

}  // namespace

TEST(Bitmap, SizesAndPixels) {
  GUIB_Ref<c_GUIB_Bitmap> b(new c_GUIB_Bitmap(-3, 4));
  EXPECT_EQ(b->Width(), 0u);
  EXPECT_EQ(b->Pixels(), nullptr);
  b->Fill(GUIB_Rect{0, 0, 10, 10});  // nothing to fill, nothing to crash
  ASSERT_NE(b->SetSize(3, 2), nullptr);
  b->SetPixel(2, 1, 0x12345678);
  EXPECT_EQ(b->Pixels()[5], 0x12345678u);  // word y * width + x
  EXPECT_EQ(b->GetPixel(2, 1), 0x12345678u);
  // Outside the bitmap: nothing is written, black is read.
  const auto before = PixelsOf(b.get());
  for (auto xy : {std::pair<int, int>{-1, 0}, {3, 0}, {0, -1}, {0, 2}}) {
    b->SetPixel(xy.first, xy.second, 0xDEADBEEF);
    EXPECT_EQ(b->GetPixel(xy.first, xy.second), 0xFF000000u);
  }
  EXPECT_EQ(PixelsOf(b.get()), before);
  // Too large a side is refused rather than allocated.
  EXPECT_EQ(b->SetSize(GUIB_MAX_SIDE + 1, 1), nullptr);
  EXPECT_EQ(b->Width(), 0u);
}

TEST(Bitmap, LinesNeverLeaveTheBitmap) {
  // Lines between points far outside, in every direction, near the int32
  // limits too; the sanitizers watch the writes.
  const int32_t coords[] = {-2147483647, -100000, -7, -1, 0, 3, 6, 7, 8, 100000, 2147483647};
  GUIB_Ref<c_GUIB_Bitmap> b(MakeFilled(7, 5, 0));
  b->SetColor(0xFFFFFFFF);
  int drawn = 0;
  for (int32_t x0 : coords)
    for (int32_t y0 : coords)
      for (int32_t x1 : coords)
        for (int32_t y1 : {-7, 2, 9}) {
          b->Fill(GUIB_Rect{0, 0, 7, 5});
          b->SetColor(0);
          b->Fill(GUIB_Rect{0, 0, 7, 5});
          b->SetColor(0xFFFFFFFF);
          b->Line(x0, y0, x1, y1);
          drawn += !Painted(b.get(), 0).empty();
        }
  EXPECT_GT(drawn, 0);
}

TEST(Bitmap, DamagedStoredBitmapsLoadAsFarAsTheyAreWhole) {
  // Hand-made chunks: the pixel record longer than the size says, shorter,
  // a short size record, a side over the limit; no chunk of that id.
  GUIB_Ref<c_GUIB_RecordStore> bad(new c_GUIB_RecordStore());
  const struct {
    std::vector<uint32_t> head, pixels;
    bool loads;
    std::vector<uint32_t> loaded;
  } cases[] = {{{0, 0, 1, 1}, {5, 6, 7, 8}, true, {5}},
               {{0, 0, 2, 1}, {9}, true, {9, 0}},
               {{0, 0, 1}, {1}, false, {}},
               {{0, 0, 20000, 1}, {1}, false, {}}};
  for (uint32_t id = 0; id < 4; ++id) {
    bad->BeginChunk(GUIB_CHUNK_BITMAP, id, nullptr);
    bad->WriteRecord(1, cases[id].head.data(), uint32_t(cases[id].head.size() * 4));
    bad->WriteRecord(2, cases[id].pixels.data(), uint32_t(cases[id].pixels.size() * 4));
    bad->EndChunk();
  }
  for (uint32_t id = 0; id < 4; ++id) {
    GUIB_Ref<c_GUIB_Bitmap> x(new c_GUIB_Bitmap());
    EXPECT_EQ(x->LoadFromStore(bad.get(), id), cases[id].loads) << id;
    if (cases[id].loads) {
      EXPECT_EQ(PixelsOf(x.get()), cases[id].loaded) << id;
    }
  }
  EXPECT_FALSE(GUIB_Ref<c_GUIB_Bitmap>(new c_GUIB_Bitmap())->LoadFromStore(bad.get(), 8));
  // Every load closed its chunk: top-level searches still work.
  EXPECT_EQ(bad->OpenChunk(GUIB_CHUNK_BITMAP, 0), 0u);
}
