// Scroll bars: range clamping, thumb geometry, track clicks, dragging, arrows.
#include "gui/scroll_bar.h"

#include "gui_test_util.h"

namespace {

// Logs the scroll notices only (not hover changes) as "id:code:a".
uint32_t ScrollLog(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg != GN_SCROLLED && msg != GN_SCROLLING) return 0;
  return LogHandler(w, data, msg, a, b);
}

class ScrollBarTest : public GuiTest {
 protected:
  // A vertical bar at (100, 0) whose track is 40 pixels (16-pixel arrows).
  c_GUIB_ScrollBar *MakeBar(int32_t track = 40) {
    c_GUIB_ScrollBar *bar = new c_GUIB_ScrollBar(Params(100, 0, 16, track + 32));
    bar->AddHandler(ScrollLog, reinterpret_cast<uintptr_t>(&log));
    return bar;
  }
  static uint32_t Set(c_GUIB_ScrollBar *bar, float min, float max, float pos, float page,
                      float step = 1) {
    ScrollInfo si = {min, max, pos, page, step, SB_VERTICAL};
    return bar->SetScrollInfo(&si);
  }
  static float Pos(c_GUIB_ScrollBar *bar) {
    ScrollInfo si;
    bar->GetScrollInfo(&si);
    return si.position;
  }
  std::string Note(c_GUIB_Widget *bar, uint32_t code, int a) {
    return std::to_string(bar->GetId()) + ":" + std::to_string(code) + ":" + std::to_string(a);
  }
  std::vector<std::string> log;
};

TEST_F(ScrollBarTest, ConstructionAndLayout) {
  c_GUIB_ScrollBar *v = MakeBar();
  EXPECT_EQ(v->ArrowLength(), 16);
  EXPECT_EQ(v->TrackStart(), 16);
  EXPECT_EQ(v->TrackLength(), 40);
  // Page 10 of 0..99 at construction.
  EXPECT_EQ(v->ThumbLength(), 4);  // round(40 * 10 / 99)
  ScrollInfo si;
  v->GetScrollInfo(&si);
  EXPECT_EQ(si.orientation, uint32_t(SB_VERTICAL));
  int32_t x, y, w, h;
  v->Arrow(1)->GetPosition(&x, &y);
  v->Arrow(1)->GetSize(&w, &h);
  EXPECT_EQ(y, 56);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 16);

  // Wider than high: horizontal. Arrows never exceed the thickness or half
  // the length.
  c_GUIB_ScrollBar *hz = new c_GUIB_ScrollBar(Params(0, 80, 20, 10));
  hz->GetScrollInfo(&si);
  EXPECT_EQ(si.orientation, uint32_t(SB_HORIZONTAL));
  EXPECT_EQ(hz->ArrowLength(), 10);
  hz->Resize(12, 10);
  EXPECT_EQ(hz->ArrowLength(), 6);
  EXPECT_EQ(hz->TrackLength(), 0);
  hz->Arrow(1)->GetPosition(&x, &y);
  EXPECT_EQ(x, 6);
  // Turning it vertical moves the arrows to the ends of the height.
  ScrollInfo turn = {0, 10, 0, 2, 1, SB_VERTICAL};
  EXPECT_EQ(hz->SetScrollInfo(&turn), 0u);
  hz->Arrow(1)->GetPosition(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 5);
}

TEST_F(ScrollBarTest, SetScrollInfoClamps) {
  c_GUIB_ScrollBar *bar = MakeBar();
  EXPECT_EQ(Set(bar, 0, 100, 95, 10), 0u);
  EXPECT_EQ(Pos(bar), 90.0f);
  EXPECT_EQ(Set(bar, 0, 100, -5, 10), 0u);
  EXPECT_EQ(Pos(bar), 0.0f);
  // A bad range changes nothing.
  EXPECT_EQ(Set(bar, 5, 5, 1, 1), 5u);
  EXPECT_EQ(Set(bar, 6, 5, 1, 1), 5u);
  ScrollInfo si;
  bar->GetScrollInfo(&si);
  EXPECT_EQ(si.maximum, 100.0f);
  EXPECT_EQ(si.page, 10.0f);
  // A page covering the range: no thumb, and the position stays at the minimum.
  EXPECT_EQ(Set(bar, 10, 20, 15, 30), 0u);
  EXPECT_EQ(Pos(bar), 10.0f);
  EXPECT_EQ(bar->ThumbLength(), 0);
  EXPECT_EQ(bar->ThumbOffset(), 0);
  EXPECT_TRUE(log.empty());  // setting the range is not a user action
}

TEST_F(ScrollBarTest, ThumbLengthAndOffsetRoundHalvesToEven) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  // Range 80 over 40 pixels: half a pixel per unit.
  Set(bar, 0, 80, 0, 5);
  EXPECT_EQ(bar->ThumbLength(), 2);  // 2.5
  Set(bar, 0, 80, 0, 15);
  EXPECT_EQ(bar->ThumbLength(), 8);  // 7.5
  Set(bar, 0, 80, 0, 10);
  EXPECT_EQ(bar->ThumbLength(), 5);
  // Offset = position * 35 / 70.
  const struct {
    float pos;
    int32_t offset;
  } cases[] = {{1, 0}, {3, 2}, {5, 2}, {7, 4}, {70, 35}, {69, 34}};
  for (const auto &c : cases) {
    Set(bar, 0, 80, c.pos, 10);
    EXPECT_EQ(bar->ThumbOffset(), c.offset) << c.pos;
  }
  // Offsets follow the minimum.
  Set(bar, -80, 0, -77, 10);
  EXPECT_EQ(bar->ThumbOffset(), 2);
}

TEST_F(ScrollBarTest, TrackClickCentresTheThumbOnThePointer) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  Set(bar, 0, 80, 0, 10);  // thumb 5 at offset 0
  // Track coordinate 21 (y = 16 + 21): thumb from 21 - 2 = 19.
  Click(105, 37);
  EXPECT_EQ(bar->ThumbOffset(), 19);
  EXPECT_EQ(Pos(bar), 38.0f);  // 19 / 35 * 70
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], Note(bar, GN_SCROLLED, 38));
  // Far below the thumb: clamped at the end, one notice.
  log.clear();
  Click(105, 55);
  EXPECT_EQ(bar->ThumbOffset(), 35);
  EXPECT_EQ(Pos(bar), 70.0f);
  EXPECT_EQ(log, std::vector<std::string>{Note(bar, GN_SCROLLED, 70)});
}

TEST_F(ScrollBarTest, DraggingReportsScrollingThenScrolled) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  Set(bar, 0, 80, 0, 10);
  desk->InputMouse(GM_MOUSE_MOVE, 105, 18);
  desk->InputMouse(GM_LBUTTON_DOWN, 105, 18);  // on the thumb, 2 pixels in
  EXPECT_TRUE(bar->Dragging());
  EXPECT_EQ(desk->CaptureWidget(), bar);
  EXPECT_TRUE(log.empty());
  desk->InputMouse(GM_MOUSE_MOVE, 105, 28);  // thumb to 10
  EXPECT_EQ(bar->ThumbOffset(), 10);
  // Outside the bar the capture keeps the events coming; clamped at the end.
  desk->InputMouse(GM_MOUSE_MOVE, 150, 95);
  EXPECT_EQ(bar->ThumbOffset(), 35);
  desk->InputMouse(GM_LBUTTON_UP, 150, 30);  // released at thumb 12
  EXPECT_FALSE(bar->Dragging());
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
  EXPECT_EQ(bar->ThumbOffset(), 12);
  const std::vector<std::string> expect = {Note(bar, GN_SCROLLING, 20), Note(bar, GN_SCROLLING, 70),
                                           Note(bar, GN_SCROLLED, 24)};
  EXPECT_EQ(log, expect);
}

TEST_F(ScrollBarTest, SnapRoundsPositionsToMultiples) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  Set(bar, 0, 80, 0, 10);
  bar->SetSnap(7);
  Click(105, 37);  // free position would be 38: nearest multiple of 7 is 35
  EXPECT_EQ(Pos(bar), 35.0f);
  EXPECT_EQ(bar->ThumbOffset(), 18);  // 17.5 to even
}

TEST_F(ScrollBarTest, ArrowsStepAndRepeatWhileHeld) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  Set(bar, 0, 80, 0, 10, 3);
  PumpAt(1000);
  // Down arrow at y 56..71.
  desk->InputMouse(GM_MOUSE_MOVE, 105, 60);
  desk->InputMouse(GM_LBUTTON_DOWN, 105, 60);
  PumpAt(1200);
  EXPECT_EQ(Pos(bar), 0.0f);  // still within the repeat delay
  PumpAt(1260);
  EXPECT_EQ(Pos(bar), 3.0f);
  PumpAt(1300);
  EXPECT_EQ(Pos(bar), 3.0f);
  PumpAt(1320);
  EXPECT_EQ(Pos(bar), 6.0f);
  desk->InputMouse(GM_LBUTTON_UP, 105, 60);  // the click itself steps once more
  EXPECT_EQ(Pos(bar), 9.0f);
  EXPECT_EQ(bar->ThumbOffset(), 4);  // 9 * 35 / 70 = 4.5, to even
  const std::vector<std::string> expect = {Note(bar, GN_SCROLLED, 3), Note(bar, GN_SCROLLED, 6),
                                           Note(bar, GN_SCROLLED, 9)};
  EXPECT_EQ(log, expect);
  // The up arrow stops at the minimum; the down arrow at maximum - page.
  log.clear();
  for (int i = 0; i < 5; ++i) Click(105, 5);
  EXPECT_EQ(Pos(bar), 0.0f);
  EXPECT_EQ(log.size(), 3u);
  Set(bar, 0, 80, 69, 10, 3);
  Click(105, 60);
  EXPECT_EQ(Pos(bar), 70.0f);
}

TEST_F(ScrollBarTest, PageCoveringTheRangeDisablesArrowsAndTrack) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  Set(bar, 0, 10, 0, 10);
  Click(105, 60);
  Click(105, 30);
  desk->InputMouse(GM_LBUTTON_DOWN, 105, 17);
  desk->InputMouse(GM_MOUSE_MOVE, 105, 40);
  desk->InputMouse(GM_LBUTTON_UP, 105, 40);
  EXPECT_EQ(Pos(bar), 0.0f);
  EXPECT_FALSE(bar->Dragging());
  EXPECT_TRUE(log.empty());
  // No thumb is drawn: the whole track has the background colour.
  PumpAt(1100);
  c_GUIB_Bitmap *b = bar->Bitmap();
  for (int y = 17; y < 55; ++y) ASSERT_EQ(b->GetPixel(8, y), bar->GetFillColor(2)) << y;
}

TEST_F(ScrollBarTest, PaintDrawsTheThumbInItsStateColour) {
  c_GUIB_ScrollBar *bar = MakeBar(40);
  Set(bar, 0, 80, 35, 10);  // thumb 5 pixels at offset 18 (local y 34..38)
  PumpAt(1100);
  c_GUIB_Bitmap *b = bar->Bitmap();
  EXPECT_EQ(b->GetPixel(8, 30), bar->GetFillColor(2));
  EXPECT_EQ(b->GetPixel(8, 34), bar->GetFillColor(3));  // thumb frame
  EXPECT_EQ(b->GetPixel(8, 36), bar->GetFillColor(0) | 0xFF000000u);
  desk->InputMouse(GM_MOUSE_MOVE, 108, 36);  // hover the thumb
  PumpAt(1120);
  EXPECT_EQ(b->GetPixel(8, 36), bar->GetFillColor(4));
  desk->InputMouse(GM_LBUTTON_DOWN, 108, 36);
  PumpAt(1140);
  EXPECT_EQ(bar->Bitmap()->GetPixel(8, 36), bar->GetFillColor(7));
  desk->InputMouse(GM_LBUTTON_UP, 108, 36);
}

}  // namespace
