// Scroll bars: range clamping, thumb geometry, track clicks, dragging, arrows.
#include "gui/scroll_bar.h"

#include "gui_test_util.h"

namespace {

using Log = std::vector<std::string>;

// Logs the scroll notices only (not hover changes) as "id:name:a".
uint32_t ScrollLog(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg != GN_SCROLLED && msg != GN_SCROLLING) return 0;
  return LogHandler(w, data, msg, a, b);
}

class ScrollBarTest : public GuiTest {
 protected:
  // A vertical bar at (100, 0) whose track is 40 pixels (16-pixel arrows),
  // set to the range 0..80, page 10: its thumb is 5 pixels and moves over
  // 35, half a pixel per unit.
  void SetUp() override {
    GuiTest::SetUp();
    bar = new c_GUIB_ScrollBar(Params(100, 0, 16, 72));
    bar->AddHandler(ScrollLog, reinterpret_cast<uintptr_t>(&log));
    Set(0, 80, 0, 10);
  }
  uint32_t Set(float min, float max, float pos, float page, float step = 1) {
    ScrollInfo si = {min, max, pos, page, step, SB_VERTICAL};
    return bar->SetScrollInfo(&si);
  }
  float Pos() {
    ScrollInfo si;
    bar->GetScrollInfo(&si);
    return si.position;
  }
  std::string Note(uint32_t code, int a) {
    return std::to_string(bar->GetId()) + ":" + MsgName(code) + ":" + std::to_string(a);
  }
  c_GUIB_ScrollBar *bar = nullptr;
  Log log;
};

TEST_F(ScrollBarTest, WiderThanHighIsHorizontalAndArrowsFitTheLength) {
  // Arrows never exceed the thickness or half the length.
  c_GUIB_ScrollBar *hz = new c_GUIB_ScrollBar(Params(0, 80, 20, 10));
  ScrollInfo si;
  hz->GetScrollInfo(&si);
  EXPECT_EQ(si.orientation, uint32_t(SB_HORIZONTAL));
  EXPECT_EQ(hz->ArrowLength(), 10);
  hz->Resize(12, 10);
  EXPECT_EQ(hz->ArrowLength(), 6);
  EXPECT_EQ(hz->TrackLength(), 0);
  // Turning it vertical moves the arrows to the ends of the height.
  ScrollInfo turn = {0, 10, 0, 2, 1, SB_VERTICAL};
  EXPECT_EQ(hz->SetScrollInfo(&turn), 0u);
  int32_t x, y;
  hz->Arrow(1)->GetPosition(&x, &y);
  EXPECT_EQ(x * 100 + y, 5);
}

TEST_F(ScrollBarTest, SetScrollInfoClampsAndRefusesABadRange) {
  const struct {
    float min, max, pos, page;
    uint32_t rc;
    float want;  // the position afterwards
  } cases[] = {
      {0, 100, 95, 10, 0, 90},           {5, 5, 1, 1, GUI_ERR_BAD_ARG, 90},  // changes nothing
      {6, 5, 1, 1, GUI_ERR_BAD_ARG, 90}, {0, 100, -5, 10, 0, 0},
      {10, 20, 15, 30, 0, 10},  // a page covering the range: at the minimum, no thumb
  };
  for (const auto &c : cases) {
    EXPECT_EQ(Set(c.min, c.max, c.pos, c.page), c.rc) << c.min << ".." << c.max;
    EXPECT_EQ(Pos(), c.want) << c.min << ".." << c.max;
  }
  EXPECT_EQ(bar->ThumbLength() + bar->ThumbOffset(), 0);
  EXPECT_TRUE(log.empty());  // setting the range is not a user action
}

TEST_F(ScrollBarTest, ThumbLengthAndOffsetRoundHalvesToEven) {
  const struct {
    float min, pos, page;
    int32_t length, offset;
  } cases[] = {
      {0, 0, 5, 2, 0},
      {0, 0, 15, 8, 0},  // lengths 2.5 and 7.5
      // Offset = position * 35 / 70.
      {0, 1, 10, 5, 0},
      {0, 3, 10, 5, 2},
      {0, 5, 10, 5, 2},
      {0, 7, 10, 5, 4},
      {0, 70, 10, 5, 35},
      {0, 69, 10, 5, 34},
      {-80, -77, 10, 5, 2},  // follows the minimum
  };
  for (const auto &c : cases) {
    Set(c.min, c.min + 80, c.pos, c.page);
    EXPECT_EQ(bar->ThumbLength(), c.length) << c.pos << " page " << c.page;
    EXPECT_EQ(bar->ThumbOffset(), c.offset) << c.pos << " page " << c.page;
  }
}

TEST_F(ScrollBarTest, TrackClickCentresTheThumbOnThePointer) {
  // Track coordinate 21 (y = 16 + 21): thumb from 21 - 2 = 19.
  Click(105, 37);
  EXPECT_EQ(bar->ThumbOffset(), 19);
  EXPECT_EQ(Pos(), 38.0f);  // 19 / 35 * 70
  EXPECT_EQ(log, Log{Note(GN_SCROLLED, 38)});
  // Far below the thumb: clamped at the end, one notice.
  log.clear();
  Click(105, 55);
  EXPECT_EQ(bar->ThumbOffset(), 35);
  EXPECT_EQ(log, Log{Note(GN_SCROLLED, 70)});
  // With a snap the position goes to the nearest multiple: 38 to 35, whose
  // offset 17.5 rounds to even.
  bar->SetSnap(7);
  Click(105, 37);
  EXPECT_EQ(Pos(), 35.0f);
  EXPECT_EQ(bar->ThumbOffset(), 18);
}

TEST_F(ScrollBarTest, DraggingReportsScrollingThenScrolled) {
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
  EXPECT_EQ(log, (Log{Note(GN_SCROLLING, 20), Note(GN_SCROLLING, 70), Note(GN_SCROLLED, 24)}));
}

TEST_F(ScrollBarTest, ArrowsStepAndRepeatWhileHeld) {
  Set(0, 80, 0, 10, 3);
  PumpAt(1000);
  // Down arrow at y 56..71.
  desk->InputMouse(GM_MOUSE_MOVE, 105, 60);
  desk->InputMouse(GM_LBUTTON_DOWN, 105, 60);
  const struct {
    uint32_t now;
    float pos;
  } passes[] = {{1200, 0}, {1260, 3}, {1300, 3}, {1320, 6}};  // repeat delay, then every 60
  for (const auto &p : passes) {
    PumpAt(p.now);
    EXPECT_EQ(Pos(), p.pos) << p.now;
  }
  desk->InputMouse(GM_LBUTTON_UP, 105, 60);  // the click itself steps once more
  EXPECT_EQ(Pos(), 9.0f);
  EXPECT_EQ(bar->ThumbOffset(), 4);  // 9 * 35 / 70 = 4.5, to even
  EXPECT_EQ(log, (Log{Note(GN_SCROLLED, 3), Note(GN_SCROLLED, 6), Note(GN_SCROLLED, 9)}));
  // The up arrow stops at the minimum; the down arrow at maximum - page.
  log.clear();
  for (int i = 0; i < 5; ++i) Click(105, 5);
  EXPECT_EQ(Pos(), 0.0f);
  EXPECT_EQ(log.size(), 3u);
  Set(0, 80, 69, 10, 3);
  Click(105, 60);
  EXPECT_EQ(Pos(), 70.0f);
}

TEST_F(ScrollBarTest, PageCoveringTheRangeDisablesArrowsAndTrack) {
  Set(0, 10, 0, 10);
  Click(105, 60);
  Click(105, 30);
  desk->InputMouse(GM_LBUTTON_DOWN, 105, 17);
  desk->InputMouse(GM_MOUSE_MOVE, 105, 40);
  desk->InputMouse(GM_LBUTTON_UP, 105, 40);
  EXPECT_EQ(Pos(), 0.0f);
  EXPECT_FALSE(bar->Dragging());
  EXPECT_TRUE(log.empty());
  // No thumb is drawn: the whole track has the background colour.
  PumpAt(1100);
  for (int y = 17; y < 55; ++y) ASSERT_EQ(bar->Bitmap()->GetPixel(8, y), bar->GetFillColor(2)) << y;
}

TEST_F(ScrollBarTest, ThumbColourFollowsHoverAndPress) {
  Set(0, 80, 35, 10);  // thumb 5 pixels at offset 18 (local y 34..38)
  desk->InputMouse(GM_MOUSE_MOVE, 108, 36);
  PumpAt(1100);
  EXPECT_EQ(bar->Bitmap()->GetPixel(8, 36), bar->GetFillColor(4));
  desk->InputMouse(GM_LBUTTON_DOWN, 108, 36);
  PumpAt(1120);
  EXPECT_EQ(bar->Bitmap()->GetPixel(8, 36), bar->GetFillColor(7));
  desk->InputMouse(GM_LBUTTON_UP, 108, 36);
}

}  // namespace
