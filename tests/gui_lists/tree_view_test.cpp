// Tree view: expand, collapse, selection, scroll bars, row geometry.
#include "gui/tree_view.h"

#include <string>
#include <vector>

#include "gui_test_util.h"

namespace {

using Lines = std::vector<std::string>;

// Records tree notices as "<code name> <label>"; answers GN_TREE_EXPANDING
// with expand_answer after inserting the fill items into the child list.
struct Recorder {
  Lines lines;
  int32_t expand_answer = 0;
  std::vector<std::string> fill;

  static uint32_t Fn(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t) {
    Recorder *self = reinterpret_cast<Recorder *>(data);
    if (msg < GN_TREE_COLLAPSED || msg > GN_TREE_SELECTED) return 0;
    TreeNotice *n = reinterpret_cast<TreeNotice *>(a);
    static const char *names[] = {"collapsed", "expanding", "deselected", "selected"};
    const ItemRecord *r = ListItem(n->list, n->index);
    self->lines.push_back(std::string(names[msg - GN_TREE_COLLAPSED]) + " " + Narrow(r->label));
    if (msg != GN_TREE_EXPANDING) return 0;
    for (const std::string &s : self->fill)
      static_cast<c_GUIB_TreeView *>(w)->InsertItem(r->child, P(Wide(s)), nullptr, 0, nullptr, 0,
                                                    IF_EXPANDABLE);
    n->answer = self->expand_answer;
    return 1;
  }
};

class TreeViewTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    view = new c_GUIB_TreeView(Params(0, 0, 200, 100));
    view->AddHandler(Recorder::Fn, reinterpret_cast<uintptr_t>(&rec));
    view->CreateRootList(256, 8, 0, nullptr);
  }
  ItemRecord *Add(const std::string &label, uint32_t flags = IF_EXPANDABLE) {
    return view->InsertItem(nullptr, P(Wide(label)), nullptr, 0, nullptr, 0, flags);
  }
  ItemRecord *Root(uint32_t i) { return ListItem(view->RootList(), i); }
  // Geometry of the default set-up: 10 x 10 stand-in icons, 10-pixel font.
  static constexpr int32_t kRow = 13, kTop = 4, kTextX = 22, kIconX = 13, kIndent = 18;
  static int32_t RowY(int32_t row) { return kTop + row * kRow + 6; }  // row centre

  c_GUIB_TreeView *view = nullptr;
  Recorder rec;
};

TEST_F(TreeViewTest, ExpandingWithNoChildrenMakesALeaf) {
  Add("A");
  Add("B");
  rec.expand_answer = 1;
  PumpAt(1020);
  Click(kIconX, RowY(0));
  EXPECT_EQ(rec.lines, (Lines{"expanding A", "collapsed A"}));
  EXPECT_EQ(Root(0)->flags, uint32_t(IF_EXPANDABLE | IF_LEAF));
  // Pressing the place of its icon toggles nothing any more.
  rec.lines.clear();
  Click(kIconX, RowY(0));
  EXPECT_TRUE(rec.lines.empty());
}

TEST_F(TreeViewTest, ExpandingFillsTheChildListAndCounts) {
  Add("A");
  Add("B");
  rec.fill = {"a1", "a2", "a3"};
  Click(kIconX, RowY(0));
  EXPECT_EQ(rec.lines, Lines{"expanding A"});
  EXPECT_EQ(Root(0)->flags, uint32_t(IF_EXPANDABLE | IF_EXPANDED));
  EXPECT_EQ(view->RowCount(), 5u);
  // The child rows come right under A, one indent further in.
  Click(kTextX + kIndent + 2, RowY(2));
  EXPECT_EQ(rec.lines.back(), "selected a2");
  // Collapse and expand again: the handler is asked again, the list is kept.
  rec.fill.clear();
  Click(kIconX, RowY(0));
  Click(kIconX, RowY(0));
  EXPECT_EQ(view->RowCount(), 5u);
  EXPECT_EQ(ListCount(Root(0)->child), 3u);
}

TEST_F(TreeViewTest, CollapsingAFolderHoldingTheSelectionMovesIt) {
  Add("A");
  Add("B");
  rec.fill = {"a1", "a2"};
  Click(kIconX, RowY(0));
  rec.fill = {"deep"};
  Click(kIconX + kIndent, RowY(2));          // expand a2
  Click(kTextX + 2 * kIndent + 1, RowY(3));  // select its child
  EXPECT_EQ(rec.lines.back(), "selected deep");
  rec.lines.clear();
  Click(kIconX, RowY(0));  // collapse A
  EXPECT_EQ(rec.lines, (Lines{"deselected deep", "selected A", "collapsed A"}));
  EXPECT_EQ(view->SelectedList(), view->RootList());
  EXPECT_EQ(view->SelectedIndex(), 0u);
  EXPECT_TRUE(Root(0)->flags & IF_SELECTED);
  EXPECT_EQ(view->RowCount(), 2u);
  rec.lines.clear();
  Click(kTextX + 1, RowY(1));
  EXPECT_EQ(rec.lines, (Lines{"deselected A", "selected B"}));
  EXPECT_FALSE(Root(0)->flags & IF_SELECTED);
}

TEST_F(TreeViewTest, PressingTheTextSelectsADoubleClickToggles) {
  Add("Alpha");
  Click(kTextX + 3, RowY(0));
  Click(kTextX + 3, RowY(0));
  EXPECT_EQ(rec.lines, (Lines{"selected Alpha", "selected Alpha"}));
  Click(kTextX + 5 * 6 + 2, RowY(0));  // past the end of the text
  EXPECT_EQ(rec.lines.size(), 2u);
  rec.fill = {"x"};
  desk->InputMouse(GM_LBUTTON_DOWN, kTextX + 3, RowY(0));
  desk->InputMouse(GM_LBUTTON_UP, kTextX + 3, RowY(0));
  desk->InputMouse(GM_LBUTTON_DBLCLK, kTextX + 3, RowY(0));
  desk->InputMouse(GM_LBUTTON_UP, kTextX + 3, RowY(0));
  EXPECT_EQ(rec.lines.back(), "expanding Alpha");
  EXPECT_EQ(view->RowCount(), 2u);
}

TEST_F(TreeViewTest, RowsPastTheViewAddAVerticalBarAndRemovingThemRemovesIt) {
  Add("A");
  for (int i = 0; i < 6; ++i) Add("r" + std::to_string(i), 0);
  PumpAt(1020);
  EXPECT_EQ(view->Bar(0), nullptr);  // 7 rows * 13 + 4 = 95 fit in 97
  EXPECT_EQ(view->InnerRect().right, 198);
  rec.fill = {"a1", "a2", "a3", "a4"};
  Click(kIconX, RowY(0));
  PumpAt(1040);
  ASSERT_NE(view->Bar(0), nullptr);
  EXPECT_EQ(view->Bar(1), nullptr);
  EXPECT_EQ(view->InnerRect().right, 200 - 16 - 2);
  ScrollInfo si;
  view->Bar(0)->GetScrollInfo(&si);
  EXPECT_EQ(si.maximum, float(11 * kRow + kTop + kTop));
  EXPECT_EQ(si.page, 97.0f);
  EXPECT_EQ(si.step, 10.0f);
  // Scroll to the end with the bar's down arrow (x 184..199, y 84..99).
  for (int i = 0; i < 8; ++i) Click(190, 90);
  view->Bar(0)->GetScrollInfo(&si);
  EXPECT_EQ(si.position, si.maximum - si.page);
  EXPECT_EQ(view->VerticalOffset(), -int32_t(si.position));
  // The rows moved up with it: the last row is now at the bottom.
  rec.lines.clear();
  Click(kTextX + 1, RowY(10) + view->VerticalOffset());
  EXPECT_EQ(rec.lines, Lines{"selected r5"});
  // Collapsing A removes the rows, the bar, and the offset.
  view->ToggleItem(view->RootList(), 0);
  PumpAt(1060);
  EXPECT_EQ(view->Bar(0), nullptr);
  EXPECT_EQ(view->VerticalOffset(), 0);
  EXPECT_EQ(view->InnerRect().right, 198);
}

TEST_F(TreeViewTest, AWideRowAddsAHorizontalBar) {
  Add("short");
  Add(std::string(40, 'w'), 0);  // 240 pixels of text
  PumpAt(1020);
  ASSERT_NE(view->Bar(1), nullptr);
  EXPECT_EQ(view->Bar(0), nullptr);
  EXPECT_EQ(view->ContentWidth(), kTextX + 240 + 4);
  ScrollInfo si;
  view->Bar(1)->GetScrollInfo(&si);
  EXPECT_EQ(si.maximum, float(kTextX + 240 + 4 + 1));
  EXPECT_EQ(si.page, 197.0f);
  EXPECT_EQ(view->InnerRect().bottom, 100 - 16 - 2);
  // Scrolling it moves the hit area of the rows to the left.
  for (int i = 0; i < 3; ++i) Click(190, 92);  // right arrow, 10 pixels each
  EXPECT_EQ(view->HorizontalOffset(), -30);
  Click(kTextX - 30 + 10, RowY(0));
  EXPECT_EQ(rec.lines.back(), "selected short");
}

TEST_F(TreeViewTest, RowGeometryFollowsTheFontAndTheIcons) {
  // Registered icons of several sizes: the widest sets the indent, the tallest
  // the row height; a taller font takes over the row height.
  const struct {
    uint32_t id;
    int32_t w, h;
  } icons[] = {
      {TREE_ICON_FILE, 12, 20}, {TREE_ICON_FOLDER, 14, 12}, {TREE_ICON_OPEN_FOLDER, 16, 8}};
  for (const auto &i : icons) {
    c_GUIB_Bitmap *b = new c_GUIB_Bitmap(i.w, i.h);
    ctx->RegisterImage(i.id, b);
    b->Release();
  }
  c_GUIB_TreeView *t = new c_GUIB_TreeView(Params(0, 0, 200, 100));
  EXPECT_EQ(t->Indent(), 24);
  EXPECT_EQ(t->RowHeight(), 23);
  c_GUIB_Font *tall = new c_GUIB_Font();
  tall->InsertGlyph('x', c_GUIB_Font::Glyph{5, 30, 0, 0xFF000000, new c_GUIB_Bitmap(5, 30)});
  t->SetFont(tall, 0);
  EXPECT_EQ(t->RowHeight(), 33);
  tall->Release();
}

TEST_F(TreeViewTest, WithoutAFontNothingIsHitAndClearingForgetsTheSelection) {
  Add("A");
  view->SetFont(nullptr, 0);
  PumpAt(1020);
  Click(kTextX + 1, RowY(0));
  EXPECT_TRUE(rec.lines.empty());
  // ClearItems forgets the selection with the items.
  view->SetFont(font, 0);
  Click(kTextX + 1, RowY(0));
  view->ClearItems();
  EXPECT_EQ(view->SelectedList(), nullptr);
  EXPECT_EQ(view->RowCount(), 0u);
}

}  // namespace
