// Backend half of c_GUIB_Font::CreateFromWindowsFont (font_render_win32.cpp
// draws with GDI, font_render_posix.cpp with FreeType and fontconfig). The
// backend only renders; font.cpp turns what it drew into glyphs by the same
// rules on both systems.
#pragma once

#include <cstddef>
#include <cstdint>

struct GUIB_FontDesc;

// The drawing area is 100 x 100 pixels, as the system font is drawn into a
// memory bitmap of that size: black text on white.
static const int32_t FONT_AREA = 100;

struct iFontMetrics {
  int32_t height;  // tmHeight
  int32_t ascent;  // tmAscent
};

struct iFontABC {
  int32_t a;
  uint32_t b;
  int32_t c;
};

// 0 when the font cannot be created.
void *iFontOpen(const GUIB_FontDesc *desc, iFontMetrics *metrics);
// ABC widths of count characters from first; false when they cannot be had.
bool iFontGetABC(void *font, uint32_t first, uint32_t count, iFontABC *out);
// Clears the area to white, draws character c at (0, 0) as DrawText does and
// returns the text rectangle's size.
void iFontDraw(void *font, uint32_t c, int32_t *rect_width, int32_t *rect_height);
// The red component of pixel (x, y) of the area (0 <= x, y < FONT_AREA).
uint32_t iFontRed(void *font, int32_t x, int32_t y);
void iFontClose(void *font);
size_t iFontDescribe(void *font, char *buffer, size_t size);
