// c_GUIB_Widget: the base of every element of the user interface.
//
// A widget has a position in its parent, a size, a bitmap of its own into
// which it paints, children (front = top of the z-order), state flags, copies
// of the theme colours and fonts, and a list of application handlers. Widgets
// talk through numbered messages: requests climb the parent chain to the root
// (SendUp; the desktop answers them), passes run down the tree (Broadcast),
// and mouse events enter at the root and are routed to the top-most widget
// under the pointer (DispatchMouse). User actions reach the application only
// through handler notifications (CallHandlers).
//
// Lifetime: a widget starts with one reference, its creator's, which the
// parent gives up when it dies. Destruction by request is deferred: the
// desktop's pump destroys the widgets named with GM_DESTROY on its next pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "gui/context.h"
#include "platform/keyed_list.h"

struct GUI_Point {
  int32_t x, y;
};

// Target of GM_COMPOSE and GM_COLLECT_DIRTY passes.
struct GUI_ComposeTarget {
  c_GUIB_Bitmap *bitmap;
  GUIB_Rect update;
  GUIB_Rect clip;
};

class c_GUIB_Widget;
typedef uint32_t (*WidgetHandlerFn)(c_GUIB_Widget *widget, uintptr_t data, uint32_t msg,
                                    uintptr_t a, uintptr_t b);

struct WidgetCreateParams {
  int32_t x, y;
  int32_t width, height;
  uint32_t id;  // 0 = assigned by the context
  uint32_t flags;
  c_GUIB_Widget *parent;
  GuiContext *context;
  WidgetHandlerFn handler;
  uintptr_t handler_data;
};

// Widget flags.
enum : uint32_t {
  WF_USER_1 = 0x1,  // free for the application: settable, never read by the toolkit
  WF_CAPTURED = 0x2,
  WF_FOCUSED = 0x4,
  WF_ACTIVE = 0x8,
  WF_DIRTY = 0x10,
  WF_VISIBLE = 0x20,
  WF_DISABLED = 0x40,
  WF_FOCUSABLE = 0x80,
  WF_ACTIVATABLE = 0x100,
  WF_WANT_OUTSIDE_PRESS = 0x200,
  WF_HOVER = 0x400,
  WF_NO_BITMAP = 0x800,
  WF_USER_2 = 0x1000,  // free for the application: settable, never read by the toolkit
  WF_SELF_DISABLED = 0x2000,
  // The bits SetFlags and ClearFlags may change (0x31E1); the others belong
  // to the operations that manage them.
  WF_SETTABLE = WF_USER_1 | WF_VISIBLE | WF_DISABLED | WF_FOCUSABLE | WF_ACTIVATABLE | WF_USER_2 |
                WF_SELF_DISABLED,
};
static_assert(WF_SETTABLE == 0x31E1, "settable flag bits");

// State slots: a widget's fill colours, text colours and fonts (and a
// button's images) have one entry per slot, picked by the widget's state.
// Slots 1 to 3 are plain fills rather than states; text slots 1, 2, 3 and 5
// and fill slot 5 are not seeded from the theme.
enum : uint32_t {
  SLOT_NORMAL = 0,
  SLOT_BACKGROUND = 1,  // fill: the widget's background
  SLOT_FIELD = 2,       // fill: an inner area (scroll track, text and path fields)
  SLOT_BORDER = 3,      // fill: the border and the check box frame
  SLOT_HOVER = 4,       // the pointer over it; also a selected tree row
  SLOT_SPARE_5 = 5,     // neither seeded nor read by any widget
  SLOT_DISABLED = 6,
  SLOT_PRESSED = 7,  // pressed with the pointer over it; a dragged scroll thumb
  SLOT_ACCENT = 8,   // a light accent: link text; fill 8 is seeded but never read
  SLOT_COUNT = 9,
};

// Info words: the application's numbers that widgets publish with GM_INFO.
enum : uint32_t {
  INFO_ENTER = 0,    // published when the pointer enters a button or check box
  INFO_SPARE_1 = 1,  // seeded, never published
  INFO_CLICK = 2,    // published on a click of a button or check box
  INFO_SPARE_3 = 3,  // seeded, never published
  INFO_SPARE_4 = 4,  // seeded, never published
  INFO_COUNT = 5,
};

// Frame style bit: draw a one-pixel border in the border colour.
enum : uint32_t { FRAME_BORDER = 0x80000000u };

// Message ids.
enum : uint32_t {
  GM_MOUSE_MOVE = 0,
  GM_LBUTTON_DOWN = 1,
  GM_LBUTTON_DBLCLK = 2,
  GM_LBUTTON_UP = 3,
  GM_RBUTTON_DOWN = 4,
  GM_RBUTTON_UP = 5,
  GM_MBUTTON_DOWN = 6,
  GM_MBUTTON_UP = 7,
  GM_MOUSE_ENTER = 9,
  GM_MOUSE_LEAVE = 10,
  GM_PRESS_OUTSIDE = 11,
  GM_CAPTURE = 12,
  GM_RELEASE_CAPTURE = 13,
  GM_KEY_DOWN = 16,
  GM_KEY_UP = 17,
  GM_SET_FOCUS = 18,
  GM_KILL_FOCUS = 19,
  GM_GET_KEY_STATE = 20,
  GM_ACTIVATE = 22,
  GM_DEACTIVATE = 23,
  GM_COMPOSE = 32,
  GM_INVALIDATE_RECT = 33,
  GM_INVALIDATE_TREE = 34,
  GM_DESTROY = 35,
  GM_GET_ORIGIN = 36,
  GM_TICK = 37,
  GM_PAINT = 38,
  GM_BRING_TO_FRONT = 39,
  GM_COLLECT_DIRTY = 40,
  GM_ADD_DIRTY_RECT = 41,
  GM_TOOLTIP_SHOW = 42,
  GM_TOOLTIP_HIDE = 43,
  GM_INFO = 44,
  GM_GET_DESKTOP = 45,
  GM_ACC_EVENT = 46,  // a: ACC_EVENT_*, b: the widget it concerns (0: the desktop)
  GM_FOCUS_CHANGED = 192,
};

// Mouse button state word.
enum : uint32_t { GMB_LEFT = 1, GMB_RIGHT = 2, GMB_MIDDLE = 4 };

// Broadcast flags.
enum : uint32_t {
  BC_SKIP_DISABLED = 1,
  BC_SKIP_INVISIBLE = 2,
  BC_BACK_TO_FRONT = 4,
  BC_ALL = 8,
};

// What a widget tells assistive technology about itself (Describe): its
// role, name, value and state; GUI_DescribeTree adds the state the toolkit
// keeps (focused, disabled) and the rectangle in desktop pixels.
enum : uint32_t { ACC_NONE, ACC_BUTTON, ACC_CHECKBOX, ACC_TEXT, ACC_PROGRESS, ACC_TREE };
enum : uint32_t { ACCS_FOCUSED = 1, ACCS_DISABLED = 2, ACCS_CHECKED = 4 };
// Events for assistive technology, raised with GM_ACC_EVENT.
enum : uint32_t { ACC_EVENT_FOCUS = 1, ACC_EVENT_NAME = 2, ACC_EVENT_VALUE = 3 };
struct GUI_Description {
  uint32_t role = ACC_NONE;
  std::u16string name;   // caption, label or text
  std::u16string value;  // progress in per cent, the tree's selected path
  uint32_t state = 0;    // ACCS_*
  GUIB_Rect rect = {0, 0, 0, 0};
  c_GUIB_Widget *widget = nullptr;  // no reference
};

class c_GUIB_Widget {
 public:
  explicit c_GUIB_Widget(const WidgetCreateParams &p);
  c_GUIB_Widget(const c_GUIB_Widget &) = delete;
  c_GUIB_Widget &operator=(const c_GUIB_Widget &) = delete;

  // The virtual operations.
  virtual ~c_GUIB_Widget();
  virtual void Move(int32_t x, int32_t y);
  virtual void Resize(int32_t width, int32_t height);
  virtual void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
                       const GUIB_Rect *clip);
  virtual void Paint() {}
  virtual uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b);
  virtual bool HitTest(int32_t x, int32_t y);
  // Sets role, name, value and ACCS_CHECKED and returns the role; ACC_NONE
  // (the default) for a container: its children describe themselves.
  virtual uint32_t Describe(GUI_Description *) { return ACC_NONE; }

  void AddRef() { ++m_refCount; }
  void Release();  // the last release destroys the widget
  int32_t RefCount() const { return m_refCount; }

  void SetFlags(uint32_t mask);
  void ClearFlags(uint32_t mask);
  uint32_t GetFlags() const { return m_flags; }
  void Show(bool on);
  void Enable(bool on);
  void SetFrameStyle(uint32_t style);
  uint32_t GetFrameStyle() const { return m_frameStyle; }
  void SetTextAlign(uint32_t align);
  uint32_t GetTextAlign() const { return m_textAlign; }
  // The slot setters and GetFont: GUI_OK, or GUI_ERR_BAD_ID for an index
  // beyond the slots (INFO_COUNT info words, SLOT_COUNT colours and fonts).
  // GetFont also gives GUI_ERR_EMPTY for an empty slot; it adds a reference
  // to the font.
  uint32_t SetInfoWord(uint32_t index, uint32_t word);
  uint32_t GetInfoWord(uint32_t index) const { return index < INFO_COUNT ? m_info[index] : 0; }
  uint32_t SetFillColor(uint32_t index, uint32_t argb);
  uint32_t SetTextColor(uint32_t index, uint32_t argb);
  uint32_t GetFillColor(uint32_t index) const { return index < SLOT_COUNT ? m_fill[index] : 0; }
  uint32_t GetTextColor(uint32_t index) const {
    return index < SLOT_COUNT ? m_textColor[index] : 0;
  }
  uint32_t SetFont(c_GUIB_Font *font, uint32_t index);
  uint32_t GetFont(uint32_t index, c_GUIB_Font **font) const;
  c_GUIB_Font *FontSlot(uint32_t index) const {
    return index < SLOT_COUNT ? m_fonts[index] : nullptr;
  }
  virtual void SetText(const char *text);
  const uint16_t *GetText() const { return m_text; }
  void SetTooltipText(const char *text);

  void GetSize(int32_t *w, int32_t *h) const;
  void GetPosition(int32_t *x, int32_t *y) const;
  int32_t Width() const { return m_rect.right; }
  int32_t Height() const { return m_rect.bottom; }
  uint32_t GetId() const { return m_id; }
  GuiContext *GetContext() const { return m_context; }
  c_GUIB_Bitmap *Bitmap() const { return m_bitmap; }  // no reference added
  c_GUIB_Widget *GetParent();                         // with a reference
  c_GUIB_Widget *GetDesktop();                        // with a reference
  void GetOrigin(GUI_Point *point);
  c_GUIB_Widget *ParentPtr() const { return m_parent; }
  c_GUIB_Widget *ActiveChild() const { return m_activeChild; }
  // Children front (top) to back; a fresh array to free with SYS_Free.
  // GUI_OK, GUI_ERR_BAD_ARG (keys or count null), GUI_ERR_NOMEM.
  uint32_t ChildList(uintptr_t **keys, uint32_t *count) const;

  void Invalidate(const GUIB_Rect &r);
  void MarkDirty() { m_flags |= WF_DIRTY; }
  void Capture();
  void ReleaseCapture();
  void SetFocus();
  void KillFocus();
  void Activate();
  void Deactivate();
  void BringToFront();
  void MouseEnter();
  void MouseLeave();
  void PublishInfo(uint32_t word);
  uintptr_t RequestDestroy();

  uint32_t AddHandler(WidgetHandlerFn fn, uintptr_t data);  // GUI_OK or GUI_ERR_NOMEM
  uint32_t RemoveHandler(WidgetHandlerFn fn);               // GUI_OK or GUI_ERR_NOT_FOUND
  uintptr_t CallHandlers(uint32_t msg, uintptr_t a, uintptr_t b);
  uintptr_t SendToParent(uint32_t msg, uintptr_t a, uintptr_t b);
  uintptr_t SendUp(uint32_t msg, uintptr_t a, uintptr_t b);
  uintptr_t Broadcast(uint32_t msg, uintptr_t a, uintptr_t b, uint32_t flags);
  uintptr_t BroadcastToChildren(uint32_t msg, uintptr_t a, uintptr_t b, uint32_t flags);
  uintptr_t DispatchMouse(uint32_t event, const GUI_Point *point, uint32_t buttons,
                          const GUIB_Rect *clip);

 protected:
  void iDrawBorder();  // the one-pixel border in the border colour (frame style bit 31)
  void iInvalidateAll() { Invalidate(m_rect); }
  void iReleaseBitmap();

  int32_t m_x, m_y;
  GUIB_Rect m_rect;  // 0, 0, width, height
  c_GUIB_Bitmap *m_bitmap = nullptr;
  GuiContext *m_context;
  uint32_t m_flags;
  uint32_t m_frameStyle = 0;
  uint32_t m_textAlign = 0;
  // Front (top) first. A plain vector, not a locked keyed list: the tree is
  // walked twice on every pump pass and belongs to the GUI thread alone, so
  // a lock per step would buy nothing.
  std::vector<c_GUIB_Widget *> m_children;
  uint32_t m_info[INFO_COUNT] = {};
  uint32_t m_fill[SLOT_COUNT] = {};
  uint32_t m_textColor[SLOT_COUNT] = {};
  c_GUIB_Font *m_fonts[SLOT_COUNT] = {};
  uint16_t *m_text = nullptr;
  uint16_t *m_tooltip = nullptr;
  int32_t m_refCount = 1;
  uint32_t m_hoverStart = 0;
  bool m_tooltipShown = false;
  bool m_infoEnabled = true;
  int32_t m_lastX = 0, m_lastY = 0;
  uint32_t m_id;
  c_GUIB_Widget *m_parent;
  c_GUIB_Widget *m_activeChild = nullptr;
  KeyedList *m_handlers;

 private:
  // Calls visit (child -> bool) on each child, front to back or back to
  // front, until it returns true.
  template <typename Visit>
  void iForEachChild(bool back_to_front, Visit visit) const;
  // BroadcastToChildren; taken (may be null) tells whether any child took
  // the message, since under BC_ALL the last result may be 0.
  uintptr_t iBroadcastChildren(uint32_t msg, uintptr_t a, uintptr_t b, uint32_t flags, bool *taken);
  bool iHasChild(c_GUIB_Widget *child) const;
  void iRemoveChild(c_GUIB_Widget *child);
  void iDetachSubtree();
  void iGiveBackStates();
};

// The visible widgets below root that describe themselves, back to front
// (reading order), each with its state and rectangle filled in.
std::vector<GUI_Description> GUI_DescribeTree(c_GUIB_Widget *root);
// The widget's text as a 16-bit string ("" for none).
std::u16string GUI_TextOf(const c_GUIB_Widget *w);

// Rectangle helpers shared by the widgets.
bool GUI_Intersect(const GUIB_Rect &a, const GUIB_Rect &b, GUIB_Rect *out);  // false when empty
bool GUI_IsEmpty(const GUIB_Rect &r);
GUIB_Rect GUI_Offset(const GUIB_Rect &r, int32_t dx, int32_t dy);
// Widens an 8-bit text byte by byte; null for a null or empty text.
uint16_t *GUI_WidenText(const char *text);
// Creation parameters of a child at (x, y) of size w x h in parent, sharing
// the parent's context, with an optional handler.
WidgetCreateParams GUI_ChildParams(c_GUIB_Widget *parent, int32_t x, int32_t y, int32_t w,
                                   int32_t h, WidgetHandlerFn handler = nullptr,
                                   uintptr_t handler_data = 0);
