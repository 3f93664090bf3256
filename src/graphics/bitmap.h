// c_GUIB_Bitmap: the one drawing surface of the GUI.
//
// 32 bits per pixel, one little-endian word 0xAARRGGBB per pixel (bytes blue,
// green, red, alpha in memory), alpha not premultiplied, rows top first with
// a pitch of exactly width * 4 bytes. Every widget draws into a bitmap of its
// own, the desktop blends them into its frame bitmap and Present puts that on
// the screen. A bitmap whose buffer could not be allocated has no pixels and
// size 0 x 0; every operation on it does nothing.
//
// The pixel routines behind CopyTo, BlendTo and Stretch are in pixels.h; the
// image loaders behind the file constructor in image.h; the record-store
// chunk (type 0x1001) is read and written by LoadFromStore / SaveToStore.
#pragma once

#include <cstdint>

#include "graphics/object.h"

// Left, top, right, bottom; right and bottom exclusive.
struct GUIB_Rect {
  int32_t left, top, right, bottom;
};

class c_GUIB_RecordStore;

// The largest width or height any bitmap may have.
static const int32_t GUIB_MAX_SIDE = 16384;
static const uint32_t GUIB_CHUNK_BITMAP = 0x1001;

class c_GUIB_Bitmap : public c_GUIB_BasicObject {
 public:
  c_GUIB_Bitmap();
  c_GUIB_Bitmap(int32_t width, int32_t height);   // negative counts as 0
  explicit c_GUIB_Bitmap(const char *file_name);  // 0 x 0 when the image fails to load
  explicit c_GUIB_Bitmap(const c_GUIB_Bitmap *other);
  c_GUIB_Bitmap(c_GUIB_RecordStore *store, uint32_t id);

  // Frees the old buffer and allocates width x height words (not cleared).
  // Returns the buffer, or 0 (size 0 x 0) when it cannot be allocated.
  uint32_t *SetSize(int32_t width, int32_t height);
  void GetSize(uint32_t *width, uint32_t *height) const;
  uint32_t Width() const { return m_width; }
  uint32_t Height() const { return m_height; }
  uint32_t *Pixels() const { return m_pixels; }

  void SetColor(uint32_t argb) { m_color = argb; }
  uint32_t GetColor() const { return m_color; }
  void SetPixel(int32_t x, int32_t y, uint32_t argb);
  uint32_t GetPixel(int32_t x, int32_t y) const;  // 0xFF000000 outside

  void Fill(const GUIB_Rect &r);
  void FillArea(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  void FrameRect(const GUIB_Rect &r);  // right and bottom drawn inclusive
  void FrameAndFill(const GUIB_Rect &r, uint32_t fill_argb);
  void Tint(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb);

  void CopyTo(c_GUIB_Bitmap *target, int32_t tx, int32_t ty, int32_t sx, int32_t sy, int32_t width,
              int32_t height) const;
  void BlendTo(c_GUIB_Bitmap *target, int32_t tx, int32_t ty, int32_t sx, int32_t sy, int32_t width,
               int32_t height) const;
  void Stretch(int32_t new_width, int32_t new_height);

  // Puts a rectangle of the bitmap on a device at (dx, dy). On Windows the
  // device is an HDC; natively it is a c_GUIB_Bitmap standing for the screen
  // (the headless desktop's frame), which receives the pixels, opaque.
  void Present(uintptr_t device, int32_t dx, int32_t dy, const GUIB_Rect &r) const;

  bool LoadFromStore(c_GUIB_RecordStore *store, uint32_t id);
  // GUIB_OK, GUIB_ERR_NOTHING_OPEN (no store), or the store's writing failure.
  uint32_t SaveToStore(c_GUIB_RecordStore *store, uint32_t id) const;

 protected:
  ~c_GUIB_Bitmap() override;

 private:
  void FreePixels();
  void LoadFromFile(const char *file_name);

  uint32_t *m_pixels = nullptr;
  uint32_t m_color = 0xFF000000;
  uint32_t m_width = 0;
  uint32_t m_height = 0;
};

// Backend half of Present: rows are bottom-up, clipped width x height words.
void iPresentRows(uintptr_t device, int32_t dx, int32_t dy, int32_t width, int32_t height,
                  uint32_t whole_bytes, const uint32_t *bottom_up);
