// Renders a system font natively: fontconfig finds the face that best
// matches the description among a fixed set of files (see FontConfigLife), FreeType draws each
// character into a 100 x 100 grey area the way the system draws it into its memory bitmap (pen at
// the left edge, baseline at the ascent, black on white).
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/font.h"
#include "graphics/font_render.h"
#include "platform/cp1252.h"
#include "platform/platform.h"

namespace {

struct FtFont {
  FT_Library library;
  FT_Face face;
  int32_t ascent;
  int32_t height;
  bool antialias;
  std::vector<uint8_t> red;  // FONT_AREA x FONT_AREA
  char description[256];
};

// fontconfig is set up once and torn down when the process ends, so that
// its configuration is not left allocated. Renders must not depend on what
// else is installed (a metric-compatible stand-in for a Windows face would
// change them), so faces come from the files of fonts-dejavu-core alone,
// and a face that is not among them falls back to DejaVu Sans. A caller
// that names its own configuration in FONTCONFIG_FILE (make-disc, to render
// a skin's own face) gets fontconfig as that file sets it up.
const char kPinnedDir[] = "/usr/share/fonts/truetype/dejavu/";
const char *const kPinnedFiles[] = {"DejaVuSans.ttf",     "DejaVuSans-Bold.ttf",
                                    "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf",
                                    "DejaVuSerif.ttf",    "DejaVuSerif-Bold.ttf"};
const char kFallbackFamily[] = "DejaVu Sans";

struct FontConfigLife {
  bool ok = FcInit() != 0;
  FcConfig *pinned = nullptr;  // null: the configuration FONTCONFIG_FILE names
  FontConfigLife() {
    if (!ok || std::getenv("FONTCONFIG_FILE")) return;
    pinned = FcConfigCreate();
    for (const char *name : kPinnedFiles) {
      char file[260];
      SYS_Format(file, sizeof file, "%s%s", kPinnedDir, name);
      if (pinned) FcConfigAppFontAddFile(pinned, reinterpret_cast<const FcChar8 *>(file));
    }
    ok = pinned != nullptr;
  }
  ~FontConfigLife() {
    if (pinned) FcConfigDestroy(pinned);
    if (ok) FcFini();
  }
};

FontConfigLife *FontConfig() {
  static FontConfigLife life;
  return life.ok ? &life : nullptr;
}

// Loads and renders the glyph of c; false when the face has no outline for it.
bool Render(FtFont *f, uint32_t c) {
  const uint32_t u = Cp1252ToUnicode(c);  // character codes are Windows-1252
  const FT_UInt index = u ? FT_Get_Char_Index(f->face, u) : 0;
  const FT_Int32 flags =
      FT_LOAD_RENDER | (f->antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  return FT_Load_Glyph(f->face, index, flags) == 0;
}

int32_t Advance(FtFont *f) {
  return int32_t((f->face->glyph->advance.x + 32) >> 6);
}

// Coverage of the rendered glyph at bitmap pixel (x, y).
uint32_t Coverage(const FT_Bitmap &b, int32_t x, int32_t y) {
  const uint8_t *row = b.buffer + y * b.pitch;
  if (b.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
  return row[x];
}

}  // namespace

void *iFontOpen(const GUIB_FontDesc *desc, iFontMetrics *metrics) {
  FontConfigLife *fc = FontConfig();
  if (!fc) return nullptr;
  char face_name[33];
  std::memcpy(face_name, desc->face_name, 32);
  face_name[32] = 0;
  FcPattern *pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(face_name));
  if (fc->pinned)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(kFallbackFamily));
  if (desc->weight > 0) FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(desc->weight));
  if (desc->italic) FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
  FcConfigSubstitute(fc->pinned, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern *match = FcFontMatch(fc->pinned, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return nullptr;
  FcChar8 *file = nullptr, *family = nullptr, *style = nullptr;
  int index = 0;
  FcPatternGetString(match, FC_FILE, 0, &file);
  FcPatternGetString(match, FC_FAMILY, 0, &family);
  FcPatternGetString(match, FC_STYLE, 0, &style);
  FcPatternGetInteger(match, FC_INDEX, 0, &index);

  FtFont *f = new FtFont();
  bool ok = file && FT_Init_FreeType(&f->library) == 0;
  if (ok && FT_New_Face(f->library, reinterpret_cast<const char *>(file), index, &f->face) != 0) {
    FT_Done_FreeType(f->library);
    ok = false;
  }
  if (ok)
    SYS_Format(f->description, sizeof f->description, "%s %s, %s",
               family ? reinterpret_cast<const char *>(family) : "?",
               style ? reinterpret_cast<const char *>(style) : "", file);
  FcPatternDestroy(match);
  if (!ok) {
    delete f;
    return nullptr;
  }

  // Like the system's: a negative height asks for that character (em)
  // height, a positive one for that cell height (ascent + descent).
  FT_Face face = f->face;
  const TT_OS2 *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const double upem = face->units_per_EM ? face->units_per_EM : 2048;
  const double asc_units = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
  const double desc_units = os2 && os2->usWinDescent ? os2->usWinDescent : -face->descender;
  double em = desc->height < 0 ? -desc->height : desc->height > 0 ? 0 : 12;
  if (desc->height > 0) em = desc->height * upem / (asc_units + desc_units);
  if (em < 1) em = 1;
  if (em > 400) em = 400;
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::lround(em)));
  f->ascent = int32_t(std::lround(asc_units * em / upem));
  f->height = f->ascent + int32_t(std::lround(desc_units * em / upem));
  // 3 = non-antialiased quality; everything else is drawn smooth.
  f->antialias = desc->quality != 3;
  f->red.assign(size_t(FONT_AREA) * FONT_AREA, 255);
  metrics->height = f->height;
  metrics->ascent = f->ascent;
  return f;
}

bool iFontGetABC(void *font, uint32_t first, uint32_t count, iFontABC *out) {
  FtFont *f = static_cast<FtFont *>(font);
  for (uint32_t i = 0; i < count; ++i) {
    if (!Render(f, first + i)) return false;
    const FT_GlyphSlot g = f->face->glyph;
    const int32_t a = g->bitmap.width ? g->bitmap_left : 0;
    const uint32_t b = g->bitmap.width;
    out[i] = iFontABC{a, b, Advance(f) - a - int32_t(b)};
  }
  return true;
}

void iFontDraw(void *font, uint32_t c, int32_t *rect_width, int32_t *rect_height) {
  FtFont *f = static_cast<FtFont *>(font);
  std::fill(f->red.begin(), f->red.end(), 255);
  *rect_width = 0;
  *rect_height = f->height;
  if (!Render(f, c)) return;
  const FT_GlyphSlot g = f->face->glyph;
  *rect_width = Advance(f);
  const int32_t left = g->bitmap_left, top = f->ascent - g->bitmap_top;
  for (int32_t y = 0; y < int32_t(g->bitmap.rows); ++y) {
    const int32_t ay = top + y;
    if (ay < 0 || ay >= FONT_AREA) continue;
    for (int32_t x = 0; x < int32_t(g->bitmap.width); ++x) {
      const int32_t ax = left + x;
      if (ax < 0 || ax >= FONT_AREA) continue;
      uint8_t &p = f->red[size_t(ay) * FONT_AREA + size_t(ax)];
      const uint32_t ink = Coverage(g->bitmap, x, y);
      if (255 - ink < p) p = uint8_t(255 - ink);
    }
  }
}

uint32_t iFontRed(void *font, int32_t x, int32_t y) {
  return static_cast<FtFont *>(font)->red[size_t(y) * FONT_AREA + size_t(x)];
}

void iFontClose(void *font) {
  FtFont *f = static_cast<FtFont *>(font);
  FT_Done_Face(f->face);
  FT_Done_FreeType(f->library);
  delete f;
}

size_t iFontDescribe(void *font, char *buffer, size_t size) {
  return SYS_StrCopy(buffer, size, static_cast<FtFont *>(font)->description);
}
