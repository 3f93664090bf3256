// Fonts: file layout, save / load / copy round trips, the header and glyph
// record rules, and fonts rendered from an installed face.
#include <cstring>
#include <string>

#include "graphics_test_util.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/scratch.h"

using namespace gtest_util;

namespace {

std::vector<std::string> g_log;
void Sink(uint32_t, uint32_t, const char *line) {
  g_log.push_back(line);
}

// A font with three glyphs of different sizes and pixels.
c_GUIB_Font *SampleFont() {
  c_GUIB_Font *f = new c_GUIB_Font();
  AddBoxGlyph(f, 'A', 4, 6, 1);
  AddBoxGlyph(f, 'b', 3, 9, 0);
  AddBoxGlyph(f, 0x263A, 7, 5, 2);  // a 16-bit code
  return f;
}

void ExpectSameFont(const c_GUIB_Font *a, const c_GUIB_Font *b) {
  ASSERT_EQ(a->Codes(), b->Codes());
  EXPECT_EQ(a->GetFlags(), b->GetFlags());
  EXPECT_EQ(a->GetLineHeight(), b->GetLineHeight());
  EXPECT_EQ(a->GetAscent(), b->GetAscent());
  for (uint32_t code : a->Codes()) {
    const auto *ga = a->FindGlyph(code), *gb = b->FindGlyph(code);
    EXPECT_EQ(ga->width, gb->width) << code;
    EXPECT_EQ(ga->height, gb->height) << code;
    EXPECT_EQ(ga->overhang, gb->overhang) << code;
    EXPECT_EQ(ga->tint, gb->tint) << code;
    EXPECT_EQ(PixelsOf(ga->bitmap), PixelsOf(gb->bitmap)) << code;
  }
}

// Writes a font chunk by hand: header words, code list, and per code an
// optional glyph record of the given length and an optional bitmap.
struct HandFont {
  std::vector<uint32_t> header{80, 0, 1, 99, 7};
  std::vector<uint32_t> codes;
  struct Char {
    uint32_t code;
    std::vector<uint32_t> record;  // empty: no record
    bool bitmap;
  };
  std::vector<Char> chars;

  c_GUIB_RecordStore *Build() const {
    GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
    w->BeginChunk(GUIB_CHUNK_FONT, 0, nullptr);
    w->WriteRecord(1, header.data(), uint32_t(header.size() * 4));
    w->WriteRecord(2, codes.data(), uint32_t(codes.size() * 4));
    for (const Char &c : chars) {
      w->BeginChunk(GUIB_CHUNK_CHARACTER, c.code, nullptr);
      if (!c.record.empty()) w->WriteRecord(1, c.record.data(), uint32_t(c.record.size() * 4));
      if (c.bitmap) {
        const int32_t bw = c.record.empty() ? 1 : int32_t(c.record[0]);
        const int32_t bh = c.record.empty() ? 1 : int32_t(c.record[1]);
        GUIB_Ref<c_GUIB_Bitmap> b(MakeFilled(bw, bh, 0xFF000000));
        b->SaveToStore(w.get(), 0);
      }
      w->EndChunk();
    }
    w->EndChunk();
    return new c_GUIB_RecordStore(w->Data(), w->Size());
  }
};

}  // namespace

TEST(Font, SaveLoadAndCopyRoundTrip) {
  GUIB_Ref<c_GUIB_Font> f(SampleFont());
  GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
  ASSERT_EQ(f->SaveToStore(w.get(), 0), 0u);
  GUIB_Ref<c_GUIB_RecordStore> r(new c_GUIB_RecordStore(w->Data(), w->Size()));
  GUIB_Ref<c_GUIB_Font> loaded(new c_GUIB_Font());
  ASSERT_EQ(loaded->LoadFromStore(r.get(), 0), 0u);
  ExpectSameFont(f.get(), loaded.get());
  EXPECT_EQ(loaded->GetLineHeight(), 9);

  GUIB_Ref<c_GUIB_Font> copy(new c_GUIB_Font());
  ASSERT_EQ(copy->CopyFrom(f.get()), 0u);
  ExpectSameFont(f.get(), copy.get());
  // The copy owns its own glyph bitmaps.
  copy->FindGlyph('A')->bitmap->SetPixel(0, 0, 0x12345678);
  EXPECT_NE(f->FindGlyph('A')->bitmap->GetPixel(0, 0), 0x12345678u);

  // The file layout: header record and the list of codes.
  ASSERT_EQ(r->OpenChunk(GUIB_CHUNK_FONT, 0), 0u);
  const uint8_t *data = nullptr;
  uint32_t len = 0;
  ASSERT_EQ(r->ReadRecord(1, &data, &len), 0u);
  ASSERT_EQ(len, 20u);
  uint32_t head[5];
  std::memcpy(head, data, 20);
  EXPECT_EQ(head[0], 80u);
  EXPECT_EQ(head[1], 0u);
  ASSERT_EQ(r->ReadRecord(2, &data, &len), 0u);
  EXPECT_EQ(len, 12u);
  ASSERT_EQ(r->OpenChunk(GUIB_CHUNK_CHARACTER, 'A'), 0u);
  ASSERT_EQ(r->ReadRecord(1, &data, &len), 0u);
  EXPECT_EQ(len, 20u);
  ASSERT_EQ(r->OpenChunk(GUIB_CHUNK_BITMAP, 0), 0u);
}

TEST(Font, EmptyFontSavesHeaderOnly) {
  GUIB_Ref<c_GUIB_Font> f(new c_GUIB_Font());
  GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
  ASSERT_EQ(f->SaveToStore(w.get(), 3), 0u);
  GUIB_Ref<c_GUIB_RecordStore> r(new c_GUIB_RecordStore(w->Data(), w->Size()));
  GUIB_Ref<c_GUIB_Font> g(new c_GUIB_Font());
  // No code list: the load stops at record 2 with its code.
  EXPECT_EQ(g->LoadFromStore(r.get(), 3), GUIB_ERR_NOT_FOUND);
  EXPECT_EQ(g->LoadFromStore(r.get(), 4), GUIB_ERR_NOT_FOUND);
  EXPECT_EQ(g->GlyphCount(), 0u);
}

TEST(Font, HeaderRules) {
  SYS_SetLogSink(Sink);
  const std::string message = "c_GUIB_Font::LoadFromStore - corrupted file or wrong version";
  struct Case {
    std::vector<uint32_t> header;
    bool accepted;
  };
  const Case cases[] = {
      {{80, 0, 1, 99, 7}, true},  {{81, 0, 1, 99, 7}, true},
      {{79, 0, 1, 99, 7}, false}, {{80, 0, 1, 99, 7, 0}, false},  // 24 bytes
      {{80, 0, 1, 99}, false},                                    // 16 bytes
  };
  for (const Case &c : cases) {
    HandFont hand;
    hand.header = c.header;
    hand.codes = {'x'};
    hand.chars = {{'x', {2, 3, 0, 0xFF000000, 0}, true}};
    GUIB_Ref<c_GUIB_RecordStore> s(hand.Build());
    GUIB_Ref<c_GUIB_Font> f(new c_GUIB_Font());
    g_log.clear();
    EXPECT_EQ(f->LoadFromStore(s.get(), 0), 0u);
    EXPECT_EQ(f->GlyphCount(), c.accepted ? 1u : 0u) << c.header[0] << " " << c.header.size();
    EXPECT_EQ(!g_log.empty() && g_log.back().find(message) != std::string::npos, !c.accepted);
    if (c.accepted) {
      EXPECT_EQ(f->GetFlags(), 1u);
      EXPECT_EQ(f->GetAscent(), 7);
      EXPECT_EQ(f->GetLineHeight(), 3);  // the tallest glyph, not the header's 99
    }
    // The chunk was closed in every case.
    EXPECT_EQ(s->CloseChunk(), GUIB_ERR_NOTHING_OPEN);
  }
  SYS_SetLogSink(nullptr);
}

TEST(Font, GlyphRecordRules) {
  HandFont hand;
  hand.codes = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};
  hand.chars = {
      {'a', {3, 4, 1, 0xFF112233, 0}, true},      // a proper glyph
      {'b', {2, 2, 0, 0xFF000000, 0, 77}, true},  // 24-byte record: first 20 bytes count
      {'c', {2, 2, 0}, true},                     // 12-byte record: missing
      {'d', {}, true},                            // no record: missing
      {'e', {5, 6, 0, 0xFF000000, 0}, false},     // no bitmap: an empty one
      {'g', {0x7FFFFFFF, 2, 0, 0, 0}, false},     // no bitmap can be that wide: missing
                                                  // 'f' is listed but has no chunk: missing
  };
  GUIB_Ref<c_GUIB_RecordStore> s(hand.Build());
  GUIB_Ref<c_GUIB_Font> f(new c_GUIB_Font());
  ASSERT_EQ(f->LoadFromStore(s.get(), 0), 0u);
  EXPECT_EQ(f->Codes(), (std::vector<uint32_t>{'a', 'b', 'e'}));
  const auto *a = f->FindGlyph('a');
  EXPECT_EQ(a->width, 3);
  EXPECT_EQ(a->height, 4);
  EXPECT_EQ(a->overhang, 1);
  EXPECT_EQ(a->tint, 0xFF112233u);
  EXPECT_EQ(a->bitmap->Width(), 3u);
  EXPECT_EQ(f->FindGlyph('b')->width, 2);
  EXPECT_EQ(f->FindGlyph('e')->bitmap->Width(), 0u);
  EXPECT_EQ(f->GetLineHeight(), 6);
}

TEST_F(ScratchTest, FontFromFile) {
  GUIB_Ref<c_GUIB_Font> f(SampleFont());
  GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
  ASSERT_EQ(f->SaveToStore(w.get(), 0), 0u);
  ASSERT_TRUE(machine.WriteFile(machine.Path("small.fnt"),
                                std::string(reinterpret_cast<const char *>(w->Data()), w->Size())));
  ASSERT_TRUE(machine.WriteFile(machine.Path("junk.fnt"), std::string(100, 'j')));
  const std::string root = machine.Work() + "\\";
  BF_MountParams params = {"*.cbf", root.c_str(), nullptr, 1, 1, 0};
  ASSERT_EQ(BF_Mount(&params), 1u);
  GUIB_Ref<c_GUIB_Font> loaded(new c_GUIB_Font("SMALL.FNT"));
  ExpectSameFont(f.get(), loaded.get());
  for (const char *name : {"junk.fnt", "missing.fnt"}) {
    GUIB_Ref<c_GUIB_Font> empty(new c_GUIB_Font(name));
    EXPECT_EQ(empty->GlyphCount(), 0u) << name;
    EXPECT_EQ(empty->GetLineHeight(), 0) << name;
    GUIB_Rect r{0, 0, 50, 50};
    empty->CalcTextRect("text", &r, 0);
    EXPECT_EQ(r.right, 0) << name;
  }
  BF_Unmount();
}
