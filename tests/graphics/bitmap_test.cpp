// Reference counting, bitmap drawing operations and Present.
#include <cstring>
#include <set>
#include <utility>

#include "graphics_test_util.h"

using namespace gtest_util;

namespace {

// Counts destructions through a bitmap subclass.
int g_destroyed = 0;
class CountedBitmap : public c_GUIB_Bitmap {
 public:
  CountedBitmap() : c_GUIB_Bitmap(2, 2) {}

 protected:
  ~CountedBitmap() override { ++g_destroyed; }
};

std::set<std::pair<int, int>> Painted(const c_GUIB_Bitmap *b, uint32_t background) {
  std::set<std::pair<int, int>> out;
  for (uint32_t y = 0; y < b->Height(); ++y)
    for (uint32_t x = 0; x < b->Width(); ++x)
      if (b->GetPixel(int32_t(x), int32_t(y)) != background) out.insert({int(x), int(y)});
  return out;
}

}  // namespace

TEST(Object, LastReleaseDestroys) {
  g_destroyed = 0;
  c_GUIB_Bitmap *b = new CountedBitmap();
  b->AddRef();
  EXPECT_EQ(b->RefCount(), 2);
  b->Release();
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(b->RefCount(), 1);
  b->Release();
  EXPECT_EQ(g_destroyed, 1);
}

TEST(Object, StartupOnce) {
  GUIB_Shutdown();
  EXPECT_EQ(GUIB_Startup(), 0u);
  EXPECT_EQ(GUIB_Startup(), 1u);
  GUIB_Shutdown();
  EXPECT_EQ(GUIB_Startup(), 0u);
  GUIB_Shutdown();
}

TEST(Bitmap, SizesAndPixels) {
  GUIB_Ref<c_GUIB_Bitmap> b(new c_GUIB_Bitmap(-3, 4));
  EXPECT_EQ(b->Width(), 0u);
  EXPECT_EQ(b->Pixels(), nullptr);
  b->Fill(GUIB_Rect{0, 0, 10, 10});  // nothing to fill, nothing to crash
  ASSERT_NE(b->SetSize(3, 2), nullptr);
  uint32_t w = 0, h = 0;
  b->GetSize(&w, &h);
  EXPECT_EQ(w, 3u);
  EXPECT_EQ(h, 2u);
  EXPECT_EQ(b->GetColor(), 0xFF000000u);
  b->SetPixel(2, 1, 0x12345678);
  EXPECT_EQ(b->Pixels()[5], 0x12345678u);  // word y * width + x
  EXPECT_EQ(b->GetPixel(2, 1), 0x12345678u);
  const auto before = PixelsOf(b.get());
  for (auto xy : {std::pair<int, int>{-1, 0}, {3, 0}, {0, -1}, {0, 2}}) {
    b->SetPixel(xy.first, xy.second, 0xDEADBEEF);
    EXPECT_EQ(b->GetPixel(xy.first, xy.second), 0xFF000000u);
  }
  EXPECT_EQ(PixelsOf(b.get()), before);
  // Too large a side is refused rather than allocated.
  EXPECT_EQ(b->SetSize(GUIB_MAX_SIDE + 1, 1), nullptr);
  EXPECT_EQ(b->Width(), 0u);

  GUIB_Ref<c_GUIB_Bitmap> src(MakeBitmap(2, 1, {1, 2}));
  GUIB_Ref<c_GUIB_Bitmap> copy(new c_GUIB_Bitmap(src.get()));
  EXPECT_EQ(PixelsOf(copy.get()), (std::vector<uint32_t>{1, 2}));
}

TEST(Bitmap, FillClipsAndIgnoresEmpty) {
  GUIB_Ref<c_GUIB_Bitmap> b(MakeFilled(4, 3, 0));
  b->SetColor(0xFF00FF00);
  b->Fill(GUIB_Rect{5, 0, 9, 3});  // wholly right of it
  b->Fill(GUIB_Rect{1, 0, 1, 3});  // right == left
  b->Fill(GUIB_Rect{2, 2, 3, 1});  // bottom above top
  EXPECT_EQ(Painted(b.get(), 0).size(), 0u);
  b->FillArea(-5, 2, 2, 100);
  EXPECT_EQ(Painted(b.get(), 0), (std::set<std::pair<int, int>>{{0, 2}, {1, 2}}));
}

TEST(Bitmap, Lines) {
  struct Case {
    int w, h, x0, y0, x1, y1;
    std::set<std::pair<int, int>> pixels;
  };
  const Case cases[] = {
      // Clipped at both sides: the row inside.
      {5, 10, -10, 5, 10, 5, {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}},
      // Both ends left of the bitmap; both below it.
      {5, 5, -3, 0, -1, 4, {}},
      {5, 5, 0, 7, 4, 9, {}},
      // Shallow: the error walk steps a row once it reaches dx.
      {10, 10, 0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
      {10, 10, 4, 2, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
      // Rising shallow line: the start is the left end, rows go up.
      {10, 10, 0, 2, 4, 0, {{0, 2}, {1, 2}, {2, 1}, {3, 1}, {4, 0}}},
      // Steep, both directions.
      {10, 10, 0, 0, 1, 3, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},
      {10, 10, 1, 3, 0, 0, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},
      {10, 10, 3, 0, 2, 3, {{3, 0}, {3, 1}, {3, 2}, {2, 3}}},
      // One point.
      {3, 3, 1, 1, 1, 1, {{1, 1}}},
      // Crossing a corner outside: clipped at the left edge, then at the
      // bottom-right corner, which pulls the end in.
      {4, 4, -2, -2, 6, 6, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      // Passing outside the top-left corner: nothing.
      {10, 10, -6, 5, 5, -6, {}},
      // Vertical line through the whole bitmap.
      {3, 4, 1, -100, 1, 100, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
  };
  for (const Case &c : cases) {
    GUIB_Ref<c_GUIB_Bitmap> b(MakeFilled(c.w, c.h, 0));
    b->SetColor(0xFFFFFFFF);
    b->Line(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(Painted(b.get(), 0), c.pixels)
        << "line (" << c.x0 << "," << c.y0 << ")-(" << c.x1 << "," << c.y1 << ")";
  }
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

TEST(Bitmap, FrameRectIsInclusive) {
  GUIB_Ref<c_GUIB_Bitmap> b(MakeFilled(5, 5, 0));
  b->SetColor(0xFF0000FF);
  b->FrameRect(GUIB_Rect{1, 1, 3, 3});
  std::set<std::pair<int, int>> ring;
  for (int i = 1; i <= 3; ++i) ring.insert({{i, 1}, {i, 3}, {1, i}, {3, i}});
  EXPECT_EQ(Painted(b.get(), 0), ring);
}

TEST(Bitmap, FrameAndFill) {
  GUIB_Ref<c_GUIB_Bitmap> b(MakeFilled(6, 5, 0));
  b->SetColor(0xFF111111);
  b->FrameAndFill(GUIB_Rect{0, 0, 5, 4}, 0xFF222222);
  // Outline on (0,0)-(4,3), inside (1,1)-(4,3) exclusive.
  const uint32_t O = 0xFF111111, I = 0xFF222222;
  EXPECT_TRUE(SamePixels("frame_and_fill", PixelsOf(b.get()), {O, O, O, O, O, 0,  //
                                                               O, I, I, I, O, 0,  //
                                                               O, I, I, I, O, 0,  //
                                                               O, O, O, O, O, 0,  //
                                                               0, 0, 0, 0, 0, 0},
                         6, 5));
  EXPECT_EQ(b->GetColor(), O);
  // Below 3 x 3 there is no inside to fill.
  GUIB_Ref<c_GUIB_Bitmap> small(MakeFilled(3, 3, 0));
  small->SetColor(O);
  small->FrameAndFill(GUIB_Rect{0, 0, 2, 3}, I);
  EXPECT_EQ(Painted(small.get(), 0),
            (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}));
}

TEST(Bitmap, TintKeepsAlpha) {
  GUIB_Ref<c_GUIB_Bitmap> b(MakeBitmap(3, 1, {0x00000000, 0x80123456, 0xFF000000}));
  b->Tint(1, -5, 9, 9, 0x11AABBCC);
  EXPECT_EQ(PixelsOf(b.get()), (std::vector<uint32_t>{0x00000000, 0x80AABBCC, 0xFFAABBCC}));
}

TEST(Bitmap, PresentClipsAndFlipsBack) {
  // The headless screen receives the rectangle right side up and opaque.
  GUIB_Ref<c_GUIB_Bitmap> frame(MakeBitmap(3, 3,
                                           {0x01, 0x02, 0x03,  //
                                            0x04, 0x05, 0x06,  //
                                            0x07, 0x08, 0x09}));
  GUIB_Ref<c_GUIB_Bitmap> screen(MakeFilled(4, 3, 0));
  frame->Present(reinterpret_cast<uintptr_t>(screen.get()), 2, 1, GUIB_Rect{1, 0, 9, 9});
  const uint32_t Z = 0, F = 0xFF000000;
  EXPECT_TRUE(SamePixels("present", PixelsOf(screen.get()),
                         {Z, Z, Z, Z,                //
                          Z, Z, F | 0x02, F | 0x03,  //
                          Z, Z, F | 0x05, F | 0x06},
                         4, 3));
  // An empty rectangle presents nothing.
  GUIB_Ref<c_GUIB_Bitmap> blank(MakeFilled(4, 3, 0));
  frame->Present(reinterpret_cast<uintptr_t>(blank.get()), 0, 0, GUIB_Rect{3, 0, 5, 3});
  EXPECT_EQ(Painted(blank.get(), 0).size(), 0u);
}

TEST(Bitmap, RecordStoreRoundTripAndDamage) {
  GUIB_Ref<c_GUIB_RecordStore> store(new c_GUIB_RecordStore());
  GUIB_Ref<c_GUIB_Bitmap> b(MakeBitmap(2, 2, {1, 2, 3, 4}));
  ASSERT_EQ(b->SaveToStore(store.get(), 7), 0u);
  // Chunk 0x1001 id 7 with records 1 (0, 0, width, height) and 2 (pixels).
  const uint8_t *rec = nullptr;
  uint32_t len = 0;
  ASSERT_EQ(store->OpenChunk(GUIB_CHUNK_BITMAP, 7), 0u);
  ASSERT_EQ(store->ReadRecord(1, &rec, &len), 0u);
  ASSERT_EQ(len, 16u);
  uint32_t words[4];
  std::memcpy(words, rec, 16);  // records need not be aligned
  EXPECT_EQ(words[2], 2u);
  EXPECT_EQ(words[3], 2u);
  ASSERT_EQ(store->ReadRecord(2, &rec, &len), 0u);
  EXPECT_EQ(len, 16u);
  store->CloseChunk();

  GUIB_Ref<c_GUIB_Bitmap> back(new c_GUIB_Bitmap(store.get(), 7));
  EXPECT_EQ(PixelsOf(back.get()), PixelsOf(b.get()));
  GUIB_Ref<c_GUIB_Bitmap> missing(new c_GUIB_Bitmap());
  EXPECT_FALSE(missing->LoadFromStore(store.get(), 8));

  // Hand-made chunks: the pixel record longer than the size says, shorter,
  // a short size record, a side over the limit.
  auto write = [](c_GUIB_RecordStore *s, uint32_t id, std::vector<uint32_t> head,
                  std::vector<uint32_t> pixels) {
    s->BeginChunk(GUIB_CHUNK_BITMAP, id, nullptr);
    s->WriteRecord(1, head.data(), uint32_t(head.size() * 4));
    s->WriteRecord(2, pixels.data(), uint32_t(pixels.size() * 4));
    s->EndChunk();
  };
  GUIB_Ref<c_GUIB_RecordStore> bad(new c_GUIB_RecordStore());
  write(bad.get(), 1, {0, 0, 1, 1}, {5, 6, 7, 8});
  write(bad.get(), 2, {0, 0, 2, 1}, {9});
  write(bad.get(), 3, {0, 0, 1}, {1});
  write(bad.get(), 4, {0, 0, 20000, 1}, {1});
  GUIB_Ref<c_GUIB_Bitmap> x(new c_GUIB_Bitmap());
  EXPECT_TRUE(x->LoadFromStore(bad.get(), 1));
  EXPECT_EQ(PixelsOf(x.get()), (std::vector<uint32_t>{5}));
  EXPECT_TRUE(x->LoadFromStore(bad.get(), 2));
  EXPECT_EQ(PixelsOf(x.get()), (std::vector<uint32_t>{9, 0}));
  EXPECT_FALSE(x->LoadFromStore(bad.get(), 3));
  EXPECT_FALSE(x->LoadFromStore(bad.get(), 4));
  // Every load closed its chunk: top-level searches still work.
  EXPECT_EQ(bad->OpenChunk(GUIB_CHUNK_BITMAP, 1), 0u);
}
