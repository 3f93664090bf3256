// Tree view: the selection never stays on a row that is hidden or gone, and
// without a font nothing is hit.
#include "gui/tree_view.h"

#include <string>
#include <vector>

#include "gui_test_util.h"

namespace {

// Fills an expanding item's child list with the labels in fill.
struct Filler {
  std::vector<std::string> fill;
  static uint32_t Fn(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t) {
    if (msg != GN_TREE_EXPANDING) return 0;
    TreeNotice *n = reinterpret_cast<TreeNotice *>(a);
    for (const std::string &s : reinterpret_cast<Filler *>(data)->fill)
      static_cast<c_GUIB_TreeView *>(w)->InsertItem(ListItem(n->list, n->index)->child, P(Wide(s)),
                                                    nullptr, 0, nullptr, 0, IF_EXPANDABLE);
    return 1;
  }
};

TEST_F(GuiTest, TreeSelectionLeavesCollapsedAndClearedRows) {
  auto *view = new c_GUIB_TreeView(Params(0, 0, 200, 100));
  Filler filler{{"a1", "a2"}};
  view->AddHandler(Filler::Fn, reinterpret_cast<uintptr_t>(&filler));
  view->CreateRootList(256, 8, 0, nullptr);
  for (const char *label : {"A", "B"})
    view->InsertItem(nullptr, P(Wide(label)), nullptr, 0, nullptr, 0, IF_EXPANDABLE);
  // Rows of 13 pixels from y 4; icons at x 13, texts from x 22.
  auto row = [](int r) { return 4 + r * 13 + 6; };
  view->SetFont(nullptr, 0);
  PumpAt(1020);
  Click(23, row(1));
  EXPECT_EQ(view->SelectedList(), nullptr);  // no font: nothing hit
  view->SetFont(font, 0);
  Click(13, row(0));       // expand A
  Click(23 + 18, row(2));  // select a2
  EXPECT_EQ(view->SelectedList(), ListItem(view->RootList(), 0)->child);
  Click(13, row(0));  // collapse A: the selection moves up to A
  EXPECT_EQ(view->SelectedList(), view->RootList());
  EXPECT_EQ(view->SelectedIndex(), 0u);
  EXPECT_EQ(view->RowCount(), 2u);
  view->ClearItems();
  EXPECT_EQ(view->SelectedList(), nullptr);
  EXPECT_EQ(view->RowCount(), 0u);
  PumpAt(1040);
}

}  // namespace
