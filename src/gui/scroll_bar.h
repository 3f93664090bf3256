// Scroll bars: c_GUIB_RangeControl (the range model and pointer handling)
// and c_GUIB_ScrollBar (two arrow buttons, a track and a thumb).
//
// The range is floating point: minimum, maximum, a page (the visible amount,
// which sets the thumb's length) and a step (one arrow click). The position
// runs from the minimum to maximum - page. Dragging the thumb reports
// GN_SCROLLING to the handlers while it moves and GN_SCROLLED when released;
// track clicks (which centre the thumb on the pointer) and arrow clicks,
// repeated while an arrow is held, report GN_SCROLLED. Argument a of every
// notification is the position truncated to an integer.
#pragma once

#include "gui/widgets.h"

enum : uint32_t {
  GN_SCROLLED = 1025,
  GN_SCROLLING = 1026,
  GN_SLIDER_SET = 2305,
  GN_SLIDER_TRACK = 2306,
};

// Orientation bits.
enum : uint32_t { SB_HORIZONTAL = 1, SB_VERTICAL = 2, SB_NO_ARROWS = 4 };

struct ScrollInfo {
  float minimum, maximum, position, page, step;
  uint32_t orientation;  // SB_HORIZONTAL or SB_VERTICAL
};

class c_GUIB_RangeControl : public c_GUIB_Widget {
 public:
  explicit c_GUIB_RangeControl(const WidgetCreateParams &p);
  ~c_GUIB_RangeControl() override;
  void Resize(int32_t width, int32_t height) override;
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;

  // GUI_OK; GUI_ERR_BAD_ARG unless minimum < maximum (nothing changes then).
  uint32_t SetScrollInfo(const ScrollInfo *info);
  void GetScrollInfo(ScrollInfo *info) const;
  void SetSnap(float snap) { m_snap = snap; }

  int32_t TrackStart() const { return m_trackStart; }
  int32_t TrackLength() const { return m_trackLength; }
  int32_t ThumbLength() const { return m_thumbLength; }
  int32_t ThumbOffset() const { return m_thumbOffset; }
  int32_t ArrowLength() const { return m_arrowLength; }
  bool Dragging() const { return m_dragging != 0; }
  c_GUIB_Button *Arrow(int which) const { return which ? m_arrow2 : m_arrow1; }

 protected:
  void iLayout();
  void iThumbFromPosition();
  bool iSetFromOffset(int32_t p);  // true when the position changed
  void iNotify(bool final_move);
  static uint32_t iArrowHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                uintptr_t b);

  c_GUIB_Bitmap *m_image = nullptr;
  c_GUIB_Button *m_arrow1 = nullptr;
  c_GUIB_Button *m_arrow2 = nullptr;
  float m_minimum = 0, m_maximum = 99, m_position = 0;
  float m_step = 1;
  float m_page = 0;
  float m_snap = 0;
  int32_t m_arrowLength = 0;
  int32_t m_trackStart = 0;
  int32_t m_trackLength = 0;
  int32_t m_thumbLength = 0;
  int32_t m_thumbOffset = 0;
  int32_t m_grabOffset = 0;
  uint32_t m_noticeStyle = 0;
  uint32_t m_orientation;
  uint32_t m_thumbHovered = 0;
  uint32_t m_dragging = 0;
  uint32_t m_layoutPending = 1;
};

class c_GUIB_ScrollBar : public c_GUIB_RangeControl {
 public:
  explicit c_GUIB_ScrollBar(const WidgetCreateParams &p);
  void Paint() override;
};
