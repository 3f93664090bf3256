// The message box: a small modal dialog inside the desktop with a title bar
// that drags it, a wrapped text and one to four of the buttons "Ok", "Yes",
// "No" and "Cancel". It reports the chosen button to its handlers with
// GN_MSGBOX_RESULT and then asks for its own destruction, which the
// desktop's next pump pass carries out. The title bar also works alone: it
// moves its parent when dragged.
#pragma once

#include "gui/widgets.h"

enum : uint32_t {
  MBB_OK = 1,
  MBB_YES = 2,
  MBB_NO = 4,
  MBB_CANCEL = 8,
};

static const uint32_t GN_MSGBOX_RESULT = 0x500000;

class c_GUIB_TitleBar : public c_GUIB_Widget {
 public:
  explicit c_GUIB_TitleBar(const WidgetCreateParams &p);
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;
  void Paint() override;

 private:
  GUI_Point m_dragStart = {0, 0};
  GUI_Point m_parentStart = {0, 0};
  uint32_t m_dragging = 0;
};

class c_GUIB_MessageBox : public c_GUIB_Widget {
 public:
  explicit c_GUIB_MessageBox(const WidgetCreateParams &p);
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;

  // texts, when given, are the captions of Ok, Yes, No and Cancel in that
  // order; a null one stays English.
  void SetButtons(uint32_t mask, const char *const *texts = nullptr);
  c_GUIB_Panel *Body() const { return m_body; }
  c_GUIB_Label *TextLabel() const { return m_label; }
  c_GUIB_TitleBar *TitleBar() const { return m_title; }
  c_GUIB_Button *ButtonSlot(uint32_t i) const { return i < 4 ? m_buttons[i] : nullptr; }
  uint32_t ButtonCount() const { return m_count; }

 private:
  static uint32_t iButtonHandler(c_GUIB_Widget *sender, uintptr_t data, uint32_t msg, uintptr_t a,
                                 uintptr_t b);
  void iAnswer(uint32_t flag);

  c_GUIB_Panel *m_body = nullptr;
  c_GUIB_Label *m_label = nullptr;
  c_GUIB_TitleBar *m_title = nullptr;
  c_GUIB_Button *m_buttons[4] = {};
  uint32_t m_count = 0;
  uint32_t m_buttonWidth = 80;
  uint32_t m_buttonHeight = 14;
  uint32_t m_gap = 6;
  uint32_t m_mask = 0;
};

// Creates, sizes and centres a box as a child of parent; returns it with
// the creator's reference. The handler, when given, gets the box as data;
// button_texts, when given, are as for SetButtons.
c_GUIB_MessageBox *ShowMessageBox(c_GUIB_Widget *parent, const char *title, const char *text,
                                  uint32_t mask, WidgetHandlerFn handler,
                                  const char *const *button_texts = nullptr);
