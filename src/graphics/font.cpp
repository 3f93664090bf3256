#include "graphics/font.h"

#include <cstring>
#include <vector>

#include "graphics/font_render.h"
#include "graphics/record_store.h"
#include "platform/platform.h"

c_GUIB_Font::c_GUIB_Font() = default;

c_GUIB_Font::c_GUIB_Font(const char *file_name) {
  c_GUIB_RecordStore *store = new c_GUIB_RecordStore(file_name);
  LoadFromStore(store, 0);
  store->Release();
}

c_GUIB_Font::~c_GUIB_Font() {
  for (auto &entry : m_glyphs)
    if (entry.second.bitmap) entry.second.bitmap->Release();
}

std::vector<uint32_t> c_GUIB_Font::Codes() const {
  std::vector<uint32_t> codes;
  codes.reserve(m_glyphs.size());
  for (const auto &entry : m_glyphs) codes.push_back(entry.first);
  return codes;
}

const c_GUIB_Font::Glyph *c_GUIB_Font::FindGlyph(uint32_t code) const {
  auto it = m_glyphs.find(code);
  return it == m_glyphs.end() ? nullptr : &it->second;
}

bool c_GUIB_Font::InsertGlyph(uint32_t code, const Glyph &glyph) {
  if (!m_glyphs.emplace(code, glyph).second) return false;
  if (glyph.height > m_lineHeight) m_lineHeight = glyph.height;
  return true;
}

void c_GUIB_Font::UpdateLineHeight() {
  m_lineHeight = 0;
  for (const auto &entry : m_glyphs)
    if (entry.second.height > m_lineHeight) m_lineHeight = entry.second.height;
}

uint32_t c_GUIB_Font::CreateFromWindowsFont(const GUIB_FontDesc *desc, uint32_t first,
                                            uint32_t count) {
  iFontMetrics metrics{};
  void *font = desc ? iFontOpen(desc, &metrics) : nullptr;
  if (!font) return GUIB_ERR_FONT;
  m_lineHeight = metrics.height;
  m_ascent = metrics.ascent;
  std::vector<iFontABC> abc(count);
  const bool have_abc = count && iFontGetABC(font, first, count, abc.data());

  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t c = first + i;
    int32_t rect_w = 0, rect_h = 0;
    iFontDraw(font, c, &rect_w, &rect_h);
    int32_t width = rect_w, overhang = 0;
    if (have_abc) {
      // B is the inked width; the bearings widen the cell when positive and
      // become overhang (the next character moves back) when negative.
      width = int32_t(abc[i].b);
      if (abc[i].a < 0) overhang -= abc[i].a;
      if (abc[i].a > 0) width += abc[i].a;
      if (abc[i].c < 0) overhang -= abc[i].c;
      if (abc[i].c > 0) width += abc[i].c;
    }
    const int32_t height = rect_h;
    if (width < 1 || height < 1 || width > GUIB_MAX_SIDE || height > GUIB_MAX_SIDE) continue;

    c_GUIB_Bitmap *bitmap = new c_GUIB_Bitmap(width, height);
    if (!bitmap->Pixels()) {
      bitmap->Release();
      continue;
    }
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        // Outside the drawing area the memory bitmap has nothing: white.
        const uint32_t r = x < FONT_AREA && y < FONT_AREA ? iFontRed(font, x, y) : 255;
        bitmap->Pixels()[size_t(y) * width + size_t(x)] = (255 - r) << 24;
      }
    }
    if (!InsertGlyph(c, Glyph{width, height, overhang, 0xFF000000, bitmap})) bitmap->Release();
  }
  iFontClose(font);
  UpdateLineHeight();
  m_flags |= GUIB_FONT_MASK;
  return GUIB_OK;
}

size_t GUIB_DescribeFontMatch(const GUIB_FontDesc *desc, char *buffer, size_t size) {
  iFontMetrics metrics{};
  void *font = desc ? iFontOpen(desc, &metrics) : nullptr;
  if (!font) return 0;
  const size_t n = iFontDescribe(font, buffer, size);
  iFontClose(font);
  return n;
}

static uint32_t iWord(const uint8_t *p, int index) {
  uint32_t v;
  std::memcpy(&v, p + index * 4, 4);
  return v;
}

uint32_t c_GUIB_Font::LoadFromStore(c_GUIB_RecordStore *store, uint32_t id) {
  if (!store) return GUIB_ERR_NOT_FOUND;
  uint32_t rc = store->OpenChunk(GUIB_CHUNK_FONT, id);
  if (rc != GUIB_OK) return rc;
  const uint8_t *head = nullptr;
  uint32_t head_len = 0;
  rc = store->ReadRecord(1, &head, &head_len);
  if (rc != GUIB_OK) {
    store->CloseChunk();
    return rc;
  }
  if (head_len != 20 || iWord(head, 0) < GUIB_FONT_VERSION) {
    SYS_LogPrint(SYS_LOG_GUIB, 0, "c_GUIB_Font::LoadFromStore - corrupted file or wrong version");
    store->CloseChunk();
    return GUIB_OK;
  }
  m_flags = iWord(head, 2);
  m_lineHeight = int32_t(iWord(head, 3));
  m_ascent = int32_t(iWord(head, 4));

  const uint8_t *list = nullptr;
  uint32_t list_len = 0;
  rc = store->ReadRecord(2, &list, &list_len);
  if (rc != GUIB_OK) {
    store->CloseChunk();
    return rc;
  }
  for (uint32_t i = 0; i < list_len / 4; ++i) {
    const uint32_t code = iWord(list, int(i));
    if (store->OpenChunk(GUIB_CHUNK_CHARACTER, code) != GUIB_OK) continue;
    const uint8_t *rec = nullptr;
    uint32_t rec_len = 0;
    // Only the first 20 bytes of a glyph record count; a shorter one, or one
    // whose sizes no bitmap can have, is treated as missing.
    if (store->ReadRecord(1, &rec, &rec_len) == GUIB_OK && rec_len >= 20) {
      Glyph g{int32_t(iWord(rec, 0)), int32_t(iWord(rec, 1)), int32_t(iWord(rec, 2)), iWord(rec, 3),
              nullptr};
      if (g.width >= 0 && g.width <= GUIB_MAX_SIDE && g.height >= 0 && g.height <= GUIB_MAX_SIDE &&
          g.overhang >= -GUIB_MAX_SIDE && g.overhang <= GUIB_MAX_SIDE) {
        g.bitmap = new c_GUIB_Bitmap(store, 0);
        if (!InsertGlyph(code, g)) g.bitmap->Release();
      }
    }
    store->CloseChunk();
  }
  store->CloseChunk();
  UpdateLineHeight();
  return GUIB_OK;
}

uint32_t c_GUIB_Font::SaveToStore(c_GUIB_RecordStore *store, uint32_t id) const {
  if (!store) return GUIB_ERR_NOTHING_OPEN;
  uint32_t rc = store->BeginChunk(GUIB_CHUNK_FONT, id, nullptr);
  if (rc != GUIB_OK) return rc;
  const uint32_t head[5] = {GUIB_FONT_VERSION, 0, m_flags, uint32_t(m_lineHeight),
                            uint32_t(m_ascent)};
  rc = store->WriteRecord(1, head, sizeof head);
  const std::vector<uint32_t> codes = Codes();
  if (rc != GUIB_OK || codes.empty()) {
    store->EndChunk();
    return rc;
  }
  rc = store->WriteRecord(2, codes.data(), uint32_t(codes.size() * 4));
  if (rc != GUIB_OK) {
    store->EndChunk();
    return rc;
  }
  for (uint32_t code : codes) {
    const Glyph &g = m_glyphs.at(code);
    if (store->BeginChunk(GUIB_CHUNK_CHARACTER, code, nullptr) != GUIB_OK) continue;
    const uint32_t rec[5] = {uint32_t(g.width), uint32_t(g.height), uint32_t(g.overhang), g.tint,
                             0};
    rc = store->WriteRecord(1, rec, sizeof rec);
    if (rc == GUIB_OK && g.bitmap) rc = g.bitmap->SaveToStore(store, 0);
    store->EndChunk();
    if (rc != GUIB_OK) {
      store->EndChunk();
      return rc;
    }
  }
  store->EndChunk();
  return GUIB_OK;
}

uint32_t c_GUIB_Font::CopyFrom(const c_GUIB_Font *other) {
  if (!other) return GUIB_ERR_NOT_FOUND;
  c_GUIB_RecordStore *store = new c_GUIB_RecordStore();
  uint32_t rc = other->SaveToStore(store, 1);
  if (rc == GUIB_OK) rc = LoadFromStore(store, 1);
  store->Release();
  return rc;
}
