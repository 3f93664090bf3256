// c_GUIB_Panel: background colour or image, border.
#include "gui/widgets.h"

c_GUIB_Panel::c_GUIB_Panel(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  m_flags &= ~WF_FOCUSABLE;  // panels never take the keyboard focus
  MarkDirty();
}

c_GUIB_Panel::~c_GUIB_Panel() {
  if (m_image) m_image->Release();
}

uint32_t c_GUIB_Panel::SetBackground(uint32_t argb, c_GUIB_Bitmap *image, uint32_t style) {
  const bool had_image = m_image != nullptr;
  if (m_image) m_image->Release();
  m_image = nullptr;
  m_fill[SLOT_BACKGROUND] = argb;
  m_style = style & ~uint32_t(PANEL_KEEP_IMAGE);
  if (image) {
    if (style & PANEL_KEEP_IMAGE) {
      image->AddRef();
      m_image = image;
    } else {
      m_image = new c_GUIB_Bitmap(image);
    }
    switch (m_style & 7) {
      case PANEL_TOP_LEFT:
      case PANEL_TILE:
      case PANEL_CENTRE:
        break;
      case PANEL_STRETCH:
        m_image->Stretch(m_rect.right, m_rect.bottom);
        break;
      default:
        return GUI_ERR_BAD_ARG;
    }
  } else if (!had_image) {
    return GUI_OK;
  }
  MarkDirty();
  return GUI_OK;
}

void c_GUIB_Panel::GetBackground(uint32_t *argb, c_GUIB_Bitmap **image, uint32_t *style) const {
  if (argb) *argb = m_fill[SLOT_BACKGROUND];
  if (image) *image = m_image;
  if (style) *style = m_style;
}

void c_GUIB_Panel::Paint() {
  if (!m_bitmap) return;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const bool border = (m_frameStyle & FRAME_BORDER) != 0;
  const GUIB_Rect inner = border ? GUIB_Rect{1, 1, w - 1, h - 1} : m_rect;
  m_bitmap->SetColor(m_fill[SLOT_BACKGROUND]);
  const int32_t iw = m_image ? int32_t(m_image->Width()) : 0;
  const int32_t ih = m_image ? int32_t(m_image->Height()) : 0;
  if (m_image && iw > 0 && ih > 0) {
    if (m_style & PANEL_TILE) {
      for (int32_t x = inner.left; x < inner.right; x += iw)
        for (int32_t y = inner.top; y < inner.bottom; y += ih)
          m_image->CopyTo(m_bitmap, x, y, 0, 0, iw, ih);
    } else {
      int32_t x0 = 0, y0 = 0;
      if (m_style & PANEL_CENTRE) {
        x0 = (w - iw) / 2;
        y0 = (h - ih) / 2;
      }
      const int32_t x1 = x0 + iw, y1 = y0 + ih;
      if (x0 > 0) m_bitmap->FillArea(0, 0, x0, h);
      if (y0 > 0) m_bitmap->FillArea(x0, 0, x1, y0);
      if (x1 < w) m_bitmap->FillArea(x1, 0, w, h);
      if (y1 < h) m_bitmap->FillArea(x0, y1, x1, h);
      m_image->CopyTo(m_bitmap, x0, y0, 0, 0, iw, ih);
    }
  } else {
    m_bitmap->Fill(inner);
  }
  iDrawBorder();
  if (m_flags & WF_ACTIVE) m_bitmap->Line(0, 0, w - 1, h - 1);
  iInvalidateAll();
}

uint32_t c_GUIB_Panel::Describe(GUI_Description *d) {
  d->name = GUI_TextOf(this);
  return d->role = d->name.empty() ? ACC_NONE : ACC_TEXT;
}
