// c_GUIB_MessageBox and c_GUIB_TitleBar.
#include "gui/message_box.h"

namespace {

const struct {
  uint32_t flag;
  const char *text;
} kButtons[4] = {{MBB_OK, "Ok"}, {MBB_YES, "Yes"}, {MBB_NO, "No"}, {MBB_CANCEL, "Cancel"}};

uint32_t iCountButtons(uint32_t mask) {
  uint32_t n = 0;
  for (const auto &b : kButtons) n += (mask & b.flag) ? 1 : 0;
  return n;
}

}  // namespace

// ------------------------------------------------------------ title bar

c_GUIB_TitleBar::c_GUIB_TitleBar(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  MarkDirty();
}

void c_GUIB_TitleBar::OnEvent(uint32_t event, const GUI_Point *point, uint32_t, const GUIB_Rect *) {
  switch (event) {
    case GM_LBUTTON_DOWN: {
      c_GUIB_Widget *parent = GetParent();
      if (!parent || !point) {
        if (parent) parent->Release();
        return;
      }
      Capture();
      m_dragging = 1;
      m_dragStart = *point;
      GetOrigin(&m_dragStart);
      parent->GetPosition(&m_parentStart.x, &m_parentStart.y);
      parent->Release();
      break;
    }
    case GM_MOUSE_MOVE: {
      if (!m_dragging || !point) return;
      c_GUIB_Widget *parent = GetParent();
      if (!parent) return;
      // Root coordinates: the bar itself moves with its parent.
      GUI_Point p = *point;
      GetOrigin(&p);
      parent->Move(m_parentStart.x + p.x - m_dragStart.x, m_parentStart.y + p.y - m_dragStart.y);
      parent->Release();
      break;
    }
    case GM_LBUTTON_UP:
      m_dragging = 0;
      ReleaseCapture();
      break;
    default:
      break;
  }
}

void c_GUIB_TitleBar::Paint() {
  if (!m_bitmap) return;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  if (m_frameStyle & FRAME_BORDER) {
    m_bitmap->SetColor(m_fill[SLOT_BORDER]);
    m_bitmap->FrameAndFill(m_rect, m_fill[SLOT_BACKGROUND]);
  } else {
    m_bitmap->Fill(m_rect);
  }
  if (m_fonts[SLOT_NORMAL] && m_text) {
    const int32_t fh = m_fonts[SLOT_NORMAL]->GetLineHeight();
    const int32_t top = (h - fh) / 2;
    m_fonts[SLOT_NORMAL]->iOutTextRect(m_bitmap, m_textColor[SLOT_NORMAL], m_text,
                                       GUIB_Rect{2, top, w - 4, top + fh});
  }
  iInvalidateAll();
}

// ---------------------------------------------------------- message box

static WidgetCreateParams iNoBitmap(const WidgetCreateParams &p) {
  WidgetCreateParams q = p;
  q.flags |= WF_NO_BITMAP;  // the children do all the drawing
  return q;
}

c_GUIB_MessageBox::c_GUIB_MessageBox(const WidgetCreateParams &p) : c_GUIB_Widget(iNoBitmap(p)) {
  m_flags |= WF_FOCUSABLE;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t c = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
  const uintptr_t self = reinterpret_cast<uintptr_t>(this);
  m_title = new c_GUIB_TitleBar(GUI_ChildParams(this, 0, 0, w, c, iButtonHandler, self));
  m_title->SetTextColor(SLOT_NORMAL, 0xFFFFFFFF);
  m_body = new c_GUIB_Panel(GUI_ChildParams(this, 0, c - 1, w, h - (c - 1), iButtonHandler, self));
  m_body->SetFillColor(SLOT_BACKGROUND, m_fill[SLOT_FIELD]);
  m_label =
      new c_GUIB_Label(GUI_ChildParams(this, 6, c - 1 + 6, w - 12, h - (c - 1) - 26, nullptr, 0));
  m_label->SetFrameStyle(0);
  m_label->SetFillColor(SLOT_BACKGROUND, 0);
  m_label->SetTextAlign(c_GUIB_Label::ALIGN_WRAP);
  SetFocus();
}

void c_GUIB_MessageBox::SetButtons(uint32_t mask, const char *const *texts) {
  for (c_GUIB_Button *&b : m_buttons) {
    if (b) b->Release();
    b = nullptr;
  }
  if (mask == 0) mask = MBB_OK;
  m_mask = mask;
  m_count = iCountButtons(mask);
  int32_t pw = 0, ph = 0;
  m_body->GetSize(&pw, &ph);
  const int32_t bw = int32_t(m_buttonWidth), bh = int32_t(m_buttonHeight), gap = int32_t(m_gap);
  const int32_t y = ph - gap - bh;
  int32_t x = (pw - (int32_t(m_count) - 1) * gap - bw * int32_t(m_count)) / 2;
  for (uint32_t i = 0; i < 4; ++i) {
    if (!(mask & kButtons[i].flag)) continue;
    m_buttons[i] = new c_GUIB_Button(
        GUI_ChildParams(m_body, x, y, bw, bh, iButtonHandler, reinterpret_cast<uintptr_t>(this)));
    m_buttons[i]->SetText(texts && texts[i] ? texts[i] : kButtons[i].text);
    x += bw + gap;
  }
}

void c_GUIB_MessageBox::iAnswer(uint32_t flag) {
  CallHandlers(GN_MSGBOX_RESULT, flag, 0);
  RequestDestroy();
}

uint32_t c_GUIB_MessageBox::iButtonHandler(c_GUIB_Widget *sender, uintptr_t data, uint32_t msg,
                                           uintptr_t, uintptr_t) {
  if (msg != GN_CLICKED) return 0;
  c_GUIB_MessageBox *box = reinterpret_cast<c_GUIB_MessageBox *>(data);
  for (uint32_t i = 0; i < 4; ++i) {
    if (box->m_buttons[i] && box->m_buttons[i] == sender) {
      box->iAnswer(kButtons[i].flag);
      return 1;
    }
  }
  return 0;
}

uintptr_t c_GUIB_MessageBox::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg != GM_KEY_DOWN) return c_GUIB_Widget::HandleMessage(msg, a, b);
  const uint32_t key = uint32_t(a) & 0xFFFF;
  if (key == 13 || key == 32) {
    if (m_count == 1) {
      for (uint32_t i = 0; i < 4; ++i) {
        if (m_buttons[i]) {
          iAnswer(kButtons[i].flag);
          break;
        }
      }
    }
  } else if (key == 27) {
    if (m_mask & MBB_CANCEL)
      iAnswer(MBB_CANCEL);
    else if (m_mask & MBB_NO)
      iAnswer(MBB_NO);
  }
  return 1;  // keys never reach anything behind the box
}

c_GUIB_MessageBox *ShowMessageBox(c_GUIB_Widget *parent, const char *title, const char *text,
                                  uint32_t mask, WidgetHandlerFn handler,
                                  const char *const *button_texts) {
  if (!parent) return nullptr;
  int32_t pw = 0, ph = 0;
  parent->GetSize(&pw, &ph);
  const int32_t mw = int32_t(iCountButtons(mask)) * 86 - 6;
  int32_t tt = 0, tx = 0, th = 0;
  c_GUIB_Font *font = nullptr;
  if (parent->GetFont(SLOT_NORMAL, &font) == GUI_OK && font) {
    if (title && title[0]) {
      GUIB_Rect r{0, 0, 0, 0};
      font->CalcTextRect(title, &r, GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP);
      tt = r.right - r.left;
      if (tt + 12 > pw) tt = pw - 12;
    }
    if (text && text[0]) {
      GUIB_Rect r{0, 0, 0, 0};
      font->CalcTextRect(text, &r, GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP);
      tx = r.right - r.left;
      th = r.bottom - r.top;
      if (tx + 12 > pw) {
        tx = pw - 12;
        th = font->MeasureWrapped(text, tx);
      }
    }
  }
  int32_t cw = mw;
  if (tx > cw) cw = tx;
  if (tt > cw) cw = tt;
  const int32_t bw = cw + 16, bh = th + 46;
  WidgetCreateParams p = {};
  p.x = (pw - bw) / 2;
  p.y = (ph - bh) / 2;
  p.width = bw;
  p.height = bh;
  p.flags = WF_WANT_OUTSIDE_PRESS;
  p.parent = parent;
  p.context = parent->GetContext();
  c_GUIB_MessageBox *box = new c_GUIB_MessageBox(p);
  if (handler) box->AddHandler(handler, reinterpret_cast<uintptr_t>(box));
  box->TitleBar()->SetText(title);
  box->SetText(text);
  box->TextLabel()->SetText(text);
  box->SetButtons(mask, button_texts);
  if (font) font->Release();
  return box;
}
