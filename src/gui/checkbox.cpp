// c_GUIB_CheckBox: box with an X mark beside a text.
#include "gui/desktop.h"  // KW_CHAR
#include "gui/widgets.h"

c_GUIB_CheckBox::c_GUIB_CheckBox(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  if (m_context) {
    m_info[INFO_CLICK] = m_context->Word(GP_INFO_CONTROL_CLICK);
    m_font = m_context->Font(GP_FONT);
    if (m_font) m_font->AddRef();
  }
  MarkDirty();
}

c_GUIB_CheckBox::~c_GUIB_CheckBox() {
  if (m_font) m_font->Release();
}

void c_GUIB_CheckBox::SetText(const char *text) {
  c_GUIB_Widget::SetText(text);
  iLayout();
}

void c_GUIB_CheckBox::SetStyle(uint32_t style) {
  m_style = style;
  iLayout();
  MarkDirty();
}

void c_GUIB_CheckBox::SetCheck(uint32_t state) {
  if (state > 2 || state == m_state) return;
  m_state = state;
  MarkDirty();
}

void c_GUIB_CheckBox::iLayout() {
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t m = m_context ? int32_t(m_context->Word(GP_MARK_SIZE)) : 10;
  const int32_t gap = m + m / 2;
  int32_t tw = 0;
  if (m_font && m_text) {
    GUIB_Rect r{0, 0, w - gap, h};
    m_font->CalcTextRect(m_text, &r, GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP);
    tw = r.right;
  }
  m_wrap = tw > w - gap;
  if (m_wrap) tw = w - gap;
  int32_t box_left, text_left;
  if (m_style & STYLE_BOX_RIGHT) {
    box_left = w - m;
    text_left = w - tw - gap;
  } else {
    box_left = 0;
    text_left = gap;
  }
  const int32_t fh = m_font ? m_font->GetLineHeight() : 0;
  const int32_t box_top = (m_style & STYLE_BOX_VCENTRE) ? (h - m) / 2 : (fh - m) / 2;
  m_textRect = GUIB_Rect{text_left, 0, text_left + tw, h};
  m_boxRect = GUIB_Rect{box_left, box_top, box_left + m, box_top + m};
}

void c_GUIB_CheckBox::Paint() {
  if (!m_bitmap) return;
  m_bitmap->SetColor(0);
  m_bitmap->Fill(m_rect);
  uint32_t fill, text;
  if (m_flags & WF_DISABLED)
    fill = m_fill[SLOT_DISABLED], text = m_textColor[SLOT_DISABLED];
  else if (m_flags & WF_HOVER)
    fill = m_fill[SLOT_HOVER], text = m_textColor[SLOT_PRESSED];  // hover text: the pressed colour
  else
    fill = m_fill[SLOT_NORMAL], text = m_textColor[SLOT_NORMAL];
  const GUIB_Rect &b = m_boxRect;
  m_bitmap->SetColor(m_fill[SLOT_BORDER]);
  m_bitmap->FrameAndFill(b, fill);
  if (m_state == 1) {
    m_bitmap->Line(b.right - 3, b.top + 2, b.left + 2, b.bottom - 3);
    m_bitmap->Line(b.left + 2, b.top + 2, b.right - 3, b.bottom - 3);
  }
  if (m_textRect.right - m_textRect.left > 1 && m_font && m_text) {
    // The text stays within its rectangle: draw through a bitmap of that
    // width, in lines wrapped to it when one line is too wide.
    const int32_t tw = m_textRect.right - m_textRect.left, th = m_rect.bottom;
    c_GUIB_Bitmap *clip = new c_GUIB_Bitmap(tw, th);
    m_bitmap->CopyTo(clip, 0, 0, m_textRect.left, m_textRect.top, tw, th);
    if (m_wrap)
      m_font->iOutTextRect(clip, text, m_text, GUIB_Rect{0, 0, tw, th});
    else
      m_font->DrawString(clip, text, 0, 0, m_text);
    clip->CopyTo(m_bitmap, m_textRect.left, m_textRect.top, 0, 0, tw, th);
    clip->Release();
  }
  iInvalidateAll();
}

bool c_GUIB_CheckBox::HitTest(int32_t x, int32_t y) {
  auto in = [x, y](const GUIB_Rect &r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  };
  return in(m_rect) && (in(m_boxRect) || in(m_textRect));
}

void c_GUIB_CheckBox::OnEvent(uint32_t event, const GUI_Point *, uint32_t, const GUIB_Rect *) {
  switch (event) {
    case GM_LBUTTON_DOWN:
    case GM_LBUTTON_DBLCLK:
      Capture();
      m_held = 1;
      break;
    case GM_LBUTTON_UP:
      ReleaseCapture();
      if (m_held) iToggle();
      m_held = 0;
      break;
    case GM_MOUSE_ENTER:
      MarkDirty();
      PublishInfo(m_info[INFO_ENTER]);
      break;
    case GM_MOUSE_LEAVE:
      MarkDirty();
      break;
    default:
      break;
  }
}

void c_GUIB_CheckBox::iToggle() {
  m_state = m_state == 0 ? 1 : 0;
  PublishInfo(m_info[INFO_CLICK]);
  CallHandlers(GN_CHECK_CHANGED, m_state, 0);
  MarkDirty();
}

uintptr_t c_GUIB_CheckBox::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg != GM_KEY_DOWN || (a & 0xFFFF) != ' ' || !(a & KW_CHAR))
    return c_GUIB_Widget::HandleMessage(msg, a, b);
  iToggle();
  return 1;
}

uint32_t c_GUIB_CheckBox::Describe(GUI_Description *d) {
  d->name = GUI_TextOf(this);
  if (m_state == 1) d->state |= ACCS_CHECKED;
  return d->role = ACC_CHECKBOX;
}
