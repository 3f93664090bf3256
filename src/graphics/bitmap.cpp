#include "graphics/bitmap.h"

#include <cmath>
#include <cstring>

#include "graphics/image.h"
#include "graphics/pixels.h"
#include "graphics/record_store.h"
#include "platform/platform.h"

c_GUIB_Bitmap::c_GUIB_Bitmap() = default;

c_GUIB_Bitmap::c_GUIB_Bitmap(int32_t width, int32_t height) {
  SetSize(width, height);
}

c_GUIB_Bitmap::c_GUIB_Bitmap(const char *file_name) {
  LoadFromFile(file_name);
}

c_GUIB_Bitmap::c_GUIB_Bitmap(const c_GUIB_Bitmap *other) {
  if (!other || !SetSize(int32_t(other->m_width), int32_t(other->m_height))) return;
  SYS_Copy(m_pixels, other->m_pixels, size_t(m_width) * m_height * 4);
}

c_GUIB_Bitmap::c_GUIB_Bitmap(c_GUIB_RecordStore *store, uint32_t id) {
  LoadFromStore(store, id);
}

c_GUIB_Bitmap::~c_GUIB_Bitmap() {
  FreePixels();
}

void c_GUIB_Bitmap::FreePixels() {
  SYS_FreeSafe(m_pixels);
  m_pixels = nullptr;
  m_width = m_height = 0;
}

uint32_t *c_GUIB_Bitmap::SetSize(int32_t width, int32_t height) {
  FreePixels();
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width == 0 || height == 0) {
    // A zero-sized bitmap has an empty buffer: the size is kept, no pixels.
    m_width = uint32_t(width);
    m_height = uint32_t(height);
    return nullptr;
  }
  if (width > GUIB_MAX_SIDE || height > GUIB_MAX_SIDE) return nullptr;
  m_pixels = static_cast<uint32_t *>(SYS_Alloc(size_t(width) * size_t(height) * 4, "Bitmap data"));
  if (!m_pixels) return nullptr;
  m_width = uint32_t(width);
  m_height = uint32_t(height);
  return m_pixels;
}

void c_GUIB_Bitmap::GetSize(uint32_t *width, uint32_t *height) const {
  if (width) *width = m_width;
  if (height) *height = m_height;
}

void c_GUIB_Bitmap::SetPixel(int32_t x, int32_t y, uint32_t argb) {
  if (!m_pixels || x < 0 || y < 0 || uint32_t(x) >= m_width || uint32_t(y) >= m_height) return;
  m_pixels[size_t(y) * m_width + uint32_t(x)] = argb;
}

uint32_t c_GUIB_Bitmap::GetPixel(int32_t x, int32_t y) const {
  if (!m_pixels || x < 0 || y < 0 || uint32_t(x) >= m_width || uint32_t(y) >= m_height)
    return 0xFF000000;
  return m_pixels[size_t(y) * m_width + uint32_t(x)];
}

// Clips r to the bitmap; false when nothing is left.
static bool iClip(GUIB_Rect &r, uint32_t width, uint32_t height) {
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > int32_t(width)) r.right = int32_t(width);
  if (r.bottom > int32_t(height)) r.bottom = int32_t(height);
  return r.left < r.right && r.top < r.bottom;
}

void c_GUIB_Bitmap::Fill(const GUIB_Rect &rect) {
  GUIB_Rect r = rect;
  if (!m_pixels || !iClip(r, m_width, m_height)) return;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint32_t *p = m_pixels + size_t(y) * m_width + r.left;
    for (int32_t x = r.left; x < r.right; ++x) *p++ = m_color;
  }
}

void c_GUIB_Bitmap::FillArea(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Fill(GUIB_Rect{left, top, right, bottom});
}

void c_GUIB_Bitmap::Tint(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb) {
  GUIB_Rect r{left, top, right, bottom};
  if (!m_pixels || !iClip(r, m_width, m_height)) return;
  const uint32_t rgb = argb & 0x00FFFFFF;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint32_t *p = m_pixels + size_t(y) * m_width + r.left;
    for (int32_t x = r.left; x < r.right; ++x, ++p) *p = (*p & 0xFF000000) | rgb;
  }
}

// Cohen-Sutherland outcodes.
enum { OUT_LEFT = 1, OUT_RIGHT = 2, OUT_TOP = 4, OUT_BOTTOM = 8 };

static int iOutCode(int64_t x, int64_t y, int64_t w, int64_t h) {
  int code = 0;
  if (x < 0) code |= OUT_LEFT;
  if (x >= w) code |= OUT_RIGHT;
  if (y < 0) code |= OUT_TOP;
  if (y >= h) code |= OUT_BOTTOM;
  return code;
}

// Offset along one axis from anchor a to edge e for a segment from a to p:
// slope in double, rounded to float, truncated toward zero.
static int64_t iIntercept(int64_t pu, int64_t au, int64_t pv, int64_t av, int64_t e) {
  double slope = double(pv - av) / double(pu - au);
  float value = float(slope * double(e - au));
  return int64_t(std::trunc(value));
}

// Moves point p toward anchor a onto the edge named by the first set bit of
// code (tested in the order left, top, right, bottom).
static void iMovePoint(int code, int64_t &px, int64_t &py, int64_t ax, int64_t ay, int64_t w,
                       int64_t h) {
  if (code & OUT_LEFT) {
    py = ay + iIntercept(px, ax, py, ay, 0);
    px = 0;
  } else if (code & OUT_TOP) {
    px = ax + iIntercept(py, ay, px, ax, 0);
    py = 0;
  } else if (code & OUT_RIGHT) {
    py = ay + iIntercept(px, ax, py, ay, w);
    px = w - 1;
  } else {
    px = ax + iIntercept(py, ay, px, ax, h);
    py = h - 1;
  }
}

void c_GUIB_Bitmap::Line(int32_t x0_in, int32_t y0_in, int32_t x1_in, int32_t y1_in) {
  if (!m_pixels) return;
  const int64_t w = m_width, h = m_height;
  int64_t x0 = x0_in, y0 = y0_in, x1 = x1_in, y1 = y1_in;
  for (int round = 0;; ++round) {
    const int c0 = iOutCode(x0, y0, w, h), c1 = iOutCode(x1, y1, w, h);
    if (!c0 && !c1) break;
    if (c0 & c1) return;
    if (round == 8) {
      // The intercept is taken at x = width (y = height) but the point is put
      // on the last column (row), so near a far corner a point can swap
      // between (w - 1, h) and (w, h - 1) for ever. It is within one pixel
      // of the bitmap then: pull it in.
      auto clamp = [](int64_t v, int64_t n) { return v < 0 ? 0 : v >= n ? n - 1 : v; };
      x0 = clamp(x0, w), y0 = clamp(y0, h), x1 = clamp(x1, w), y1 = clamp(y1, h);
      break;
    }
    if (c0)
      iMovePoint(c0, x0, y0, x1, y1, w, h);
    else
      iMovePoint(c1, x1, y1, x0, y0, w, h);
  }

  const int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
  const int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1;
  // One step along the longer axis per point; the other axis steps when the
  // error has grown past the longer distance. Points go in increasing order
  // along the longer axis.
  const bool steep = dx <= dy;
  if (steep ? y1 < y0 : x1 < x0) std::swap(x0, x1), std::swap(y0, y1);
  const int64_t major = steep ? dy : dx, minor = steep ? dx : dy;
  int64_t x = x0, y = y0, error = 0;
  int64_t &along = steep ? y : x, &across = steep ? x : y;
  const int64_t step = (steep ? x0 < x1 : y0 < y1) ? 1 : -1;
  for (int64_t i = 0; i <= major; ++i) {
    error += minor;
    if (x >= 0 && x < w && y >= 0 && y < h) m_pixels[y * w + x] = m_color;
    if (error >= major) across += step, error -= major;
    ++along;
  }
}

void c_GUIB_Bitmap::FrameRect(const GUIB_Rect &r) {
  Line(r.left, r.top, r.right, r.top);
  Line(r.right, r.top, r.right, r.bottom);
  Line(r.right, r.bottom, r.left, r.bottom);
  Line(r.left, r.bottom, r.left, r.top);
}

void c_GUIB_Bitmap::FrameAndFill(const GUIB_Rect &r, uint32_t fill_argb) {
  FrameRect(GUIB_Rect{r.left, r.top, r.right - 1, r.bottom - 1});
  if (int64_t(r.right) - r.left >= 3 && int64_t(r.bottom) - r.top >= 3) {
    const uint32_t frame = m_color;
    m_color = fill_argb;
    Fill(GUIB_Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
    m_color = frame;
  }
}

void c_GUIB_Bitmap::CopyTo(c_GUIB_Bitmap *target, int32_t tx, int32_t ty, int32_t sx, int32_t sy,
                           int32_t width, int32_t height) const {
  if (!target || !m_pixels || !target->m_pixels) return;
  CopyRect(target->m_pixels, int32_t(target->m_width), int32_t(target->m_height), tx, ty, m_pixels,
           int32_t(m_width), int32_t(m_height), sx, sy, width, height);
}

void c_GUIB_Bitmap::BlendTo(c_GUIB_Bitmap *target, int32_t tx, int32_t ty, int32_t sx, int32_t sy,
                            int32_t width, int32_t height) const {
  if (!target || !m_pixels || !target->m_pixels) return;
  BlendRect(target->m_pixels, int32_t(target->m_width), int32_t(target->m_height), tx, ty, m_pixels,
            int32_t(m_width), int32_t(m_height), sx, sy, width, height);
}

void c_GUIB_Bitmap::Stretch(int32_t nw, int32_t nh) {
  if (!m_pixels || nw < 1 || nh < 1 || nw > GUIB_MAX_SIDE || nh > GUIB_MAX_SIDE) return;
  if (uint32_t(nw) == m_width && uint32_t(nh) == m_height) return;
  uint32_t *fresh = static_cast<uint32_t *>(SYS_Alloc(size_t(nw) * nh * 4, "Bitmap data"));
  if (!fresh) return;  // keeps the old pixels rather than losing them
  if (!StretchPixels(fresh, nw, nh, m_pixels, int32_t(m_width), int32_t(m_height))) {
    SYS_Free(fresh);
    return;
  }
  SYS_Free(m_pixels);
  m_pixels = fresh;
  m_width = uint32_t(nw);
  m_height = uint32_t(nh);
}

void c_GUIB_Bitmap::Present(uintptr_t device, int32_t dx, int32_t dy, const GUIB_Rect &rect) const {
  GUIB_Rect r = rect;
  if (!m_pixels || !iClip(r, m_width, m_height)) return;
  const int32_t w = r.right - r.left, h = r.bottom - r.top;
  uint32_t *rows = static_cast<uint32_t *>(SYS_Alloc(size_t(w) * h * 4, "Temporary bitmap"));
  if (!rows) return;
  // The screen wants bottom-up rows.
  for (int32_t y = 0; y < h; ++y)
    SYS_Copy(rows + size_t(h - 1 - y) * w, m_pixels + size_t(r.top + y) * m_width + r.left,
             size_t(w) * 4);
  iPresentRows(device, dx, dy, w, h, m_width * m_height * 4, rows);
  SYS_Free(rows);
}

void c_GUIB_Bitmap::LoadFromFile(const char *file_name) {
  ImageInfo info;
  if (!LoadImage(file_name, &info)) return;
  if ((info.bytes_per_pixel == 3 || info.bytes_per_pixel == 4) &&
      (SetSize(int32_t(info.width), int32_t(info.height)) || info.width == 0 || info.height == 0)) {
    const uint8_t *src = info.pixels;
    const bool alpha = info.bytes_per_pixel == 4 && (info.flags & 1);
    const size_t count = size_t(m_width) * m_height;
    for (size_t i = 0; i < count; ++i, src += info.bytes_per_pixel) {
      const uint32_t a = alpha ? src[3] : 255;
      m_pixels[i] = (a << 24) | (uint32_t(src[0]) << 16) | (uint32_t(src[1]) << 8) | src[2];
    }
  }
  SYS_FreeSafe(info.pixels);
}

bool c_GUIB_Bitmap::LoadFromStore(c_GUIB_RecordStore *store, uint32_t id) {
  if (!store || store->OpenChunk(GUIB_CHUNK_BITMAP, id) != GUIB_OK) return false;
  bool ok = false;
  const uint8_t *head = nullptr, *data = nullptr;
  uint32_t head_len = 0, data_len = 0;
  if (store->ReadRecord(1, &head, &head_len) == GUIB_OK && head_len >= 16 &&
      store->ReadRecord(2, &data, &data_len) == GUIB_OK) {
    uint32_t size[2];
    std::memcpy(size, head + 8, 8);
    if (size[0] <= uint32_t(GUIB_MAX_SIDE) && size[1] <= uint32_t(GUIB_MAX_SIDE) &&
        (SetSize(int32_t(size[0]), int32_t(size[1])) || size[0] == 0 || size[1] == 0)) {
      // Copy what the record holds, never more than the buffer; a short
      // record leaves the rest transparent black.
      const size_t bytes = size_t(m_width) * m_height * 4;
      const size_t n = data_len < bytes ? data_len : bytes;
      if (n) SYS_Copy(m_pixels, data, n);
      if (n < bytes) SYS_Zero(reinterpret_cast<uint8_t *>(m_pixels) + n, bytes - n);
      ok = true;
    }
  }
  store->CloseChunk();
  return ok;
}

uint32_t c_GUIB_Bitmap::SaveToStore(c_GUIB_RecordStore *store, uint32_t id) const {
  if (!store) return GUIB_ERR_NOTHING_OPEN;
  uint32_t rc = store->BeginChunk(GUIB_CHUNK_BITMAP, id, nullptr);
  if (rc != GUIB_OK) return rc;
  const uint32_t head[4] = {0, 0, m_width, m_height};
  rc = store->WriteRecord(1, head, sizeof head);
  if (rc == GUIB_OK) rc = store->WriteRecord(2, m_pixels, m_width * m_height * 4);
  store->EndChunk();
  return rc;
}
