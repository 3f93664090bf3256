// c_GUIB_Button: press, drag, release, auto-repeat; text with an icon.
#include "gui/desktop.h"  // KW_CHAR
#include "gui/widgets.h"
#include "platform/platform.h"

namespace {

void iSwap(c_GUIB_Bitmap *&slot, c_GUIB_Bitmap *image) {
  if (image) image->AddRef();
  if (slot) slot->Release();
  slot = image;
}

}  // namespace

c_GUIB_Button::c_GUIB_Button(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  m_flags &= ~WF_FOCUSABLE;
  MarkDirty();
}

c_GUIB_Button::~c_GUIB_Button() {
  for (uint32_t i = 0; i < SLOT_COUNT; ++i) {
    iSwap(m_backgrounds[i], nullptr);
    iSwap(m_icons[i], nullptr);
  }
  iSwap(m_hitMask, nullptr);
}

uint32_t c_GUIB_Button::SetIcon(c_GUIB_Bitmap *image, uint32_t slot) {
  if (slot >= SLOT_COUNT) return GUI_ERR_BAD_ID;
  iSwap(m_icons[slot], image);
  MarkDirty();
  return GUI_OK;
}

uint32_t c_GUIB_Button::SetBackgroundImage(c_GUIB_Bitmap *image, uint32_t slot) {
  if (slot >= SLOT_COUNT) return GUI_ERR_BAD_ID;
  iSwap(m_backgrounds[slot], image);
  MarkDirty();
  return GUI_OK;
}

void c_GUIB_Button::SetHitMask(c_GUIB_Bitmap *mask) {
  iSwap(m_hitMask, mask);
}

void c_GUIB_Button::OnEvent(uint32_t event, const GUI_Point *point, uint32_t, const GUIB_Rect *) {
  switch (event) {
    case GM_LBUTTON_DOWN:
    case GM_LBUTTON_DBLCLK:
      Capture();
      m_state |= STATE_HELD | STATE_ARMED;
      MarkDirty();
      m_nextRepeat = SYS_GetTickCount() + (m_context ? m_context->Word(GP_REPEAT_DELAY) : 250);
      break;
    case GM_MOUSE_MOVE:
      if (!(m_state & STATE_HELD)) break;
      if (point && HitTest(point->x, point->y))
        m_state |= STATE_ARMED;
      else
        m_state &= ~STATE_ARMED;
      MarkDirty();
      break;
    case GM_LBUTTON_UP:
      if (!(m_state & STATE_HELD)) break;
      ReleaseCapture();
      if (m_state & STATE_ARMED) {
        SetFocus();
        Press();
      }
      m_state &= ~(STATE_HELD | STATE_ARMED);
      MarkDirty();
      break;
    case GM_MOUSE_ENTER:
      if (m_state & STATE_HELD) m_state |= STATE_ARMED;
      PublishInfo(m_info[INFO_ENTER]);
      MarkDirty();
      break;
    case GM_MOUSE_LEAVE:
      if (m_state & STATE_HELD) m_state &= ~STATE_ARMED;
      MarkDirty();
      break;
    default:
      break;
  }
}

void c_GUIB_Button::Press() {
  PublishInfo(m_info[INFO_CLICK]);
  CallHandlers(GN_CLICKED, 0, 0);
}

uint32_t c_GUIB_Button::Describe(GUI_Description *d) {
  d->name = GUI_TextOf(this);
  return d->role = ACC_BUTTON;
}

uintptr_t c_GUIB_Button::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg == GM_KEY_DOWN && (a & 0xFFFF) == ' ' && (a & KW_CHAR)) {
    Press();
    return 1;
  }
  if (msg != GM_TICK) return c_GUIB_Widget::HandleMessage(msg, a, b);
  const uint32_t tick = uint32_t(a);
  // Signed difference: "due" survives the wrap of the tick count.
  if ((m_state & STATE_ARMED) && (m_flags & WF_HOVER) && int32_t(tick - m_nextRepeat) > 0) {
    CallHandlers(GN_REPEAT, 0, 0);
    m_nextRepeat = tick + (m_context ? m_context->Word(GP_REPEAT_INTERVAL) : 50);
  }
  return 0;
}

bool c_GUIB_Button::HitTest(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= m_rect.right || y >= m_rect.bottom) return false;
  if (!m_hitMask) return true;
  const uint32_t p = m_hitMask->GetPixel(x, y);
  return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) >= 32;
}

void c_GUIB_Button::Paint() {
  if (!m_bitmap) return;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const bool armed = m_state & STATE_ARMED, hovered = m_flags & WF_HOVER;
  uint32_t s, text_slot, fill_slot;
  if (m_flags & WF_DISABLED)
    s = text_slot = fill_slot = SLOT_DISABLED;
  else if (armed && hovered)
    s = text_slot = fill_slot = SLOT_PRESSED;
  else if (armed)
    s = SLOT_NORMAL, text_slot = SLOT_HOVER, fill_slot = SLOT_NORMAL;
  else if (hovered)
    s = text_slot = fill_slot = SLOT_HOVER;
  else
    s = text_slot = fill_slot = SLOT_NORMAL;

  const bool border = (m_frameStyle & FRAME_BORDER) != 0;
  if (c_GUIB_Bitmap *bg = m_backgrounds[s]) {
    const int32_t iw = int32_t(bg->Width()), ih = int32_t(bg->Height());
    bg->CopyTo(m_bitmap, (w - iw) / 2, (h - ih) / 2, 0, 0, iw, ih);
  } else {
    m_bitmap->SetColor(m_fill[fill_slot]);
    m_bitmap->Fill(border ? GUIB_Rect{1, 1, w - 1, h - 1} : m_rect);
  }
  iDrawBorder();

  c_GUIB_Bitmap *icon = m_icons[s];
  const int32_t iw = icon ? int32_t(icon->Width()) : 0;
  const int32_t ih = icon ? int32_t(icon->Height()) : 0;
  int32_t x = (w + iw) / 2;
  if (m_text && m_fonts[SLOT_NORMAL]) {
    GUIB_Rect r{0, 0, w + iw, h};
    m_fonts[SLOT_NORMAL]->CalcTextRect(m_text, &r, GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);
    m_fonts[SLOT_NORMAL]->DrawString(m_bitmap, m_textColor[text_slot], r.left, r.top, m_text);
    x = r.left;
  }
  if (icon) icon->BlendTo(m_bitmap, x - iw, (h - ih) / 2, 0, 0, iw, ih);
  iInvalidateAll();
}
