// The widget base: construction, flags, messages, routing and handlers.
#include "gui/widget.h"

#include <algorithm>

#include "platform/platform.h"

namespace {

struct HandlerEntry {
  WidgetHandlerFn fn;
  uintptr_t data;
};

uint32_t iFreeHandler(uintptr_t, uintptr_t value) {
  delete reinterpret_cast<HandlerEntry *>(value);
  return SYS_OK;
}

// A snapshot of a keyed list's keys, freed on scope exit.
struct KeySnapshot {
  uintptr_t *keys = nullptr;
  uint32_t count = 0;
  explicit KeySnapshot(KeyedList *list) {
    if (list && KeyedList_Keys(list, &keys, &count) != SYS_OK) count = 0;
  }
  ~KeySnapshot() { SYS_FreeSafe(keys); }
  KeySnapshot(const KeySnapshot &) = delete;
  KeySnapshot &operator=(const KeySnapshot &) = delete;
};

bool iInside(const GUIB_Rect &r, int32_t x, int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool iIsPress(uint32_t event) {
  return event == GM_LBUTTON_DOWN || event == GM_LBUTTON_DBLCLK || event == GM_RBUTTON_DOWN ||
         event == GM_MBUTTON_DOWN;
}

}  // namespace

bool GUI_IsEmpty(const GUIB_Rect &r) {
  return r.right <= r.left || r.bottom <= r.top;
}

bool GUI_Intersect(const GUIB_Rect &a, const GUIB_Rect &b, GUIB_Rect *out) {
  GUIB_Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
              a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  if (GUI_IsEmpty(r)) r = GUIB_Rect{0, 0, 0, 0};
  if (out) *out = r;
  return !GUI_IsEmpty(r);
}

GUIB_Rect GUI_Offset(const GUIB_Rect &r, int32_t dx, int32_t dy) {
  return GUIB_Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

WidgetCreateParams GUI_ChildParams(c_GUIB_Widget *parent, int32_t x, int32_t y, int32_t w,
                                   int32_t h, WidgetHandlerFn handler, uintptr_t handler_data) {
  WidgetCreateParams p = {};
  p.x = x;
  p.y = y;
  p.width = w;
  p.height = h;
  p.parent = parent;
  p.context = parent ? parent->GetContext() : nullptr;
  p.handler = handler;
  p.handler_data = handler_data;
  return p;
}

uint16_t *GUI_WidenText(const char *text) {
  if (!text || !text[0]) return nullptr;
  const size_t n = SYS_StrLen(text);
  uint16_t *w = static_cast<uint16_t *>(SYS_Alloc((n + 1) * sizeof(uint16_t), "Widget text"));
  if (!w) return nullptr;
  for (size_t i = 0; i < n; ++i) w[i] = uint8_t(text[i]);
  w[n] = 0;
  return w;
}

// ---------------------------------------------------------------- lifetime

template <typename Visit>
void c_GUIB_Widget::iForEachChild(bool back_to_front, Visit visit) const {
  // Walk a copy: a visit may add or remove children, so each one is checked
  // to be a child still when its turn comes.
  const std::vector<c_GUIB_Widget *> kids(m_children);
  const size_t n = kids.size();
  for (size_t k = 0; k < n; ++k) {
    c_GUIB_Widget *child = kids[back_to_front ? n - 1 - k : k];
    if (iHasChild(child) && visit(child)) break;
  }
}

c_GUIB_Widget::c_GUIB_Widget(const WidgetCreateParams &p)
    : m_x(p.x),
      m_y(p.y),
      m_rect{0, 0, p.width > 0 ? p.width : 0, p.height > 0 ? p.height : 0},
      m_context(p.context),
      m_flags(p.flags | WF_VISIBLE | WF_FOCUSABLE),
      m_parent(p.parent) {
  GUI_CheckThread(m_context, __func__);
  if (!(m_flags & WF_NO_BITMAP)) {
    m_bitmap = new c_GUIB_Bitmap(m_rect.right, m_rect.bottom);
    // A fresh buffer holds garbage; start transparent so that a widget that
    // never paints composes as nothing.
    if (m_bitmap->Pixels())
      SYS_Fill(m_bitmap->Pixels(), 4, size_t(m_rect.right) * m_rect.bottom, 0);
  }
  m_handlers = KeyedList_Create(iFreeHandler);
  m_id = p.id ? p.id : (m_context ? m_context->NewWidgetId() : 0);
  if (m_context) m_context->RegisterWidget(this);
  if (m_parent) m_parent->m_children.insert(m_parent->m_children.begin(), this);
  if (m_context) {
    // Slot and the theme property it is copied from.
    static const uint32_t kFillSeeds[][2] = {
        {SLOT_NORMAL, GP_FILL_NORMAL},   {SLOT_BACKGROUND, GP_FILL_BACKGROUND},
        {SLOT_FIELD, GP_FILL_FIELD},     {SLOT_BORDER, GP_BORDER_COLOR},
        {SLOT_HOVER, GP_FILL_HOVER},     {SLOT_DISABLED, GP_FILL_DISABLED},
        {SLOT_PRESSED, GP_FILL_PRESSED}, {SLOT_ACCENT, GP_FILL_ACCENT}};
    for (auto &s : kFillSeeds) m_fill[s[0]] = m_context->Word(s[1]);
    static const uint32_t kTextSeeds[][2] = {{SLOT_NORMAL, GP_TEXT_NORMAL},
                                             {SLOT_HOVER, GP_TEXT_HOVER},
                                             {SLOT_DISABLED, GP_TEXT_DISABLED},
                                             {SLOT_PRESSED, GP_TEXT_PRESSED},
                                             {SLOT_ACCENT, GP_TEXT_ACCENT}};
    for (auto &s : kTextSeeds) m_textColor[s[0]] = m_context->Word(s[1]);
    static const uint32_t kInfoSeeds[INFO_COUNT] = {GP_INFO_ENTER, GP_INFO_SPARE_1, GP_INFO_CLICK,
                                                    GP_INFO_SPARE_3, GP_INFO_SPARE_4};
    for (uint32_t i = 0; i < INFO_COUNT; ++i) m_info[i] = m_context->Word(kInfoSeeds[i]);
    m_frameStyle = m_context->Word(GP_FRAME_STYLE);
    m_textAlign = m_context->Word(GP_TEXT_ALIGN);
    c_GUIB_Font *font = m_context->Font(GP_FONT);
    for (uint32_t slot : {SLOT_NORMAL, SLOT_HOVER, SLOT_PRESSED}) SetFont(font, slot);
  }
  if (p.handler) AddHandler(p.handler, p.handler_data);
}

c_GUIB_Widget::~c_GUIB_Widget() {
  GUI_CheckThread(m_context, __func__);
  if (m_flags & WF_ACTIVATABLE) SendToParent(GM_DEACTIVATE, reinterpret_cast<uintptr_t>(this), 0);
  ReleaseCapture();
  KillFocus();
  if (m_flags & WF_HOVER) SendUp(GM_MOUSE_LEAVE, reinterpret_cast<uintptr_t>(this), 0);
  Invalidate(m_rect);
  iForEachChild(false, [](c_GUIB_Widget *child) {
    // A child that someone else still holds outlives this widget: cut it
    // loose first so that it never reaches a dead parent.
    if (child->m_refCount > 1) child->iDetachSubtree();
    child->Release();
    return false;
  });
  ReleaseCapture();
  for (c_GUIB_Font *&f : m_fonts) {
    if (f) f->Release();
    f = nullptr;
  }
  if (m_parent) {
    if (m_parent->m_activeChild == this) m_parent->m_activeChild = nullptr;
    m_parent->iRemoveChild(this);
  }
  if (m_context) m_context->UnregisterWidget(this);
  iReleaseBitmap();
  SYS_FreeSafe(m_text);
  SYS_FreeSafe(m_tooltip);
  KeyedList_Destroy(m_handlers, true, false);
}

void c_GUIB_Widget::iGiveBackStates() {
  iForEachChild(false, [](c_GUIB_Widget *child) {
    child->iGiveBackStates();
    return false;
  });
  ReleaseCapture();
  KillFocus();
  if (m_flags & WF_HOVER) SendUp(GM_MOUSE_LEAVE, reinterpret_cast<uintptr_t>(this), 0);
}

void c_GUIB_Widget::iDetachSubtree() {
  // Give back capture, focus and hover held anywhere in the subtree while the
  // chain to the root still exists, then leave the parent.
  iGiveBackStates();
  if (m_parent) {
    if (m_parent->m_activeChild == this) m_parent->m_activeChild = nullptr;
    m_parent->iRemoveChild(this);
  }
  m_parent = nullptr;
}

void c_GUIB_Widget::Release() {
  if (--m_refCount == 0) delete this;
}

void c_GUIB_Widget::iReleaseBitmap() {
  if (m_bitmap) m_bitmap->Release();
  m_bitmap = nullptr;
}

bool c_GUIB_Widget::iHasChild(c_GUIB_Widget *child) const {
  return std::find(m_children.begin(), m_children.end(), child) != m_children.end();
}

void c_GUIB_Widget::iRemoveChild(c_GUIB_Widget *child) {
  auto it = std::find(m_children.begin(), m_children.end(), child);
  if (it != m_children.end()) m_children.erase(it);
}

uint32_t c_GUIB_Widget::ChildList(uintptr_t **keys, uint32_t *count) const {
  if (!keys || !count) return GUI_ERR_BAD_ARG;
  *keys = nullptr;
  *count = uint32_t(m_children.size());
  if (m_children.empty()) return GUI_OK;
  *keys = static_cast<uintptr_t *>(SYS_Alloc(m_children.size() * sizeof(uintptr_t), "Child list"));
  if (!*keys) return GUI_ERR_NOMEM;
  for (size_t i = 0; i < m_children.size(); ++i)
    (*keys)[i] = reinterpret_cast<uintptr_t>(m_children[i]);
  return GUI_OK;
}

// ---------------------------------------------------------- virtual basics

void c_GUIB_Widget::Move(int32_t x, int32_t y) {
  if (x == m_x && y == m_y) return;
  Broadcast(GM_INVALIDATE_TREE, 0, 0, 0);
  m_x = x;
  m_y = y;
  Broadcast(GM_INVALIDATE_TREE, 0, 0, 0);
}

void c_GUIB_Widget::Resize(int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width < m_rect.right || height < m_rect.bottom) Invalidate(m_rect);
  m_rect = GUIB_Rect{0, 0, width, height};
  if (m_bitmap) {
    iReleaseBitmap();
    m_bitmap = new c_GUIB_Bitmap(width, height);
    if (m_bitmap->Pixels()) SYS_Fill(m_bitmap->Pixels(), 4, size_t(width) * height, 0);
  }
  MarkDirty();
}

void c_GUIB_Widget::OnEvent(uint32_t, const GUI_Point *, uint32_t, const GUIB_Rect *) {}

bool c_GUIB_Widget::HitTest(int32_t x, int32_t y) {
  return iInside(m_rect, x, y);
}

uintptr_t c_GUIB_Widget::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  GUI_CheckThread(m_context, __func__);
  switch (msg) {
    case GM_COMPOSE: {
      GUI_ComposeTarget *t = reinterpret_cast<GUI_ComposeTarget *>(a);
      const GUIB_Rect &root = *reinterpret_cast<const GUIB_Rect *>(b);
      if (!GUI_Intersect(t->clip, root, &t->clip)) return 0;
      GUIB_Rect r;
      if (!GUI_Intersect(t->clip, t->update, &r)) return 0;
      if (m_bitmap)
        m_bitmap->BlendTo(t->bitmap, r.left, r.top, r.left - root.left, r.top - root.top,
                          r.right - r.left, r.bottom - r.top);
      return 1;
    }
    case GM_TICK: {
      // Tooltip delay: the first tick after the pointer moved starts the
      // clock, one more than a second later shows the text.
      if (!(m_flags & WF_HOVER) || m_tooltipShown || !m_tooltip) return 0;
      const uint32_t now = uint32_t(a);
      if (m_hoverStart == 0) {
        m_hoverStart = now ? now : 1;
      } else if (now - m_hoverStart > 1000) {
        GUI_Point p{m_lastX + m_x, m_lastY + m_y};
        SendToParent(GM_TOOLTIP_SHOW, reinterpret_cast<uintptr_t>(&p),
                     reinterpret_cast<uintptr_t>(m_tooltip));
        m_tooltipShown = true;
      }
      return 0;
    }
    case GM_TOOLTIP_SHOW:
    case GM_TOOLTIP_HIDE:
      return CallHandlers(msg, a, b);
    default:
      return 0;
  }
}

// ------------------------------------------------------------------ state

void c_GUIB_Widget::SetFlags(uint32_t mask) {
  const uint32_t old = m_flags;
  m_flags |= mask & WF_SETTABLE;
  if (m_flags == old || mask == WF_SELF_DISABLED) return;
  MarkDirty();
  if (mask & WF_VISIBLE) Broadcast(GM_INVALIDATE_TREE, 0, 0, 0);
}

void c_GUIB_Widget::ClearFlags(uint32_t mask) {
  const uint32_t old = m_flags;
  m_flags &= ~(mask & WF_SETTABLE);
  if (m_flags == old || mask == WF_SELF_DISABLED) return;
  MarkDirty();
  if (mask & WF_VISIBLE) Broadcast(GM_INVALIDATE_TREE, 0, 0, 0);
}

void c_GUIB_Widget::Show(bool on) {
  GUI_CheckThread(m_context, __func__);
  if (on)
    SetFlags(WF_VISIBLE);
  else
    ClearFlags(WF_VISIBLE);
}

void c_GUIB_Widget::Enable(bool on) {
  GUI_CheckThread(m_context, __func__);
  if (!(m_flags & WF_DISABLED) == on) return;
  // The look depends on the state, so a change repaints.
  MarkDirty();
  if (on) {
    m_flags &= ~WF_DISABLED;
    iForEachChild(false, [](c_GUIB_Widget *c) {
      if (!(c->m_flags & WF_SELF_DISABLED)) c->Enable(true);
      return false;
    });
    return;
  }
  m_flags |= WF_DISABLED;
  iForEachChild(false, [](c_GUIB_Widget *c) {
    if (c->m_flags & WF_DISABLED) {
      c->m_flags |= WF_SELF_DISABLED;
    } else {
      c->m_flags &= ~WF_SELF_DISABLED;
      c->Enable(false);
    }
    return false;
  });
}

void c_GUIB_Widget::SetFrameStyle(uint32_t style) {
  if (style == m_frameStyle) return;
  m_frameStyle = style;
  MarkDirty();
}

void c_GUIB_Widget::SetTextAlign(uint32_t align) {
  if (align == m_textAlign) return;
  m_textAlign = align;
  MarkDirty();
}

uint32_t c_GUIB_Widget::SetInfoWord(uint32_t index, uint32_t word) {
  if (index >= INFO_COUNT) return GUI_ERR_BAD_ID;
  m_info[index] = word;
  return GUI_OK;
}

uint32_t c_GUIB_Widget::SetFillColor(uint32_t index, uint32_t argb) {
  if (index >= SLOT_COUNT) return GUI_ERR_BAD_ID;
  if (m_fill[index] != argb) MarkDirty();
  m_fill[index] = argb;
  return GUI_OK;
}

uint32_t c_GUIB_Widget::SetTextColor(uint32_t index, uint32_t argb) {
  if (index >= SLOT_COUNT) return GUI_ERR_BAD_ID;
  if (m_textColor[index] != argb) MarkDirty();
  m_textColor[index] = argb;
  return GUI_OK;
}

uint32_t c_GUIB_Widget::SetFont(c_GUIB_Font *font, uint32_t index) {
  if (index >= SLOT_COUNT) return GUI_ERR_BAD_ID;
  if (font) font->AddRef();
  if (m_fonts[index]) m_fonts[index]->Release();
  m_fonts[index] = font;
  return GUI_OK;
}

uint32_t c_GUIB_Widget::GetFont(uint32_t index, c_GUIB_Font **font) const {
  if (index >= SLOT_COUNT) return GUI_ERR_BAD_ID;
  if (!m_fonts[index]) return GUI_ERR_EMPTY;
  m_fonts[index]->AddRef();
  if (font)
    *font = m_fonts[index];
  else
    m_fonts[index]->Release();
  return GUI_OK;
}

void c_GUIB_Widget::SetText(const char *text) {
  GUI_CheckThread(m_context, __func__);
  const bool had = m_text != nullptr;
  SYS_FreeSafe(m_text);
  m_text = GUI_WidenText(text);
  if (had || m_text) MarkDirty();
}

void c_GUIB_Widget::SetTooltipText(const char *text) {
  SYS_FreeSafe(m_tooltip);
  m_tooltip = GUI_WidenText(text);
}

void c_GUIB_Widget::GetSize(int32_t *w, int32_t *h) const {
  if (w) *w = m_rect.right;
  if (h) *h = m_rect.bottom;
}

void c_GUIB_Widget::GetPosition(int32_t *x, int32_t *y) const {
  if (x) *x = m_x;
  if (y) *y = m_y;
}

c_GUIB_Widget *c_GUIB_Widget::GetParent() {
  if (m_parent) m_parent->AddRef();
  return m_parent;
}

c_GUIB_Widget *c_GUIB_Widget::GetDesktop() {
  if (!m_parent) return nullptr;
  c_GUIB_Widget *desktop = nullptr;
  SendUp(GM_GET_DESKTOP, reinterpret_cast<uintptr_t>(&desktop), 0);
  if (desktop) desktop->AddRef();
  return desktop;
}

void c_GUIB_Widget::GetOrigin(GUI_Point *point) {
  SendUp(GM_GET_ORIGIN, reinterpret_cast<uintptr_t>(point), 0);
}

void c_GUIB_Widget::Invalidate(const GUIB_Rect &r) {
  GUI_CheckThread(m_context, __func__);
  if (!m_parent) return;
  GUIB_Rect moved = GUI_Offset(r, m_x, m_y);
  m_parent->SendUp(GM_INVALIDATE_RECT, 0, reinterpret_cast<uintptr_t>(&moved));
}

void c_GUIB_Widget::Capture() {
  if (m_flags & WF_CAPTURED) return;
  m_flags |= WF_CAPTURED;
  SendUp(GM_CAPTURE, reinterpret_cast<uintptr_t>(this), 0);
}

void c_GUIB_Widget::ReleaseCapture() {
  if (!(m_flags & WF_CAPTURED)) return;
  m_flags &= ~WF_CAPTURED;
  SendUp(GM_RELEASE_CAPTURE, reinterpret_cast<uintptr_t>(this), 0);
}

void c_GUIB_Widget::SetFocus() {
  GUI_CheckThread(m_context, __func__);
  if ((m_flags & WF_FOCUSED) || !(m_flags & WF_FOCUSABLE)) return;
  SendUp(GM_SET_FOCUS, reinterpret_cast<uintptr_t>(this), 0);
  m_flags |= WF_FOCUSED;
  HandleMessage(GM_FOCUS_CHANGED, 1, 0);
  MarkDirty();
  SendUp(GM_ACC_EVENT, ACC_EVENT_FOCUS, reinterpret_cast<uintptr_t>(this));
}

void c_GUIB_Widget::KillFocus() {
  if (!(m_flags & WF_FOCUSED)) return;
  SendUp(GM_KILL_FOCUS, reinterpret_cast<uintptr_t>(this), 0);
  m_flags &= ~WF_FOCUSED;
  HandleMessage(GM_FOCUS_CHANGED, 0, 0);
  MarkDirty();
}

void c_GUIB_Widget::Activate() {
  if (!(m_flags & WF_ACTIVATABLE) || (m_flags & WF_ACTIVE)) return;
  SendToParent(GM_ACTIVATE, reinterpret_cast<uintptr_t>(this), 0);
  m_flags |= WF_ACTIVE;
  if (m_activeChild) m_activeChild->Activate();
  BringToFront();
  HandleMessage(GM_ACTIVATE, 1, 0);
  MarkDirty();
}

void c_GUIB_Widget::Deactivate() {
  if (!(m_flags & WF_ACTIVATABLE) || !(m_flags & WF_ACTIVE)) return;
  m_flags &= ~WF_ACTIVE;
  if (m_activeChild) m_activeChild->Deactivate();
  HandleMessage(GM_ACTIVATE, 0, 0);
  MarkDirty();
}

void c_GUIB_Widget::BringToFront() {
  SendToParent(GM_BRING_TO_FRONT, reinterpret_cast<uintptr_t>(this), 0);
}

void c_GUIB_Widget::MouseEnter() {
  if (m_flags & WF_HOVER) return;
  m_flags |= WF_HOVER;
  OnEvent(GM_MOUSE_ENTER, nullptr, 0, nullptr);
  CallHandlers(GM_MOUSE_ENTER, 0, 0);
}

void c_GUIB_Widget::MouseLeave() {
  if (!(m_flags & WF_HOVER)) return;
  if (m_tooltipShown) {
    SendUp(GM_TOOLTIP_HIDE, 0, 0);
    m_tooltipShown = false;
  }
  m_flags &= ~WF_HOVER;
  OnEvent(GM_MOUSE_LEAVE, nullptr, 0, nullptr);
  CallHandlers(GM_MOUSE_LEAVE, 0, 0);
}

void c_GUIB_Widget::PublishInfo(uint32_t word) {
  if (m_infoEnabled && word) SendUp(GM_INFO, word, 0);
}

uintptr_t c_GUIB_Widget::RequestDestroy() {
  GUI_CheckThread(m_context, __func__);
  const uintptr_t r = CallHandlers(GM_DESTROY, reinterpret_cast<uintptr_t>(this), 0);
  if (r) return r;
  SendUp(GM_DESTROY, m_id, 0);
  return 0;
}

// -------------------------------------------------------------- handlers

uint32_t c_GUIB_Widget::AddHandler(WidgetHandlerFn fn, uintptr_t data) {
  HandlerEntry *e = new HandlerEntry{fn, data};
  const uint32_t rc = KeyedList_Insert(m_handlers, reinterpret_cast<uintptr_t>(fn),
                                       reinterpret_cast<uintptr_t>(e), KL_HEAD);
  if (rc != SYS_OK) delete e;
  return rc;
}

uint32_t c_GUIB_Widget::RemoveHandler(WidgetHandlerFn fn) {
  return KeyedList_Remove(m_handlers, reinterpret_cast<uintptr_t>(fn), false);
}

uintptr_t c_GUIB_Widget::CallHandlers(uint32_t msg, uintptr_t a, uintptr_t b) {
  GUI_CheckThread(m_context, __func__);
  KeySnapshot keys(m_handlers);
  uintptr_t result = 0;
  // Each handler is looked up again before its call: an earlier one may
  // have removed it.
  for (uint32_t i = 0; i < keys.count; ++i) {
    uintptr_t value = 0;
    if (KeyedList_Get(m_handlers, keys.keys[i], &value) != SYS_OK) continue;
    const HandlerEntry e = *reinterpret_cast<HandlerEntry *>(value);
    KeyedList_Release(m_handlers, keys.keys[i]);
    result = e.fn(this, e.data, msg, a, b);
    if (msg == GM_TOOLTIP_SHOW) result = 0;
    if (result) break;
  }
  return result;
}

// --------------------------------------------------------------- routing

uintptr_t c_GUIB_Widget::SendToParent(uint32_t msg, uintptr_t a, uintptr_t b) {
  return m_parent ? m_parent->SendUp(msg, a, b) : 0;
}

uintptr_t c_GUIB_Widget::SendUp(uint32_t msg, uintptr_t a, uintptr_t b) {
  GUI_CheckThread(m_context, __func__);
  c_GUIB_Widget *w = this;
  GUIB_Rect rect;
  GUI_Point point;
  switch (msg) {
    case GM_MOUSE_ENTER:
    case GM_MOUSE_LEAVE:
    case GM_CAPTURE:
    case GM_RELEASE_CAPTURE:
    case GM_SET_FOCUS:
    case GM_KILL_FOCUS:
    case GM_GET_KEY_STATE:
    case GM_DESTROY:
    case GM_ADD_DIRTY_RECT:
    case GM_TOOLTIP_HIDE:
    case GM_INFO:
    case GM_GET_DESKTOP:
    case GM_ACC_EVENT:
      while (w->m_parent) w = w->m_parent;
      break;
    case GM_ACTIVATE:
    case GM_DEACTIVATE:
      for (;;) {
        if (w->m_flags & WF_ACTIVATABLE) {
          c_GUIB_Widget *target = reinterpret_cast<c_GUIB_Widget *>(a);
          if (msg == GM_ACTIVATE) {
            if (w->m_activeChild && w->m_activeChild != target) w->m_activeChild->Deactivate();
            w->m_activeChild = target;
          } else if (w->m_activeChild == target) {
            w->m_activeChild = nullptr;
          }
          return 1;
        }
        if (!w->m_parent) break;
        w = w->m_parent;
      }
      break;
    case GM_INVALIDATE_RECT:
      rect = *reinterpret_cast<const GUIB_Rect *>(b);
      for (; w->m_parent; w = w->m_parent) rect = GUI_Offset(rect, w->m_x, w->m_y);
      b = reinterpret_cast<uintptr_t>(&rect);
      break;
    case GM_TOOLTIP_SHOW:
      point = *reinterpret_cast<const GUI_Point *>(a);
      for (; w->m_parent; w = w->m_parent) {
        point.x += w->m_x;
        point.y += w->m_y;
      }
      a = reinterpret_cast<uintptr_t>(&point);
      break;
    case GM_GET_ORIGIN: {
      GUI_Point *p = reinterpret_cast<GUI_Point *>(a);
      for (; w->m_parent; w = w->m_parent) {
        p->x += w->m_x;
        p->y += w->m_y;
      }
      break;
    }
    case GM_BRING_TO_FRONT: {
      c_GUIB_Widget *child = reinterpret_cast<c_GUIB_Widget *>(a);
      for (;;) {
        auto &kids = w->m_children;
        auto it = std::find(kids.begin(), kids.end(), child);
        if (it != kids.end() && it != kids.begin()) std::rotate(kids.begin(), it, it + 1);
        child->MarkDirty();
        if (!w->m_parent) return 0;
        child = w;
        w = w->m_parent;
      }
    }
    default:
      break;
  }
  if (w->m_flags & WF_DISABLED) return 0;
  return w->HandleMessage(msg, a, b);
}

uintptr_t c_GUIB_Widget::iBroadcastChildren(uint32_t msg, uintptr_t a, uintptr_t b, uint32_t flags,
                                            bool *taken) {
  uintptr_t result = 0;
  bool any = false;
  iForEachChild(flags & BC_BACK_TO_FRONT, [&](c_GUIB_Widget *c) {
    result = c->Broadcast(msg, a, b, flags);
    any = any || result;
    return result && !(flags & BC_ALL);
  });
  if (taken) *taken = any;
  return result;
}

uintptr_t c_GUIB_Widget::BroadcastToChildren(uint32_t msg, uintptr_t a, uintptr_t b,
                                             uint32_t flags) {
  return iBroadcastChildren(msg, a, b, flags, nullptr);
}

uintptr_t c_GUIB_Widget::Broadcast(uint32_t msg, uintptr_t a, uintptr_t b, uint32_t flags) {
  GUI_CheckThread(m_context, __func__);
  if ((flags & BC_SKIP_DISABLED) && (m_flags & WF_DISABLED)) return 0;
  if ((flags & BC_SKIP_INVISIBLE) && !(m_flags & WF_VISIBLE)) return 0;
  switch (msg) {
    case GM_PAINT:
      if ((m_flags & (WF_DIRTY | WF_NO_BITMAP)) == WF_DIRTY) {
        m_flags &= ~WF_DIRTY;
        Paint();
      }
      break;
    case GM_COMPOSE:
    case GM_COLLECT_DIRTY: {
      if (!(m_flags & WF_VISIBLE)) return 0;
      const GUIB_Rect &origin = *reinterpret_cast<const GUIB_Rect *>(b);
      const GUIB_Rect root{origin.left + m_x, origin.top + m_y, origin.left + m_x + m_rect.right,
                           origin.top + m_y + m_rect.bottom};
      GUI_ComposeTarget t = *reinterpret_cast<const GUI_ComposeTarget *>(a);
      if (msg == GM_COMPOSE) {
        GUI_ComposeTarget mine = t;
        HandleMessage(GM_COMPOSE, reinterpret_cast<uintptr_t>(&mine),
                      reinterpret_cast<uintptr_t>(&root));
      } else {
        GUIB_Rect r;
        if (GUI_Intersect(t.clip, root, &r) && GUI_Intersect(r, t.update, &r))
          SendUp(GM_ADD_DIRTY_RECT, 0, reinterpret_cast<uintptr_t>(&r));
      }
      if (!GUI_Intersect(t.clip, root, &t.clip)) return 0;
      BroadcastToChildren(msg, reinterpret_cast<uintptr_t>(&t), reinterpret_cast<uintptr_t>(&root),
                          BC_BACK_TO_FRONT | BC_ALL);
      return 0;
    }
    case GM_INVALIDATE_TREE:
      Invalidate(m_rect);
      BroadcastToChildren(msg, a, b, BC_BACK_TO_FRONT | BC_ALL);
      return 0;
    default:
      break;
  }
  // A message some child took is not offered to this widget.
  bool taken = false;
  iBroadcastChildren(msg, a, b, flags, &taken);
  if (taken) return 1;
  return HandleMessage(msg, a, b);
}

uintptr_t c_GUIB_Widget::DispatchMouse(uint32_t event, const GUI_Point *point, uint32_t buttons,
                                       const GUIB_Rect *clip) {
  if ((m_flags & WF_DISABLED) || !(m_flags & WF_VISIBLE)) return 0;
  GUI_Point p{point->x - m_x, point->y - m_y};
  GUIB_Rect c;
  GUI_Intersect(GUI_Offset(*clip, -m_x, -m_y), m_rect, &c);
  bool taken_by_child = false;
  if (!(m_flags & WF_CAPTURED)) {
    iForEachChild(false, [&](c_GUIB_Widget *child) {
      taken_by_child = child->DispatchMouse(event, &p, buttons, &c) != 0;
      return taken_by_child;
    });
    if (!taken_by_child) {
      const bool hit = iInside(c, p.x, p.y) && HitTest(p.x, p.y);
      if (!hit) {
        if (!(m_flags & WF_WANT_OUTSIDE_PRESS)) return 0;
        if (iIsPress(event)) OnEvent(GM_PRESS_OUTSIDE, &p, buttons, &c);
        return 1;
      }
    }
  }
  if (!taken_by_child) {
    if ((m_flags & WF_VISIBLE) && !(m_flags & WF_DISABLED) && !(m_flags & WF_HOVER))
      SendUp(GM_MOUSE_ENTER, reinterpret_cast<uintptr_t>(this), 0);
    m_lastX = p.x;
    m_lastY = p.y;
    m_hoverStart = 0;
    OnEvent(event, &p, buttons, &c);
  }
  if ((m_flags & WF_ACTIVATABLE) &&
      (event == GM_LBUTTON_DOWN || event == GM_RBUTTON_DOWN || event == GM_MBUTTON_DOWN))
    Activate();
  return 1;
}

void c_GUIB_Widget::iDrawBorder() {
  if (!(m_frameStyle & FRAME_BORDER) || !m_bitmap) return;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  m_bitmap->SetColor(m_fill[SLOT_BORDER]);
  m_bitmap->Line(0, 0, w - 1, 0);
  m_bitmap->Line(w - 1, 1, w - 1, h - 2);
  m_bitmap->Line(w - 1, h - 1, 0, h - 1);
  m_bitmap->Line(0, h - 2, 0, 1);
}
