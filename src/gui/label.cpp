// c_GUIB_Label: static text, one aligned line or wrapped.
#include "gui/widgets.h"

c_GUIB_Label::c_GUIB_Label(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  MarkDirty();
}

void c_GUIB_Label::Paint() {
  if (!m_bitmap) return;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const uint32_t color =
      (m_flags & WF_DISABLED) ? m_textColor[SLOT_DISABLED] : m_textColor[SLOT_NORMAL];
  m_bitmap->SetColor(m_fill[SLOT_BACKGROUND]);
  m_bitmap->Fill(m_rect);
  GUIB_Rect tr{2, 0, w - 1, h - 1};
  if (m_frameStyle & FRAME_BORDER) {
    iDrawBorder();
    tr = GUIB_Rect{3, 1, w - 2, h - 2};
  }
  c_GUIB_Font *font = m_fonts[SLOT_NORMAL];
  uint32_t align = m_textAlign;
  if (font && font->GetLineHeight() > tr.bottom - tr.top)
    align = (align & ~uint32_t(GUIB_ALIGN_TOP | GUIB_ALIGN_BOTTOM)) | GUIB_ALIGN_VCENTER;
  if (m_text && font) {
    if (align == ALIGN_WRAP) {
      font->iOutTextRect(m_bitmap, color, m_text, tr);
    } else {
      GUIB_Rect r = tr;
      font->CalcTextRect(m_text, &r, align);
      font->DrawString(m_bitmap, color, r.left, r.top, m_text);
    }
  }
  iInvalidateAll();
}

uint32_t c_GUIB_Label::Describe(GUI_Description *d) {
  d->name = GUI_TextOf(this);
  return d->role = d->name.empty() ? ACC_NONE : ACC_TEXT;
}
