// c_GUIB_Desktop: the root of the widget tree and the GUI's only contact with
// the window system.
//
// It owns the frame bitmap (its own widget bitmap) in which the screen image
// is composed, the update list of screen rectangles still to be shown, and
// the bookkeeping of mouse capture, keyboard focus and hover. PumpOnce runs
// one pass: destroy condemned widgets, tick, repaint dirty widgets, compose
// and present the update list, then dispatch waiting window messages.
//
// Two backends (desktop_window_*.cpp): on Windows display mode 1 is a real
// top-level window whose client area is exactly the desktop; natively there
// is no window (mode 0) and presented rectangles land in a screen bitmap that
// can be written to PNG. Both feed input through the same translation; the
// window's messages reach it through GUI_DesktopHost, and the Input* calls
// are that path for tests and scripted sessions.
//
// On a screen of more than 96 DPI the window shows the desktop enlarged by a
// whole factor (the scale), each desktop pixel as a square of screen pixels,
// and divides mouse positions by it; natively the scale stays 1.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/widget.h"

// Key word bits (bits 0-15: virtual-key code, or a character with KW_CHAR).
enum : uint32_t {
  KW_CHAR = 0x10000,
  KW_ALT = 0x20000,
  KW_CTRL = 0x40000,
  KW_SHIFT = 0x80000,
  KW_SCROLLLOCK = 0x200000,
  KW_NUMLOCK = 0x400000,
  KW_CAPSLOCK = 0x800000,
  KW_RALT = 0x4000000,
  KW_LALT = 0x8000000,
  KW_RCTRL = 0x10000000,
  KW_LCTRL = 0x20000000,
  KW_RSHIFT = 0x40000000,
  KW_LSHIFT = 0x80000000u,
};

struct DesktopWindowParams {
  uint32_t style;
  uint32_t ex_style;
  const char *title;
  uintptr_t icon;  // HICON, may be 0
};

// The update-list merge: any two rectangles whose bounding box is no larger
// than their two areas together become that box, until nothing merges.
void GUI_MergeRects(std::vector<GUIB_Rect> *rects);

// What the window procedure may call on the desktop it shows: one window
// message with its parameters, answered as the procedure answers it (0: the
// system's default handling). The desktop implements it privately, so the
// call is made through this interface only.
class GUI_DesktopHost {
 public:
  virtual intptr_t WindowMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) = 0;

 protected:
  ~GUI_DesktopHost() = default;
};

class c_GUIB_Desktop : public c_GUIB_Widget, public GUI_DesktopHost {
 public:
  explicit c_GUIB_Desktop(const WidgetCreateParams &p);
  ~c_GUIB_Desktop() override;
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;

  // GUI_OK; GUI_ERR_WINDOW when no window can be made (always natively for
  // mode 1), GUI_ERR_NOMEM; GUI_ERR_BAD_ID for a mode other than 0 and 1.
  uint32_t SetDisplayMode(uint32_t mode, const DesktopWindowParams *params);
  uint32_t GetDisplayMode() const { return m_mode; }
  uintptr_t GetWindowHandle() const { return m_mode == 1 ? m_window : 0; }
  // The window's client area, or the desktop's size without a window.
  void GetClientSize(int32_t *w, int32_t *h) const;
  uint32_t PumpOnce();  // 0 once the window was closed

  // For the main loop: sleeps until the next tick is due or input arrives.
  void WaitForWork();
  // Milliseconds until the next GM_TICK pass is due (0 when it is due).
  uint32_t TimeToNextTick() const;

  // Keys go to the focused widget's subtree first; a key none of them takes
  // reaches the desktop's handlers as GM_KEY_DOWN (a: the key word).
  uint32_t TranslateVirtualKey(uint32_t vk);
  static uint32_t KeyWordToChar(uint32_t key_word);

  // Input API: client coordinates; keys update the simulated keyboard state
  // (natively the only one; on Windows GetKeyState answers instead).
  void InputMouse(uint32_t event, int32_t x, int32_t y) { iMouseEvent(event, x, y); }
  void InputKey(uint32_t vk, bool down);
  void InputClose() { iClose(); }

  // What reached the screen natively (null until the first present).
  c_GUIB_Bitmap *Screen() const { return m_screen; }
  bool SaveScreenPng(const char *path) const;  // false on Windows

  // Tells assistive technology about a change of w (null or the desktop:
  // the window's client area itself), with w's place among the described
  // widgets (GUI_DescribeTree) as the child number, 1 for the first.
  void AccessibleEvent(uint32_t event, c_GUIB_Widget *w);
  struct AccEvent {
    uint32_t event;
    int32_t child;  // 0: the client area
  };
  const std::vector<AccEvent> &AccessibleEvents() const { return m_accEvents; }  // the last 64
  // The focus mark around the focused widget, in desktop pixels (empty when
  // none is drawn).
  GUIB_Rect FocusRing() const { return m_ring; }

  bool IsClosed() const { return m_closed != 0; }
  uint32_t MouseButtons() const { return m_buttons; }
  c_GUIB_Widget *CaptureWidget() const { return m_capture; }
  c_GUIB_Widget *FocusWidget() const { return m_focus; }
  c_GUIB_Widget *HoverWidget() const { return m_hover; }
  const std::vector<GUIB_Rect> &UpdateList() const { return m_updates; }
  uint32_t PresentCount() const { return m_presented; }  // rectangles presented so far
  uint32_t ComposeCount() const { return m_composed; }   // rectangles composed so far

 private:
  // The translation shared by the window procedure and the input API.
  void iMouseEvent(uint32_t event, int32_t x, int32_t y);
  void iKeyDown(uint32_t vk);
  void iKeyUp(uint32_t vk);
  void iClose();  // the window received WM_CLOSE
  void iDrawUpdateList();
  void iTrackFocusRing();
  void iDrawFocusRing(const GUIB_Rect &clip);

  // Backend (desktop_window_*.cpp).
  intptr_t WindowMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
  uint32_t iKeyState(uint32_t vk) const;  // bit 0x8000 down, bit 1 toggled
  void iWindowCapture(bool on);
  void iAddDirty(const GUIB_Rect &r);
  void iPresent(const GUIB_Rect &r);
  uint32_t iCreateWindow(const DesktopWindowParams *params);
  void iDestroyWindow();
  void iFitWindow(bool center, int32_t left, int32_t top);
  void iPumpWindowMessages();
  void iWaitForInput(uint32_t ms);
  void iRaiseAccessibleEvent(uint32_t event, int32_t child);

  uintptr_t m_window = 0;
  uint32_t m_mode = 0;
  int32_t m_scale = 1;  // screen pixels per desktop pixel, each way
  int32_t m_lastMouseX = -1, m_lastMouseY = -1;
  uint32_t m_timerRef;
  uint32_t m_lastTick;  // tick of the last GM_TICK pass (for WaitForWork)
  uint32_t m_buttons = 0;
  c_GUIB_Widget *m_capture = nullptr;
  c_GUIB_Widget *m_focus = nullptr;
  c_GUIB_Widget *m_hover = nullptr;
  std::vector<GUIB_Rect> m_updates;
  uint32_t m_closed = 0;
  KeyedList *m_condemned;
  uint32_t m_tooltipShown = 0;
  char *m_className = nullptr;
  c_GUIB_Bitmap *m_screen = nullptr;
  uint8_t m_keys[256] = {};  // simulated keyboard: 0x80 down, 1 toggled
  uint32_t m_presented = 0;
  uint32_t m_composed = 0;
  bool m_inputSeen = false;  // input arrived since the last wait
  GUIB_Rect m_ring = {0, 0, 0, 0};
  std::vector<AccEvent> m_accEvents;
};
