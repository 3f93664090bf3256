// c_GUIB_RangeControl and c_GUIB_ScrollBar: layout, thumb, pointer, arrows.
#include "gui/scroll_bar.h"

#include "platform/platform.h"

namespace {

// Icon ids of the arrow buttons: normal and pointer-over image of the first
// (up or left) and the second (down or right) arrow.
const uint32_t kVerticalIcons[4] = {1, 2, 3, 4};
const uint32_t kHorizontalIcons[4] = {5, 6, 7, 8};

void iSetArrowIcons(GuiContext *ctx, c_GUIB_Button *button, uint32_t normal, uint32_t over) {
  if (!ctx || !button) return;
  c_GUIB_Bitmap *image = nullptr;
  if (ctx->GetImage(normal, &image) == GUI_OK && image) {
    button->SetIcon(image, SLOT_NORMAL);
    image->Release();
  }
  image = nullptr;
  if (ctx->GetImage(over, &image) == GUI_OK && image) {
    button->SetIcon(image, SLOT_HOVER);
    button->SetIcon(image, SLOT_PRESSED);
    image->Release();
  }
}

}  // namespace

c_GUIB_RangeControl::c_GUIB_RangeControl(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  m_orientation =
      p.width <= p.height ? (SB_VERTICAL | SB_NO_ARROWS) : (SB_HORIZONTAL | SB_NO_ARROWS);
}

c_GUIB_RangeControl::~c_GUIB_RangeControl() {
  if (m_image) m_image->Release();
  // The arrow buttons are children and die with the widget.
}

void c_GUIB_RangeControl::Resize(int32_t width, int32_t height) {
  if (width == m_rect.right && height == m_rect.bottom) return;
  c_GUIB_Widget::Resize(width, height);
  iLayout();
}

void c_GUIB_RangeControl::iLayout() {
  const bool horizontal = (m_orientation & SB_HORIZONTAL) != 0;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t length = horizontal ? w : h, thickness = horizontal ? h : w;
  m_trackLength = length;
  if (m_orientation & SB_NO_ARROWS) {
    if (m_arrow1) m_arrow1->Release();
    if (m_arrow2) m_arrow2->Release();
    m_arrow1 = m_arrow2 = nullptr;
    m_arrowLength = m_trackStart = 0;
  } else {
    int32_t a = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
    if (a > thickness) a = thickness;
    if (a > length / 2) a = length / 2;
    if (a < 0) a = 0;
    const GUIB_Rect r1 = horizontal ? GUIB_Rect{0, 0, a, h} : GUIB_Rect{0, 0, w, a};
    const GUIB_Rect r2 = horizontal ? GUIB_Rect{w - a, 0, a, h} : GUIB_Rect{0, h - a, w, a};
    c_GUIB_Button **slots[2] = {&m_arrow1, &m_arrow2};
    const GUIB_Rect *rects[2] = {&r1, &r2};
    const uint32_t *icons = horizontal ? kHorizontalIcons : kVerticalIcons;
    for (int i = 0; i < 2; ++i) {
      // Rectangles here are (x, y, width, height).
      const GUIB_Rect &r = *rects[i];
      c_GUIB_Button *&b = *slots[i];
      if (!b) {
        b = new c_GUIB_Button(GUI_ChildParams(this, r.left, r.top, r.right, r.bottom, iArrowHandler,
                                              reinterpret_cast<uintptr_t>(this)));
        if (m_context) b->SetInfoWord(INFO_CLICK, m_context->Word(GP_INFO_CONTROL_CLICK));
      } else {
        b->Move(r.left, r.top);
        b->Resize(r.right, r.bottom);
      }
      if (m_layoutPending) iSetArrowIcons(m_context, b, icons[2 * i], icons[2 * i + 1]);
    }
    m_arrowLength = m_trackStart = a;
    m_trackLength = length - 2 * a;
  }
  m_layoutPending = 0;
  if (m_noticeStyle == 2) {
    const float range = m_maximum - m_minimum;
    m_thumbLength = m_page < range ? SYS_Round(double(m_trackLength) * m_page / range) : 0;
  }
  iThumbFromPosition();
}

void c_GUIB_RangeControl::iThumbFromPosition() {
  const double r = double(m_maximum) - m_minimum - m_page;
  m_thumbOffset =
      r > 0 ? SYS_Round((double(m_position) - m_minimum) * (m_trackLength - m_thumbLength) / r) : 0;
}

bool c_GUIB_RangeControl::iSetFromOffset(int32_t p) {
  const int32_t span = m_trackLength - m_thumbLength;
  if (p > span) p = span;
  if (p < 0) p = 0;
  m_thumbOffset = p;
  const float old = m_position;
  // A thumb filling the whole track leaves nowhere to go.
  m_position = span > 0
                   ? float(double(p) / span * (double(m_maximum) - m_minimum - m_page) + m_minimum)
                   : m_minimum;
  if (m_snap != 0) {
    const double q = (double(m_position) - m_minimum) / m_snap;
    double whole = double(int64_t(q));
    if (q - whole >= 0.5) whole += 1;
    m_position = float(whole * m_snap + m_minimum);
    if (m_position > m_maximum) m_position = m_maximum;
    iThumbFromPosition();
  }
  return m_position != old;
}

void c_GUIB_RangeControl::iNotify(bool final_move) {
  uint32_t code;
  if (m_noticeStyle == 1)
    code = final_move ? GN_SLIDER_SET : GN_SLIDER_TRACK;
  else
    code = final_move ? GN_SCROLLED : GN_SCROLLING;
  CallHandlers(code, uintptr_t(intptr_t(int32_t(m_position))), 0);
}

uint32_t c_GUIB_RangeControl::SetScrollInfo(const ScrollInfo *info) {
  if (!info || !(info->minimum < info->maximum)) return GUI_ERR_BAD_ARG;
  float pos = info->position;
  // Never past the end, and never before the start even when the page
  // covers the whole range.
  if (pos > info->maximum - info->page) pos = info->maximum - info->page;
  if (pos < info->minimum) pos = info->minimum;
  m_minimum = info->minimum;
  m_maximum = info->maximum;
  m_page = info->page;
  m_position = pos;
  m_step = info->step;
  uint32_t orientation = m_orientation;
  if (info->orientation & SB_HORIZONTAL)
    orientation = (orientation & ~SB_VERTICAL) | SB_HORIZONTAL;
  else if (info->orientation & SB_VERTICAL)
    orientation = (orientation & ~SB_HORIZONTAL) | SB_VERTICAL;
  if (orientation != m_orientation) {
    m_orientation = orientation;
    m_layoutPending = 1;
  }
  iLayout();
  MarkDirty();
  return GUI_OK;
}

void c_GUIB_RangeControl::GetScrollInfo(ScrollInfo *info) const {
  if (!info) return;
  info->minimum = m_minimum;
  info->maximum = m_maximum;
  info->position = m_position;
  info->page = m_page;
  info->step = m_step;
  info->orientation = m_orientation;
}

void c_GUIB_RangeControl::OnEvent(uint32_t event, const GUI_Point *point, uint32_t,
                                  const GUIB_Rect *) {
  if (event == GM_MOUSE_LEAVE) {
    if (m_thumbHovered) MarkDirty();
    m_thumbHovered = 0;
    return;
  }
  if (event == GM_MOUSE_ENTER || m_thumbLength == 0 || !point) return;
  const int32_t c = ((m_orientation & SB_HORIZONTAL) ? point->x : point->y) - m_trackStart;
  switch (event) {
    case GM_MOUSE_MOVE:
      if (m_dragging) {
        if (iSetFromOffset(c - m_grabOffset)) {
          MarkDirty();
          iNotify(false);
        }
      } else {
        const uint32_t over = c >= m_thumbOffset && c < m_thumbOffset + m_thumbLength;
        if (over != m_thumbHovered) MarkDirty();
        m_thumbHovered = over;
      }
      break;
    case GM_LBUTTON_DOWN:
    case GM_LBUTTON_DBLCLK:
      if (c >= m_thumbOffset && c < m_thumbOffset + m_thumbLength) {
        Capture();
        m_dragging = 1;
        m_grabOffset = c - m_thumbOffset;
        MarkDirty();
      } else if (iSetFromOffset(c - m_thumbLength / 2)) {
        MarkDirty();
        iNotify(true);
      }
      break;
    case GM_LBUTTON_UP:
      if (!m_dragging) break;
      ReleaseCapture();
      m_dragging = 0;
      iSetFromOffset(c - m_grabOffset);
      MarkDirty();
      iNotify(true);
      break;
    default:
      break;
  }
}

uint32_t c_GUIB_RangeControl::iArrowHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg,
                                            uintptr_t, uintptr_t) {
  if (msg != GN_CLICKED && msg != GN_REPEAT) return 0;
  c_GUIB_RangeControl *bar = reinterpret_cast<c_GUIB_RangeControl *>(data);
  if (bar->m_page >= bar->m_maximum - bar->m_minimum) return 1;
  const float old = bar->m_position;
  if (w == bar->m_arrow1) {
    bar->m_position -= bar->m_step;
    if (bar->m_position < bar->m_minimum) bar->m_position = bar->m_minimum;
  } else {
    bar->m_position += bar->m_step;
    if (bar->m_position > bar->m_maximum - bar->m_page)
      bar->m_position = bar->m_maximum - bar->m_page;
  }
  if (bar->m_position != old) {
    bar->iThumbFromPosition();
    bar->MarkDirty();
    bar->iNotify(true);
  }
  return 1;
}

c_GUIB_ScrollBar::c_GUIB_ScrollBar(const WidgetCreateParams &p) : c_GUIB_RangeControl(p) {
  m_orientation &= ~SB_NO_ARROWS;
  m_noticeStyle = 2;
  m_page = 10;
  iLayout();
  MarkDirty();
}

void c_GUIB_ScrollBar::Paint() {
  if (!m_bitmap) return;
  uint32_t background, thumb;
  if (m_flags & WF_DISABLED) {
    background = thumb = m_fill[SLOT_DISABLED];
  } else {
    background = m_fill[SLOT_FIELD];
    thumb = m_dragging       ? m_fill[SLOT_PRESSED]
            : m_thumbHovered ? m_fill[SLOT_HOVER]
                             : (m_fill[SLOT_NORMAL] | 0xFF000000u);
  }
  m_bitmap->SetColor(background);
  m_bitmap->Fill(m_rect);
  if (m_thumbLength) {
    const int32_t start = m_trackStart + m_thumbOffset, end = start + m_thumbLength;
    const GUIB_Rect r = (m_orientation & SB_HORIZONTAL) ? GUIB_Rect{start, 0, end, m_rect.bottom}
                                                        : GUIB_Rect{0, start, m_rect.right, end};
    m_bitmap->SetColor(m_fill[SLOT_BORDER]);
    m_bitmap->FrameAndFill(r, thumb);
  }
  if (m_frameStyle & FRAME_BORDER) {
    m_bitmap->SetColor(m_fill[SLOT_BORDER]);
    m_bitmap->FrameRect(GUIB_Rect{0, 0, m_rect.right - 1, m_rect.bottom - 1});
  }
  Invalidate(m_rect);
}
