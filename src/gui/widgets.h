// The simple widgets: panel, button, check box, label and progress bar.
//
// Each draws into its own bitmap in Paint, picks colours from the state slots
// (SLOT_*, widget.h), ends Paint by invalidating its whole rectangle, and
// reports user actions with CallHandlers.
#pragma once

#include "gui/widget.h"

// Handler notifications.
enum : uint32_t {
  GN_CLICKED = 257,
  GN_REPEAT = 258,
  GN_CHECK_CHANGED = 513,
};

// Panel background placement (SetBackground style).
enum : uint32_t {
  PANEL_TOP_LEFT = 0,
  PANEL_TILE = 1,
  PANEL_CENTRE = 2,
  PANEL_STRETCH = 4,
  PANEL_KEEP_IMAGE = 0x10,  // keep the caller's image instead of a copy
};

// A container with a background colour or image and an optional border.
class c_GUIB_Panel : public c_GUIB_Widget {
 public:
  explicit c_GUIB_Panel(const WidgetCreateParams &p);
  ~c_GUIB_Panel() override;
  void Paint() override;
  // A panel given a text (which it does not draw: its image shows it)
  // describes itself as that static text; else it is a plain container.
  uint32_t Describe(GUI_Description *d) override;

  // GUI_OK, or GUI_ERR_BAD_ARG for an unknown placement in style.
  uint32_t SetBackground(uint32_t argb, c_GUIB_Bitmap *image, uint32_t style);
  void GetBackground(uint32_t *argb, c_GUIB_Bitmap **image, uint32_t *style) const;

 private:
  uint32_t m_style = 0;
  c_GUIB_Bitmap *m_image = nullptr;
};

// A push button with a text, icons per state and auto-repeat while held.
class c_GUIB_Button : public c_GUIB_Widget {
 public:
  explicit c_GUIB_Button(const WidgetCreateParams &p);
  ~c_GUIB_Button() override;
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;
  void Paint() override;
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;
  bool HitTest(int32_t x, int32_t y) override;
  uint32_t Describe(GUI_Description *d) override;

  // A click without the mouse (keyboard): publishes the click info word and
  // tells the handlers GN_CLICKED.
  void Press();
  // GUI_OK, or GUI_ERR_BAD_ID for a slot of SLOT_COUNT or more.
  uint32_t SetIcon(c_GUIB_Bitmap *image, uint32_t slot);
  uint32_t SetBackgroundImage(c_GUIB_Bitmap *image, uint32_t slot);
  void SetHitMask(c_GUIB_Bitmap *mask);
  // Press state bits.
  enum : uint32_t {
    STATE_ARMED = 1,  // held and the pointer inside: a release clicks
    STATE_HELD = 2,   // the left button went down on the button
  };
  uint32_t GetState() const { return m_state; }

 private:
  c_GUIB_Bitmap *m_backgrounds[SLOT_COUNT] = {};
  c_GUIB_Bitmap *m_icons[SLOT_COUNT] = {};
  c_GUIB_Bitmap *m_hitMask = nullptr;
  uint32_t m_state = 0;
  uint32_t m_nextRepeat = 0;
  uint32_t m_style = 1;
};

// A box with an X mark beside a text, toggled by clicking.
class c_GUIB_CheckBox : public c_GUIB_Widget {
 public:
  enum : uint32_t { STYLE_BOX_RIGHT = 2, STYLE_BOX_VCENTRE = 32 };

  explicit c_GUIB_CheckBox(const WidgetCreateParams &p);
  ~c_GUIB_CheckBox() override;
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;
  void Paint() override;
  bool HitTest(int32_t x, int32_t y) override;
  void SetText(const char *text) override;
  // Space toggles the box as a click does.
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;
  uint32_t Describe(GUI_Description *d) override;

  void SetCheck(uint32_t state);
  uint32_t GetCheck() const { return m_state; }
  void SetStyle(uint32_t style);
  const GUIB_Rect &TextRect() const { return m_textRect; }
  const GUIB_Rect &BoxRect() const { return m_boxRect; }

 private:
  void iLayout();
  void iToggle();

  uint32_t m_held = 0;
  uint32_t m_style = 0x11;
  uint32_t m_state = 0;
  bool m_wrap = false;  // the text is wider than its room: drawn in wrapped lines
  GUIB_Rect m_textRect = {0, 0, 0, 0};
  GUIB_Rect m_boxRect = {0, 0, 0, 0};
  c_GUIB_Font *m_font = nullptr;
};

// Static text: one aligned line, or wrapped with alignment ALIGN_WRAP.
class c_GUIB_Label : public c_GUIB_Widget {
 public:
  static const uint32_t ALIGN_WRAP = 0x80000000u;
  explicit c_GUIB_Label(const WidgetCreateParams &p);
  void Paint() override;
  uint32_t Describe(GUI_Description *d) override;  // none while empty
};

// A bar with a percentage text.
class c_GUIB_ProgressBar : public c_GUIB_Widget {
 public:
  enum : uint32_t {
    STYLE_VERTICAL = 1,
    STYLE_TEXT_ONLY = 2,
    STYLE_REVERSED = 4,
    STYLE_NO_TEXT = 8
  };
  static const uint32_t NO_REDRAW = 0x8000;

  explicit c_GUIB_ProgressBar(const WidgetCreateParams &p, uint32_t style = 0);
  void Paint() override;
  uint32_t Describe(GUI_Description *d) override;

  void SetValue(int32_t value, uint32_t flags);
  int32_t GetValue() const { return m_value; }
  int32_t GetPercent() const { return m_percent; }
  int32_t GetFillLength() const { return m_fillLength; }
  const char *GetPercentText() const { return m_percentText; }

 private:
  int32_t m_minimum = 0;
  int32_t m_maximum = 100;
  int32_t m_range = 100;
  int32_t m_value = 0;
  int32_t m_percent = 0;
  int32_t m_fillLength = 0;
  char m_percentText[8] = {};
  uint32_t m_style;
};
