// Scroll bars refuse an empty range and keep the position inside it.
#include "gui/scroll_bar.h"

#include "gui_test_util.h"

TEST_F(GuiTest, ScrollBarClampsAndRefusesABadRange) {
  auto *bar = new c_GUIB_ScrollBar(Params(100, 0, 16, 72));
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
    ScrollInfo si = {c.min, c.max, c.pos, c.page, 1, SB_VERTICAL};
    EXPECT_EQ(bar->SetScrollInfo(&si), c.rc) << c.min << ".." << c.max;
    bar->GetScrollInfo(&si);
    EXPECT_EQ(si.position, c.want) << c.min << ".." << c.max;
  }
  EXPECT_EQ(bar->ThumbLength() + bar->ThumbOffset(), 0);
  // Nothing to scroll: the arrows and the track do nothing.
  Click(105, 60);
  Click(105, 30);
  ScrollInfo si;
  bar->GetScrollInfo(&si);
  EXPECT_EQ(si.position, 10.0f);
  PumpAt(1100);
}
