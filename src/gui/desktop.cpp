// The desktop: message answers, update list, pump, input translation.
#include "gui/desktop.h"

#include "platform/platform.h"

namespace {

int64_t iArea(const GUIB_Rect &r) {
  return (int64_t(r.right) - r.left) * (int64_t(r.bottom) - r.top);
}

bool iContains(const GUIB_Rect &r, int32_t x, int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool iIsPress(uint32_t e) {
  return e == GM_LBUTTON_DOWN || e == GM_LBUTTON_DBLCLK || e == GM_RBUTTON_DOWN ||
         e == GM_MBUTTON_DOWN;
}

bool iIsRelease(uint32_t e) {
  return e == GM_LBUTTON_UP || e == GM_RBUTTON_UP || e == GM_MBUTTON_UP;
}

}  // namespace

c_GUIB_Desktop::c_GUIB_Desktop(const WidgetCreateParams &p)
    : c_GUIB_Widget(p),
      m_timerRef(SYS_GetTickCount()),
      m_lastTick(m_timerRef),
      m_condemned(KeyedList_Create(nullptr)) {
  m_flags |= WF_ACTIVATABLE;
}

c_GUIB_Desktop::~c_GUIB_Desktop() {
  if (m_condemned) KeyedList_Destroy(m_condemned, false, false);
  m_condemned = nullptr;
  m_updates.clear();
  iDestroyWindow();
  SYS_FreeSafe(m_className);
  m_className = nullptr;
  if (m_screen) m_screen->Release();
  m_screen = nullptr;
  // The children die in the base destructor; their last messages must not
  // reach pointers of this object any more.
  m_capture = m_focus = m_hover = nullptr;
}

uint32_t c_GUIB_Desktop::SetDisplayMode(uint32_t mode, const DesktopWindowParams *params) {
  GUI_CheckThread(m_context, __func__);
  iDestroyWindow();
  if (mode == 0) return GUI_OK;
  if (mode != 1) return GUI_ERR_BAD_ID;
  const uint32_t rc = iCreateWindow(params);
  if (rc == GUI_OK) m_mode = 1;
  return rc;
}

// ----------------------------------------------------------------- pump

uint32_t c_GUIB_Desktop::PumpOnce() {
  GUI_CheckThread(m_context, __func__);
  if (m_closed) return 0;
  {
    uintptr_t *ids = nullptr;
    uint32_t count = 0;
    if (KeyedList_Keys(m_condemned, &ids, &count) == SYS_OK) {
      for (uint32_t i = 0; i < count; ++i) {
        c_GUIB_Widget *w = m_context ? m_context->FindWidget(uint32_t(ids[i])) : nullptr;
        if (w) {
          w->Release();  // the lookup's reference
          w->Release();  // the creator's
        }
        KeyedList_Remove(m_condemned, ids[i], false);
      }
      SYS_FreeSafe(ids);
    }
  }
  const uint32_t now = SYS_GetTickCount();
  const uint32_t interval = m_context ? m_context->Word(GP_TICK_INTERVAL) : 20;
  // Unsigned difference: the tick count wraps after 49 days.
  if (now - m_timerRef > interval) {
    Broadcast(GM_TICK, now, 0, BC_ALL);
    m_lastTick = now;
  }
  Broadcast(GM_PAINT, now, 0, BC_ALL);
  iTrackFocusRing();
  iDrawUpdateList();
  if (m_mode == 1) iPumpWindowMessages();
  return 1;
}

uint32_t c_GUIB_Desktop::TimeToNextTick() const {
  const uint32_t interval = m_context ? m_context->Word(GP_TICK_INTERVAL) : 20;
  const uint32_t now = SYS_GetTickCount();
  // Before the first tick the pump waits for more than one interval to pass.
  const uint32_t due = m_lastTick == m_timerRef ? m_timerRef + interval + 1 : m_lastTick + interval;
  const int32_t left = int32_t(due - now);
  if (left <= 0) return 0;
  return uint32_t(left) > interval + 1 ? interval + 1 : uint32_t(left);
}

void c_GUIB_Desktop::WaitForWork() {
  // Input handled by the last pass usually leaves widgets to repaint: run
  // the next pass at once.
  if (m_inputSeen || m_closed) {
    m_inputSeen = false;
    return;
  }
  const uint32_t ms = TimeToNextTick();
  if (ms) iWaitForInput(ms);
}

// ---------------------------------------------------------- update list

void c_GUIB_Desktop::iAddDirty(const GUIB_Rect &r) {
  for (const GUIB_Rect &u : m_updates)
    if (iContains(u, r.left, r.top) && iContains(u, r.right - 1, r.bottom - 1)) return;
  m_updates.push_back(r);
}

void GUI_MergeRects(std::vector<GUIB_Rect> *rects) {
  std::vector<GUIB_Rect> &v = *rects;
  // Pairs whose bounding box wastes no area become the bounding box; repeat
  // until a whole pass merges nothing.
  bool merged = true;
  while (merged) {
    merged = false;
    size_t a = 0;
    while (a < v.size()) {
      size_t b = a + 1;
      while (b < v.size()) {
        const GUIB_Rect &ra = v[a], &rb = v[b];
        const GUIB_Rect u{ra.left < rb.left ? ra.left : rb.left, ra.top < rb.top ? ra.top : rb.top,
                          ra.right > rb.right ? ra.right : rb.right,
                          ra.bottom > rb.bottom ? ra.bottom : rb.bottom};
        if (iArea(u) <= iArea(ra) + iArea(rb)) {
          v[b] = u;
          // a's successor moves into a's index, b's successor into b's.
          v.erase(v.begin() + a);
          merged = true;
        } else {
          ++b;
        }
      }
      ++a;
    }
  }
}

void c_GUIB_Desktop::iDrawUpdateList() {
  if (m_updates.empty()) return;
  GUI_MergeRects(&m_updates);
  for (const GUIB_Rect &r : m_updates) {
    GUI_ComposeTarget t{m_bitmap, r, r};
    BroadcastToChildren(GM_COMPOSE, reinterpret_cast<uintptr_t>(&t),
                        reinterpret_cast<uintptr_t>(&m_rect),
                        BC_SKIP_INVISIBLE | BC_BACK_TO_FRONT | BC_ALL);
    iDrawFocusRing(r);
    ++m_composed;
    iPresent(r);
    ++m_presented;
  }
  if (m_updates.size() == 1) {
    const GUIB_Rect &r = m_updates[0];
    SYS_LogPrint(SYS_LOG_GUI, 0, "iDrawUpdateList(): %d, %d, %d, %d", r.left, r.top, r.right,
                 r.bottom);
  } else {
    SYS_LogPrint(SYS_LOG_GUI, 0, "iDrawUpdateList() updating %d rectangles.",
                 int(m_updates.size()));
  }
  m_updates.clear();
}

// ----------------------------------------------------------- focus mark

// Three pixels around the focused widget: a dark outer line and two light
// ones, so that the mark stands out on dark and light skins alike.
const int32_t kRingWidth = 3;

void c_GUIB_Desktop::iTrackFocusRing() {
  GUIB_Rect ring = {0, 0, 0, 0};
  bool shown = m_focus != nullptr;
  for (c_GUIB_Widget *w = m_focus; w && w != this && shown; w = w->ParentPtr())
    shown = (w->GetFlags() & WF_VISIBLE) != 0;
  if (shown) {
    GUI_Point o = {0, 0};
    m_focus->GetOrigin(&o);
    ring = GUIB_Rect{o.x - kRingWidth, o.y - kRingWidth, o.x + m_focus->Width() + kRingWidth,
                     o.y + m_focus->Height() + kRingWidth};
  }
  const GUIB_Rect &old = m_ring;
  if (ring.left == old.left && ring.top == old.top && ring.right == old.right &&
      ring.bottom == old.bottom)
    return;
  GUIB_Rect r;
  if (GUI_Intersect(old, m_rect, &r)) iAddDirty(r);
  if (GUI_Intersect(ring, m_rect, &r)) iAddDirty(r);
  m_ring = ring;
}

void c_GUIB_Desktop::iDrawFocusRing(const GUIB_Rect &clip) {
  if (GUI_IsEmpty(m_ring) || !m_bitmap) return;
  for (int32_t i = 0; i < kRingWidth; ++i) {
    const GUIB_Rect o = {m_ring.left + i, m_ring.top + i, m_ring.right - i, m_ring.bottom - i};
    const GUIB_Rect sides[4] = {{o.left, o.top, o.right, o.top + 1},
                                {o.left, o.bottom - 1, o.right, o.bottom},
                                {o.left, o.top, o.left + 1, o.bottom},
                                {o.right - 1, o.top, o.right, o.bottom}};
    m_bitmap->SetColor(i == 0 ? 0xFF000000u : 0xFFFFF080u);
    GUIB_Rect r;
    for (const GUIB_Rect &side : sides)
      if (GUI_Intersect(side, clip, &r)) m_bitmap->Fill(r);
  }
}

// --------------------------------------------------- assistive technology

void c_GUIB_Desktop::AccessibleEvent(uint32_t event, c_GUIB_Widget *w) {
  int32_t child = 0;
  if (w && w != this) {
    const std::vector<GUI_Description> all = GUI_DescribeTree(this);
    child = -1;
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].widget == w) child = int32_t(i + 1);
    if (child < 0) return;  // hidden, or not described
  }
  if (m_accEvents.size() >= 64) m_accEvents.erase(m_accEvents.begin());
  m_accEvents.push_back({event, child});
  iRaiseAccessibleEvent(event, child);
}

// ------------------------------------------------------------ messages

void c_GUIB_Desktop::OnEvent(uint32_t event, const GUI_Point *, uint32_t, const GUIB_Rect *) {
  GUI_CheckThread(m_context, __func__);
  // Nothing but the desktop itself is under the pointer.
  if (event == GM_MOUSE_LEAVE || !m_hover) return;
  c_GUIB_Widget *h = m_hover;
  m_hover = nullptr;
  h->MouseLeave();
}

uintptr_t c_GUIB_Desktop::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  GUI_CheckThread(m_context, __func__);
  c_GUIB_Widget *w = reinterpret_cast<c_GUIB_Widget *>(a);
  switch (msg) {
    case GM_MOUSE_ENTER: {
      c_GUIB_Widget *prev = m_hover;
      m_hover = w;
      if (prev && prev != w) prev->MouseLeave();
      if (w) w->MouseEnter();
      return 0;
    }
    case GM_MOUSE_LEAVE:
      if (w && w == m_hover) {
        m_hover = nullptr;
        w->MouseLeave();
      }
      m_hover = nullptr;
      return 0;
    case GM_CAPTURE:
      m_capture = w;
      return 0;
    case GM_RELEASE_CAPTURE:
      m_capture = nullptr;
      return 0;
    case GM_SET_FOCUS:
      if (m_focus && m_focus != w) m_focus->KillFocus();
      m_focus = w;
      return 0;
    case GM_KILL_FOCUS:
      if (m_focus == w) m_focus = nullptr;
      return 0;
    case GM_GET_KEY_STATE:
      if (a) *reinterpret_cast<uint32_t *>(a) = TranslateVirtualKey(0);
      return 0;
    case GM_COMPOSE:
      return 0;
    case GM_INVALIDATE_RECT: {
      GUIB_Rect r;
      if (!GUI_Intersect(*reinterpret_cast<const GUIB_Rect *>(b), m_rect, &r)) return 0;
      GUI_ComposeTarget t{m_bitmap, r, r};
      BroadcastToChildren(GM_COLLECT_DIRTY, reinterpret_cast<uintptr_t>(&t),
                          reinterpret_cast<uintptr_t>(&m_rect),
                          BC_SKIP_INVISIBLE | BC_BACK_TO_FRONT | BC_ALL);
      return 0;
    }
    case GM_ADD_DIRTY_RECT:
      iAddDirty(*reinterpret_cast<const GUIB_Rect *>(b));
      return 0;
    case GM_DESTROY:
      // Queued once: a second request must not cost a second release.
      if (KeyedList_Get(m_condemned, a, nullptr) != SYS_OK)
        KeyedList_Insert(m_condemned, a, 0, KL_HEAD);
      return 0;
    case GM_TOOLTIP_SHOW: {
      const uintptr_t r = BroadcastToChildren(msg, a, b, BC_SKIP_INVISIBLE);
      m_tooltipShown = 1;
      return r;
    }
    case GM_TOOLTIP_HIDE:
      if (m_tooltipShown) {
        BroadcastToChildren(msg, a, b, BC_SKIP_INVISIBLE);
        m_tooltipShown = 0;
      }
      return 0;
    case GM_INFO:
      return BroadcastToChildren(msg, a, b, BC_SKIP_DISABLED);
    case GM_GET_DESKTOP:
      if (a) *reinterpret_cast<c_GUIB_Widget **>(a) = this;
      return 1;
    case GM_ACC_EVENT:
      AccessibleEvent(uint32_t(a), reinterpret_cast<c_GUIB_Widget *>(b));
      return 0;
    default:
      return 0;
  }
}

// --------------------------------------------------------------- input

void c_GUIB_Desktop::iMouseEvent(uint32_t event, int32_t x, int32_t y) {
  GUI_CheckThread(m_context, __func__);
  if (m_closed) return;
  // A move to the position already known carries nothing new.
  if (event == GM_MOUSE_MOVE && x == m_lastMouseX && y == m_lastMouseY) return;
  m_lastMouseX = x;
  m_lastMouseY = y;
  m_inputSeen = true;
  if (m_mode == 1) {
    if (iIsPress(event)) iWindowCapture(true);
    if (iIsRelease(event)) iWindowCapture(false);
  }
  switch (event) {
    case GM_LBUTTON_DOWN:
    case GM_LBUTTON_DBLCLK:
      m_buttons |= GMB_LEFT;
      break;
    case GM_LBUTTON_UP:
      m_buttons &= ~GMB_LEFT;
      break;
    case GM_RBUTTON_DOWN:
      m_buttons |= GMB_RIGHT;
      break;
    case GM_RBUTTON_UP:
      m_buttons &= ~GMB_RIGHT;
      break;
    case GM_MBUTTON_DOWN:
      m_buttons |= GMB_MIDDLE;
      break;
    case GM_MBUTTON_UP:
      m_buttons &= ~GMB_MIDDLE;
      break;
    default:
      break;
  }
  c_GUIB_Widget *target = this;
  GUI_Point p{x, y};
  GUIB_Rect clip = GUI_Offset(m_rect, m_x, m_y);
  if (m_capture) {
    target = m_capture;
    c_GUIB_Widget *parent = target->GetParent();
    clip = m_rect;
    if (parent) {
      GUI_Point o{0, 0};
      parent->GetOrigin(&o);
      p = GUI_Point{x - (m_x + o.x), y - (m_y + o.y)};
      clip = GUI_Offset(m_rect, -o.x, -o.y);
      parent->Release();
    }
  }
  // The target may ask for its own end while handling the event.
  target->AddRef();
  target->DispatchMouse(event, &p, m_buttons, &clip);
  target->Release();
}

uint32_t c_GUIB_Desktop::TranslateVirtualKey(uint32_t vk) {
  GUI_CheckThread(m_context, __func__);
  uint32_t kw = vk & 0xFFFF;
  static const uint32_t kMods[6][2] = {{160, KW_LSHIFT}, {161, KW_RSHIFT}, {162, KW_LCTRL},
                                       {163, KW_RCTRL},  {164, KW_LALT},   {165, KW_RALT}};
  for (auto &m : kMods)
    if (iKeyState(m[0]) & 0x8000) kw |= m[1];
  if (iKeyState(20) & 1) kw |= KW_CAPSLOCK;
  if (iKeyState(144) & 1) kw |= KW_NUMLOCK;
  if (iKeyState(145) & 1) kw |= KW_SCROLLLOCK;
  if (kw & (KW_LSHIFT | KW_RSHIFT)) kw |= KW_SHIFT;
  if (kw & (KW_LCTRL | KW_RCTRL)) kw |= KW_CTRL;
  if (kw & (KW_LALT | KW_RALT)) kw |= KW_ALT;
  return kw;
}

uint32_t c_GUIB_Desktop::KeyWordToChar(uint32_t kw) {
  const uint32_t key = kw & 0xFFFF;
  const bool shift = (kw & (KW_LSHIFT | KW_RSHIFT)) != 0;
  auto as_char = [kw](uint32_t c) { return (kw & 0xFFFF0000u) | KW_CHAR | c; };
  if (key >= 0x30 && key <= 0x39) {
    static const char kShifted[] = ")!@#$%^&*(";
    return as_char(shift ? uint8_t(kShifted[key - 0x30]) : key);
  }
  if (key >= 0x41 && key <= 0x5A) {
    const bool upper = shift != ((kw & KW_CAPSLOCK) != 0);
    return as_char(upper ? key : key + 0x20);
  }
  if (key >= 0x60 && key <= 0x69) return (kw & KW_NUMLOCK) ? as_char('0' + key - 0x60) : kw;
  switch (key) {
    case 0x20:
      return as_char(' ');
    case 0x6A:
      return as_char('*');
    case 0x6B:
      return as_char('+');
    case 0x6D:
      return as_char('-');
    case 0x6F:
      return as_char('/');
    case 0x6E:
      // Keypad decimal without Num Lock is the Delete key.
      return (kw & KW_NUMLOCK) ? as_char('.') : (kw & 0xFFFF0000u) | 0x2E;
    default:
      break;
  }
  static const struct {
    uint32_t key;
    char plain, shifted;
  } kPunct[] = {{0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
                {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
                {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};
  for (const auto &p : kPunct)
    if (p.key == key) return as_char(uint8_t(shift ? p.shifted : p.plain));
  return kw;
}

void c_GUIB_Desktop::iKeyDown(uint32_t vk) {
  if (m_closed) return;
  m_inputSeen = true;
  const uint32_t kw = KeyWordToChar(TranslateVirtualKey(vk));
  if (m_tooltipShown) {
    BroadcastToChildren(GM_TOOLTIP_HIDE, 0, 0, BC_SKIP_INVISIBLE);
    m_tooltipShown = 0;
  }
  const uintptr_t taken =
      m_focus ? m_focus->Broadcast(GM_KEY_DOWN, kw, 0, BC_SKIP_DISABLED | BC_SKIP_INVISIBLE) : 0;
  if (!taken) CallHandlers(GM_KEY_DOWN, kw, 0);
}

void c_GUIB_Desktop::iKeyUp(uint32_t vk) {
  if (m_closed) return;
  m_inputSeen = true;
  const uint32_t kw = KeyWordToChar(TranslateVirtualKey(vk));
  if (m_focus) m_focus->Broadcast(GM_KEY_UP, kw, 0, 0);
}

void c_GUIB_Desktop::iClose() {
  m_closed = 1;
}

void c_GUIB_Desktop::InputKey(uint32_t vk, bool down) {
  GUI_CheckThread(m_context, __func__);
  vk &= 0xFF;
  // The generic modifier codes stand for their left-hand keys.
  uint32_t state_key = vk == 16 ? 160 : vk == 17 ? 162 : vk == 18 ? 164 : vk;
  uint8_t &s = m_keys[state_key];
  if (down) {
    if ((state_key == 20 || state_key == 144 || state_key == 145) && !(s & 0x80)) s ^= 1;
    s |= 0x80;
    iKeyDown(vk);
  } else {
    s &= uint8_t(~0x80);
    iKeyUp(vk);
  }
}
