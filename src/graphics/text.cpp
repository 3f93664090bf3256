// Text layout and drawing with c_GUIB_Font: the same logic for 8-bit and
// 16-bit strings, each character's code being its glyph key.
#include <cstddef>
#include <type_traits>
#include <vector>

#include "graphics/font.h"

namespace {

const uint32_t LINE_FEED = 10;

template <class Ch>
size_t Length(const Ch *s) {
  size_t n = 0;
  if (s)
    while (s[n]) ++n;
  return n;
}

template <class Ch>
uint32_t Code(Ch c) {
  return static_cast<typename std::make_unsigned<Ch>::type>(c);
}

bool IsBlank(uint32_t c) {
  return c == ' ' || c == '\t';
}

}  // namespace

// One entry per character: its glyph (0 for none and for line feeds), width
// and overhang.
struct iCharInfo {
  c_GUIB_Font::Glyph *glyph;
  int32_t w, o;
  uint32_t code;
};

template <class Ch>
struct iTextLayout {
  c_GUIB_Font &font;
  std::vector<iCharInfo> chars;

  iTextLayout(c_GUIB_Font &f, const Ch *text) : font(f) {
    const size_t n = Length(text);
    chars.resize(n);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t code = Code(text[i]);
      iCharInfo &ci = chars[i];
      ci.code = code;
      ci.glyph = nullptr;
      ci.w = ci.o = 0;
      if (code == LINE_FEED) continue;
      auto it = font.m_glyphs.find(code);
      if (it == font.m_glyphs.end()) continue;
      ci.glyph = &it->second;
      ci.w = it->second.width;
      ci.o = it->second.overhang;
    }
  }

  // Advance of character i: its width, less its overhang when another
  // character follows.
  int64_t Advance(size_t i) const { return chars[i].w - (i + 1 < chars.size() ? chars[i].o : 0); }

  void Measure(int64_t *width, int64_t *height) const {
    int64_t line = 0, widest = 0, h = 0;
    bool any_glyph = false;
    for (size_t i = 0; i < chars.size(); ++i) {
      if (chars[i].code == LINE_FEED) {
        h += font.m_lineHeight;
        line = 0;
        continue;
      }
      if (chars[i].glyph) any_glyph = true;
      line += Advance(i);
      if (line > widest) widest = line;
    }
    *width = widest;
    *height = h + (any_glyph ? font.m_lineHeight : 0);
  }

  // Width of the word starting at i: up to and including the first character
  // followed by the end, a line feed or a blank.
  int64_t WordWidth(size_t i) const {
    int64_t w = 0;
    for (; i < chars.size(); ++i) {
      w += Advance(i);
      if (i + 1 == chars.size()) break;
      const uint32_t next = chars[i + 1].code;
      if (next == LINE_FEED || IsBlank(next)) break;
    }
    return w;
  }

  int64_t RestWidth(size_t i) const {
    int64_t w = 0;
    for (; i < chars.size(); ++i) w += Advance(i);
    return w;
  }

  // DrawString: line feeds go back to x one line lower; no wrapping.
  void DrawLines(c_GUIB_Bitmap *target, uint32_t color, int32_t x, int32_t y) {
    int64_t px = x, py = y;
    for (size_t i = 0; i < chars.size(); ++i) {
      const iCharInfo &c = chars[i];
      if (c.code == LINE_FEED) {
        px = x;
        py += font.m_lineHeight;
      } else if (c.glyph) {
        if (target) font.DrawGlyph(*c.glyph, target, color, int32_t(px), int32_t(py));
        px += Advance(i);
      }
    }
  }

  // The wrapping of iOutTextRect. With a target it draws and stops at the
  // bottom with "..."; without one (height < 0) it only measures. Returns
  // the offset of the last line.
  int64_t Wrap(c_GUIB_Bitmap *target, uint32_t color, const GUIB_Rect &rect, int64_t width,
               int64_t height) {
    const int64_t lh = font.m_lineHeight;
    const bool limited = height >= 0;
    int64_t ellipsis = 0;
    if (limited) {
      GUIB_Rect r{0, 0, 0, 0};
      font.CalcTextRect("...", &r, GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP);
      ellipsis = int64_t(r.right) - r.left;
    }
    int64_t x = 0, y = 0;
    bool word_start = true;
    bool last_line = limited && height < 2 * lh;
    auto new_line = [&]() {
      x = 0;
      y += lh;
      last_line = limited && height < y + 2 * lh;
    };
    for (size_t i = 0; i < chars.size(); ++i) {
      const iCharInfo &c = chars[i];
      if (c.code == LINE_FEED) {
        if (last_line) break;
        new_line();
        word_start = true;
        continue;
      }
      if (!last_line) {
        if (IsBlank(c.code)) {
          if (x + Advance(i) > width) new_line();
          word_start = true;
        } else if (word_start) {
          const int64_t word = WordWidth(i);
          // A word wider than the rectangle stays and breaks inside itself.
          if (x + word > width && word <= width) new_line();
          word_start = false;
        } else if (x + Advance(i) > width) {
          new_line();
        }
      } else if (ellipsis + x + Advance(i) > width && x + RestWidth(i) > width) {
        font.DrawString(target, color, int32_t(rect.left + x), int32_t(rect.top + y), "...");
        break;
      }
      if (c.glyph && !(c.code == ' ' && x == 0)) {
        if (target)
          font.DrawGlyph(*c.glyph, target, color, int32_t(rect.left + x), int32_t(rect.top + y));
        x += Advance(i);
      }
    }
    return y;
  }
};

void c_GUIB_Font::DrawGlyph(Glyph &glyph, c_GUIB_Bitmap *target, uint32_t color, int32_t x,
                            int32_t y) {
  if (!glyph.bitmap) return;
  // Mask glyphs take the text colour; a glyph keeps its last colour, so text
  // in one colour tints each glyph once.
  if ((m_flags & GUIB_FONT_MASK) && glyph.tint != color) {
    glyph.bitmap->Tint(0, 0, int32_t(glyph.bitmap->Width()), int32_t(glyph.bitmap->Height()),
                       color);
    glyph.tint = color;
  }
  glyph.bitmap->BlendTo(target, x, y, 0, 0, int32_t(glyph.bitmap->Width()),
                        int32_t(glyph.bitmap->Height()));
}

template <class Ch>
static void iCalcTextRect(const c_GUIB_Font &font, const Ch *text, GUIB_Rect *rect,
                          uint32_t flags) {
  if (!rect) return;
  int64_t tw = 0, th = 0;
  iTextLayout<Ch>(const_cast<c_GUIB_Font &>(font), text).Measure(&tw, &th);
  if (flags == 0) flags = GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP;
  const GUIB_Rect given = *rect;
  GUIB_Rect r = given;
  if (flags & GUIB_ALIGN_LEFT) r.right = int32_t(r.left + tw);
  if (flags & GUIB_ALIGN_RIGHT) {
    r.left = int32_t(r.right - tw);
    r.right = given.right;
  }
  if (flags & GUIB_ALIGN_TOP) r.bottom = int32_t(r.top + th);
  if (flags & GUIB_ALIGN_BOTTOM) {
    r.top = int32_t(given.bottom - th);
    r.bottom = given.bottom;
  }
  if (flags & GUIB_ALIGN_HCENTER) {
    r.left = int32_t((int64_t(given.right) - given.left - tw) / 2 + given.left);
    r.right = int32_t(r.left + tw);
  }
  if (flags & GUIB_ALIGN_VCENTER) {
    r.top = int32_t((int64_t(given.bottom) - given.top - th) / 2 + given.top);
    r.bottom = int32_t(r.top + th);
  }
  *rect = r;
}

void c_GUIB_Font::CalcTextRect(const char *text, GUIB_Rect *rect, uint32_t flags) const {
  iCalcTextRect(*this, text, rect, flags);
}
void c_GUIB_Font::CalcTextRect(const uint16_t *text, GUIB_Rect *rect, uint32_t flags) const {
  iCalcTextRect(*this, text, rect, flags);
}

void c_GUIB_Font::DrawString(c_GUIB_Bitmap *target, uint32_t color, int32_t x, int32_t y,
                             const char *text) {
  iTextLayout<char>(*this, text).DrawLines(target, color, x, y);
}
void c_GUIB_Font::DrawString(c_GUIB_Bitmap *target, uint32_t color, int32_t x, int32_t y,
                             const uint16_t *text) {
  iTextLayout<uint16_t>(*this, text).DrawLines(target, color, x, y);
}

template <class Ch>
static void iOutText(c_GUIB_Font &font, c_GUIB_Bitmap *target, uint32_t color, const Ch *text,
                     const GUIB_Rect &rect) {
  const int64_t w = int64_t(rect.right) - rect.left, h = int64_t(rect.bottom) - rect.top;
  if (!target || !text || !text[0] || font.GetLineHeight() > h) return;
  iTextLayout<Ch>(font, text).Wrap(target, color, rect, w, h);
}

void c_GUIB_Font::iOutTextRect(c_GUIB_Bitmap *target, uint32_t color, const char *text,
                               const GUIB_Rect &rect) {
  iOutText(*this, target, color, text, rect);
}
void c_GUIB_Font::iOutTextRect(c_GUIB_Bitmap *target, uint32_t color, const uint16_t *text,
                               const GUIB_Rect &rect) {
  iOutText(*this, target, color, text, rect);
}

template <class Ch>
static int32_t iMeasure(c_GUIB_Font &font, const Ch *text, int32_t max_width) {
  if (!text || !text[0]) return 0;
  const int64_t y = iTextLayout<Ch>(font, text).Wrap(nullptr, 0, GUIB_Rect{}, max_width, -1);
  return int32_t(font.GetLineHeight() + y);
}

int32_t c_GUIB_Font::MeasureWrapped(const char *text, int32_t max_width) {
  return iMeasure(*this, text, max_width);
}
int32_t c_GUIB_Font::MeasureWrapped(const uint16_t *text, int32_t max_width) {
  return iMeasure(*this, text, max_width);
}
