// Renders a system font with GDI: each character is drawn black on white
// into a 100 x 100 memory bitmap and read back pixel by pixel.
#include <windows.h>

#include <cstring>

#include "graphics/font.h"
#include "graphics/font_render.h"
#include "platform/platform.h"

namespace {

struct GdiFont {
  HFONT font;
  HDC screen;
  HDC memory;
  HBITMAP bitmap;
  HGDIOBJ old_bitmap;
  HGDIOBJ old_font;
  char face[LF_FACESIZE];
};

}  // namespace

void *iFontOpen(const GUIB_FontDesc *desc, iFontMetrics *metrics) {
  LOGFONTA lf = {};
  lf.lfHeight = desc->height;
  lf.lfWidth = desc->width;
  lf.lfEscapement = desc->escapement;
  lf.lfOrientation = desc->orientation;
  lf.lfWeight = desc->weight;
  lf.lfItalic = desc->italic;
  lf.lfUnderline = desc->underline;
  lf.lfStrikeOut = desc->strike_out;
  lf.lfCharSet = desc->char_set;
  lf.lfOutPrecision = desc->out_precision;
  lf.lfClipPrecision = desc->clip_precision;
  lf.lfQuality = desc->quality;
  lf.lfPitchAndFamily = desc->pitch_and_family;
  std::memcpy(lf.lfFaceName, desc->face_name, LF_FACESIZE);
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) return nullptr;
  GdiFont *f = new GdiFont();
  f->font = font;
  f->screen = GetDC(nullptr);
  f->memory = CreateCompatibleDC(f->screen);
  f->bitmap = CreateCompatibleBitmap(f->screen, FONT_AREA, FONT_AREA);
  f->old_bitmap = SelectObject(f->memory, f->bitmap);
  f->old_font = SelectObject(f->memory, font);
  SetTextColor(f->memory, 0);
  SetBkColor(f->memory, 0xFFFFFF);
  TEXTMETRICA tm = {};
  GetTextMetricsA(f->memory, &tm);
  metrics->height = tm.tmHeight;
  metrics->ascent = tm.tmAscent;
  GetTextFaceA(f->memory, LF_FACESIZE, f->face);
  return f;
}

bool iFontGetABC(void *font, uint32_t first, uint32_t count, iFontABC *out) {
  GdiFont *f = static_cast<GdiFont *>(font);
  ABC *abc = static_cast<ABC *>(SYS_Alloc(sizeof(ABC) * count, "Load font: ABC"));
  if (!abc) return false;
  const bool ok = GetCharABCWidthsA(f->memory, first, first + count - 1, abc) != 0;
  for (uint32_t i = 0; ok && i < count; ++i)
    out[i] = iFontABC{abc[i].abcA, abc[i].abcB, abc[i].abcC};
  SYS_Free(abc);
  return ok;
}

void iFontDraw(void *font, uint32_t c, int32_t *rect_width, int32_t *rect_height) {
  GdiFont *f = static_cast<GdiFont *>(font);
  Rectangle(f->memory, -1, -1, 99, 99);
  char text[2] = {char(c), 0};
  RECT r = {0, 0, 99, 99};
  DrawTextA(f->memory, text, 1, &r, DT_NOPREFIX);
  RECT calc = {0, 0, 99, 99};
  DrawTextA(f->memory, text, 1, &calc, DT_CALCRECT | DT_NOPREFIX);
  *rect_width = calc.right - calc.left;
  *rect_height = calc.bottom - calc.top;
}

uint32_t iFontRed(void *font, int32_t x, int32_t y) {
  const COLORREF p = GetPixel(static_cast<GdiFont *>(font)->memory, x, y);
  return p == CLR_INVALID ? 255 : GetRValue(p);
}

void iFontClose(void *font) {
  GdiFont *f = static_cast<GdiFont *>(font);
  SelectObject(f->memory, f->old_font);
  SelectObject(f->memory, f->old_bitmap);
  ReleaseDC(nullptr, f->screen);
  DeleteDC(f->memory);
  DeleteObject(f->bitmap);
  DeleteObject(f->font);
  delete f;
}

size_t iFontDescribe(void *font, char *buffer, size_t size) {
  return SYS_StrCopy(buffer, size, static_cast<GdiFont *>(font)->face);
}
