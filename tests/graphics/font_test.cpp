// Fonts: a save and load round trip through a file, and the header and
// glyph record rules that decide what a damaged or foreign font file gives.
#include <algorithm>
#include <cstdio>
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

// Flags, line height and ascent, then per glyph: code, width x height,
// overhang, tint, the bitmap's size and a sum of its pixels.
std::string Describe(const c_GUIB_Font *f) {
  std::string out = std::to_string(f->GetFlags()) + " " + std::to_string(f->GetLineHeight()) + " " +
                    std::to_string(f->GetAscent());
  for (uint32_t code : f->Codes()) {
    const c_GUIB_Font::Glyph *g = f->FindGlyph(code);
    uint64_t sum = 0;
    for (uint32_t p : PixelsOf(g->bitmap)) sum = sum * 31 + p;
    char text[128];
    std::snprintf(text, sizeof text, "; %u %dx%d+%d %08X %ux%u %llx", code, g->width, g->height,
                  g->overhang, g->tint, g->bitmap->Width(), g->bitmap->Height(),
                  (unsigned long long)sum);
    out += text;
  }
  return out;
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
  // Only a, b and e are kept; e with an empty bitmap. The line height is
  // the tallest kept glyph.
  const std::string d = Describe(f.get());
  EXPECT_EQ(d.substr(0, d.find(";")), "1 6 7");
  EXPECT_NE(d.find("; 97 3x4+1 FF112233 3x4 "), std::string::npos) << d;
  EXPECT_NE(d.find("; 98 2x2+0 FF000000 2x2 "), std::string::npos) << d;
  EXPECT_NE(d.find("; 101 5x6+0 FF000000 0x0 0"), std::string::npos) << d;
  EXPECT_EQ(std::count(d.begin(), d.end(), ';'), 3) << d;
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
  EXPECT_EQ(Describe(loaded.get()), Describe(f.get()));
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
