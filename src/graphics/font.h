// c_GUIB_Font: bitmap fonts, one small ARGB bitmap per character code, and
// the text services that draw and measure strings with them.
//
// A font is rendered once from a system font description
// (CreateFromWindowsFont: GDI on Windows; natively FreeType renders the face
// fontconfig matches, and the same glyph rules turn the result into glyphs),
// read from a font file (a record store: chunk 0x1002 holding a 20-byte
// header record, a record listing the character codes and one chunk 0x1003
// per character with its 20-byte glyph record and its bitmap chunk), or
// copied from another font. Mask fonts (flags bit 0) hold black glyphs with
// alpha that are tinted with the text colour when drawn.
//
// Text (text.cpp): DrawString, CalcTextRect, iOutTextRect (wrapping with
// "...") and MeasureWrapped, each for 8-bit and 16-bit strings; a
// character's code is its key in the glyph map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/object.h"

class c_GUIB_RecordStore;

// The fields of a Windows LOGFONTA, so that portable code can describe a
// system font.
struct GUIB_FontDesc {
  int32_t height;  // < 0: character height in pixels; > 0: cell height
  int32_t width;
  int32_t escapement;
  int32_t orientation;
  int32_t weight;  // 400 normal, 700 bold; 0 default
  uint8_t italic;
  uint8_t underline;
  uint8_t strike_out;
  uint8_t char_set;
  uint8_t out_precision;
  uint8_t clip_precision;
  uint8_t quality;
  uint8_t pitch_and_family;
  char face_name[32];
};

static const uint32_t GUIB_CHUNK_FONT = 0x1002;
static const uint32_t GUIB_CHUNK_CHARACTER = 0x1003;
static const uint32_t GUIB_FONT_VERSION = 80;
static const uint32_t GUIB_FONT_MASK = 1;  // flags bit 0

// Text alignment flags (0 acts as left | top).
enum : uint32_t {
  GUIB_ALIGN_LEFT = 1,
  GUIB_ALIGN_RIGHT = 2,
  GUIB_ALIGN_TOP = 4,
  GUIB_ALIGN_BOTTOM = 8,
  GUIB_ALIGN_HCENTER = 16,
  GUIB_ALIGN_VCENTER = 32,
};

class c_GUIB_Font : public c_GUIB_BasicObject {
 public:
  struct Glyph {
    int32_t width;          // advance before overhang correction; the bitmap's width
    int32_t height;         // the bitmap's height
    int32_t overhang;       // pixels the next character moves back to the left
    uint32_t tint;          // the colour the bitmap currently has
    c_GUIB_Bitmap *bitmap;  // one reference, held by the font
  };

  c_GUIB_Font();
  explicit c_GUIB_Font(const char *file_name);  // empty font when the file is unusable

  // GUIB_OK, or GUIB_ERR_FONT when the system font cannot be created.
  uint32_t CreateFromWindowsFont(const GUIB_FontDesc *desc, uint32_t first, uint32_t count);
  // GUIB_OK, GUIB_ERR_NOT_FOUND (no store), or the store's reading failure
  // (record_store.h). A font chunk of another version also gives GUIB_OK,
  // with nothing loaded.
  uint32_t LoadFromStore(c_GUIB_RecordStore *store, uint32_t id);
  // GUIB_OK, GUIB_ERR_NOTHING_OPEN (no store), or the store's writing failure.
  uint32_t SaveToStore(c_GUIB_RecordStore *store, uint32_t id) const;
  // Through a record store: GUIB_OK, GUIB_ERR_NOT_FOUND (no other), or a
  // failure of SaveToStore or LoadFromStore.
  uint32_t CopyFrom(const c_GUIB_Font *other);

  int32_t GetLineHeight() const { return m_lineHeight; }
  int32_t GetAscent() const { return m_ascent; }
  uint32_t GetFlags() const { return m_flags; }
  size_t GlyphCount() const { return m_glyphs.size(); }
  std::vector<uint32_t> Codes() const;  // ascending
  const Glyph *FindGlyph(uint32_t code) const;
  // Takes over the glyph's bitmap reference and grows the line height to
  // the glyph's; false (nothing taken) when the code is present already.
  bool InsertGlyph(uint32_t code, const Glyph &glyph);

  void DrawString(c_GUIB_Bitmap *target, uint32_t color, int32_t x, int32_t y, const char *text);
  void DrawString(c_GUIB_Bitmap *target, uint32_t color, int32_t x, int32_t y,
                  const uint16_t *text);
  void CalcTextRect(const char *text, GUIB_Rect *rect, uint32_t flags) const;
  void CalcTextRect(const uint16_t *text, GUIB_Rect *rect, uint32_t flags) const;
  void iOutTextRect(c_GUIB_Bitmap *target, uint32_t color, const char *text, const GUIB_Rect &rect);
  void iOutTextRect(c_GUIB_Bitmap *target, uint32_t color, const uint16_t *text,
                    const GUIB_Rect &rect);
  int32_t MeasureWrapped(const char *text, int32_t max_width);
  int32_t MeasureWrapped(const uint16_t *text, int32_t max_width);

 protected:
  ~c_GUIB_Font() override;

 private:
  template <class Ch>
  friend struct iTextLayout;
  void UpdateLineHeight();
  void DrawGlyph(Glyph &glyph, c_GUIB_Bitmap *target, uint32_t color, int32_t x, int32_t y);

  uint32_t m_flags = 0;
  uint32_t m_color = 0xFF000000;
  int32_t m_lineHeight = 0;
  int32_t m_ascent = 0;
  std::map<uint32_t, Glyph> m_glyphs;
};

// Which face the system matches for a description ("family style, file"):
// what CreateFromWindowsFont would render. Returns the length, 0 when none.
size_t GUIB_DescribeFontMatch(const GUIB_FontDesc *desc, char *buffer, size_t size);
