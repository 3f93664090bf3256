// fntmake: makes and inspects font files of the installer's format.
//
//   fntmake FACE HEIGHT OUT.fnt [--weight N] [--first N] [--count N]
//       renders a system face by name (natively: the face fontconfig
//       matches, drawn by FreeType) as the program renders its default font
//       and saves it; prints the face that was used
//   fntmake --info FONT.fnt
//       loads the file as the program does; prints "FLAGS LINE_HEIGHT ASCENT"
//       and then one line per glyph: "CODE WIDTH HEIGHT OVERHANG TINT SHA256"
//       (tint as 8 hex digits AARRGGBB; the hash over the bitmap's bytes as
//       held in memory: blue, green, red, alpha)
//   fntmake --preview FONT.fnt OUT.png [TEXT]
//       draws every glyph and a sample paragraph with the program's own text
//       layout (wrapping and "..." included)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "graphics/png.h"
#include "platform/sha256.h"
#include "tool_store.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: fntmake FACE HEIGHT OUT.fnt [--weight N] [--first N] [--count N]\n"
               "       fntmake --info FONT.fnt\n"
               "       fntmake --preview FONT.fnt OUT.png [TEXT]\n");
  return 2;
}

bool ParseInt(const char *text, long *out) {
  char *end = nullptr;
  *out = std::strtol(text, &end, 0);
  return end && end != text && *end == 0;
}

int Make(int argc, char **argv) {
  long height = 0, weight = 400, first = 32, count = 224;
  if (argc < 4 || !ParseInt(argv[2], &height)) return Usage();
  for (int i = 4; i < argc; i += 2) {
    long *target = !std::strcmp(argv[i], "--weight")  ? &weight
                   : !std::strcmp(argv[i], "--first") ? &first
                   : !std::strcmp(argv[i], "--count") ? &count
                                                      : nullptr;
    if (!target || i + 1 >= argc || !ParseInt(argv[i + 1], target)) return Usage();
  }
  if (first < 0 || count < 1 || first + count > 65536) return Usage();
  // The description the program uses for its default font, with this face,
  // height and weight.
  GUIB_FontDesc desc = {};
  desc.height = int32_t(height);
  desc.weight = int32_t(weight);
  desc.out_precision = 3;
  desc.clip_precision = 2;
  desc.quality = 1;
  desc.pitch_and_family = 0x22;
  std::strncpy(desc.face_name, argv[1], sizeof desc.face_name - 1);

  char face[512] = "";
  if (!GUIB_DescribeFontMatch(&desc, face, sizeof face)) {
    std::fprintf(stderr, "fntmake: no face matches \"%s\"\n", argv[1]);
    return 1;
  }
  GUIB_Ref<c_GUIB_Font> font(new c_GUIB_Font());
  if (font->CreateFromWindowsFont(&desc, uint32_t(first), uint32_t(count)) != GUIB_OK) {
    std::fprintf(stderr, "fntmake: cannot create the font \"%s\"\n", argv[1]);
    return 1;
  }
  GUIB_Ref<c_GUIB_RecordStore> store(new c_GUIB_RecordStore());
  if (font->SaveToStore(store.get(), 0) != GUIB_OK) {
    std::fprintf(stderr, "fntmake: the font does not fit into a font file\n");
    return 1;
  }
  std::FILE *f = std::fopen(argv[3], "wb");
  const bool written = f && std::fwrite(store->Data(), 1, store->Size(), f) == store->Size();
  if (f && std::fclose(f) != 0) return 1;
  if (!written) {
    std::fprintf(stderr, "fntmake: cannot write %s\n", argv[3]);
    return 1;
  }
  std::printf("%s: %zu glyphs, line height %d, ascent %d, from %s\n", argv[3], font->GlyphCount(),
              font->GetLineHeight(), font->GetAscent(), face);
  return 0;
}

// Loads a font file through the store, as the program loads its fonts.
c_GUIB_Font *LoadFont(const char *path) {
  const std::string name = ToolOpenStoreFor(path);
  if (name.empty()) return nullptr;
  return new c_GUIB_Font(name.c_str());
}

std::string Sha256Hex(const void *data, size_t size) {
  SYS_Sha256 sha;
  uint8_t digest[SYS_SHA256_SIZE];
  char hex[2 * SYS_SHA256_SIZE + 1];
  SYS_Sha256Init(&sha);
  SYS_Sha256Update(&sha, data, size);
  SYS_Sha256Final(&sha, digest);
  SYS_Sha256Hex(digest, hex);
  return hex;
}

int Info(const char *path) {
  GUIB_Ref<c_GUIB_Font> font(LoadFont(path));
  if (!font.get()) return 1;
  std::printf("%u %d %d\n", font->GetFlags(), font->GetLineHeight(), font->GetAscent());
  for (uint32_t code : font->Codes()) {
    const c_GUIB_Font::Glyph *g = font->FindGlyph(code);
    const c_GUIB_Bitmap *b = g->bitmap;
    const size_t bytes = b && b->Pixels() ? size_t(b->Width()) * b->Height() * 4 : 0;
    std::printf("%u %d %d %d %08X %s\n", code, g->width, g->height, g->overhang, g->tint,
                Sha256Hex(bytes ? b->Pixels() : nullptr, bytes).c_str());
  }
  return 0;
}

int Preview(const char *path, const char *png, const char *text) {
  GUIB_Ref<c_GUIB_Font> font(LoadFont(path));
  if (!font.get()) return 1;
  if (font->GlyphCount() == 0) {
    std::printf("fntmake: %s holds no glyphs\n", path);
    return 1;
  }
  const int32_t lh = font->GetLineHeight();
  int32_t widest = 1;
  for (uint32_t code : font->Codes()) widest = std::max(widest, font->FindGlyph(code)->width);
  const int32_t width = 640, margin = 8, columns = 16;
  const int32_t cell_w = std::max(widest + 8, 24), cell_h = lh + 6;
  const int32_t rows = int32_t((font->GlyphCount() + columns - 1) / columns);
  const int32_t grid_top = margin + lh + 6;
  const int32_t para_top = grid_top + rows * cell_h + margin;
  const int32_t para_w = 300, para_h = font->MeasureWrapped(text, para_w);
  const int32_t short_h = 2 * lh + lh / 2;
  const int32_t height = para_top + std::max(para_h, short_h) + 2 * margin;

  GUIB_Ref<c_GUIB_Bitmap> canvas(new c_GUIB_Bitmap(width, height));
  canvas->SetColor(0xFFFFFFFF);
  canvas->FillArea(0, 0, width, height);
  char title[300];
  std::snprintf(title, sizeof title, "%s: %zu glyphs, line height %d, ascent %d, flags %u", path,
                font->GlyphCount(), lh, font->GetAscent(), font->GetFlags());
  font->DrawString(canvas.get(), 0xFF000000, margin, margin, title);

  // Every glyph in a grid, each cell outlined.
  int32_t i = 0;
  canvas->SetColor(0xFFD0D0D0);
  for (uint32_t code : font->Codes()) {
    const int32_t x = margin + (i % columns) * cell_w, y = grid_top + (i / columns) * cell_h;
    canvas->FrameRect(GUIB_Rect{x, y, x + cell_w - 1, y + cell_h - 1});
    const uint16_t one[2] = {uint16_t(code), 0};
    font->DrawString(canvas.get(), 0xFF000000, x + 4, y + 3, one);
    ++i;
  }
  // The paragraph wrapped into a box, and the same text in a box two and a
  // half lines high, which ends in "...".
  const GUIB_Rect para{margin, para_top, margin + para_w, para_top + para_h};
  const GUIB_Rect cut{margin + para_w + 20, para_top, margin + para_w + 220, para_top + short_h};
  canvas->SetColor(0xFFA0A0FF);
  canvas->FrameRect(GUIB_Rect{para.left - 1, para.top - 1, para.right, para.bottom});
  canvas->FrameRect(GUIB_Rect{cut.left - 1, cut.top - 1, cut.right, cut.bottom});
  font->iOutTextRect(canvas.get(), 0xFF102060, text, para);
  font->iOutTextRect(canvas.get(), 0xFF802010, text, cut);
  if (!PNG_WriteBitmap(png, canvas.get())) {
    std::printf("fntmake: cannot write %s\n", png);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return Usage();
  int rc = 2;
  if (!std::strcmp(argv[1], "--info")) {
    if (argc != 3) return Usage();
    rc = Info(argv[2]);
  } else if (!std::strcmp(argv[1], "--preview")) {
    if (argc != 4 && argc != 5) return Usage();
    const char *text = argc == 5 ? argv[4]
                                 : "The quick brown fox jumps over the lazy dog. Pack my box "
                                   "with five dozen liquor jugs!\n0123456789 (a+b)*c = [x/y]; "
                                   "caf\xE9, na\xEFve, fa\xE7"
                                   "ade, \xC6r\xF8sk\xF8"
                                   "bing \xA9 \xB1\xBD \xBF\xA1";
    rc = Preview(argv[2], argv[3], text);
  } else {
    return Make(argc, argv);
  }
  ToolCloseStore();
  return rc == 2 ? Usage() : rc;
}
