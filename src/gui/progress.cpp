// c_GUIB_ProgressBar: a filled part and a percentage text.
#include <string>

#include "gui/widgets.h"
#include "platform/platform.h"

c_GUIB_ProgressBar::c_GUIB_ProgressBar(const WidgetCreateParams &p, uint32_t style)
    : c_GUIB_Widget(p), m_style(style) {}

void c_GUIB_ProgressBar::SetValue(int32_t value, uint32_t flags) {
  if (value < m_minimum) value = m_minimum;
  if (value > m_maximum) value = m_maximum;
  m_value = value;
  const int64_t done = int64_t(value) - m_minimum;
  const int32_t before = m_percent;
  m_percent = m_range ? int32_t(done * 100 / m_range) : 0;
  if (m_percent != before) SendUp(GM_ACC_EVENT, ACC_EVENT_VALUE, reinterpret_cast<uintptr_t>(this));
  const bool text_only = (m_style & STYLE_TEXT_ONLY) && !(m_style & STYLE_VERTICAL);
  if (!text_only) {
    int32_t length = (m_style & STYLE_VERTICAL) ? m_rect.bottom : m_rect.right;
    if (m_frameStyle & FRAME_BORDER) length -= 1;
    m_fillLength = m_range ? int32_t(int64_t(length) * done / m_range) : 0;
  }
  SYS_Format(m_percentText, sizeof m_percentText, "%3d %%", m_percent > 100 ? 100 : m_percent);
  if (!(flags & NO_REDRAW)) MarkDirty();
}

uint32_t c_GUIB_ProgressBar::Describe(GUI_Description *d) {
  const int32_t p = m_percent < 0 ? 0 : m_percent > 100 ? 100 : m_percent;
  for (char c : std::to_string(p) + "%") d->value += char16_t(c);
  return d->role = ACC_PROGRESS;
}

void c_GUIB_ProgressBar::Paint() {
  if (!m_bitmap) return;
  const bool border = (m_frameStyle & FRAME_BORDER) != 0;
  const GUIB_Rect r = border ? GUIB_Rect{1, 1, m_rect.right - 1, m_rect.bottom - 1} : m_rect;
  const bool text_only = (m_style & STYLE_TEXT_ONLY) && !(m_style & STYLE_VERTICAL);
  if (!text_only) {
    const int32_t n = m_fillLength;
    GUIB_Rect filled, empty;
    if (m_style & STYLE_VERTICAL) {
      if (m_style & STYLE_REVERSED) {
        filled = GUIB_Rect{r.left, 0, r.right, n};
        empty = GUIB_Rect{r.left, n, r.right, r.bottom};
      } else {
        filled = GUIB_Rect{r.left, r.bottom - n, r.right, r.bottom};
        empty = GUIB_Rect{r.left, 0, r.right, r.bottom - n};
      }
    } else if (m_style & STYLE_REVERSED) {
      filled = GUIB_Rect{r.right - n, 0, r.right, r.bottom};
      empty = GUIB_Rect{0, 0, r.right - n, r.bottom};
    } else {
      filled = GUIB_Rect{0, 0, n, r.bottom};
      empty = GUIB_Rect{n, 0, r.right, r.bottom};
    }
    if (!GUI_IsEmpty(filled)) {
      m_bitmap->SetColor(m_fill[SLOT_HOVER]);
      m_bitmap->Fill(filled);
    }
    if (!GUI_IsEmpty(empty)) {
      m_bitmap->SetColor(m_fill[SLOT_NORMAL]);
      m_bitmap->Fill(empty);
    }
  }
  iDrawBorder();
  if (!(m_style & STYLE_NO_TEXT) && m_percentText[0] && m_fonts[SLOT_NORMAL]) {
    GUIB_Rect t = m_rect;
    m_fonts[SLOT_NORMAL]->CalcTextRect(m_percentText, &t, GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);
    m_fonts[SLOT_NORMAL]->DrawString(m_bitmap, m_textColor[SLOT_NORMAL], t.left, t.top,
                                     m_percentText);
  }
  iInvalidateAll();
}
