// c_GUIB_TreeView: an ItemList tree shown as indented rows with icons and
// tree lines.
//
// The user selects an item by pressing its text and expands or collapses a
// folder by pressing its icon or double-clicking the selected item; by
// keyboard, Up and Down move the selection and Right and Left open and
// close the selected folder (Left on a closed one goes to its parent). Each of
// these reaches the handlers as a GN_TREE_* notification whose argument a
// points to a TreeNotice (list, index, answer). A handler answering 1 to
// GN_TREE_EXPANDING says that the item has no children after all: the item
// becomes a leaf. Items hold the selection and expansion state (IF_* flags).
//
// One walk routine measures, paints and hit-tests the rows. The rows are
// painted into a content bitmap as wide as the widest row and copied into
// the view at the horizontal offset; vertical and horizontal scroll bars
// appear and disappear as the content outgrows the view.
#pragma once

#include "gui/item_list.h"
#include "gui/scroll_bar.h"

enum : uint32_t {
  GN_TREE_COLLAPSED = 2816,
  GN_TREE_EXPANDING = 2817,
  GN_TREE_DESELECTED = 2818,
  GN_TREE_SELECTED = 2819,
};

// Image registry ids of the tree icons.
enum : uint32_t { TREE_ICON_FOLDER = 24, TREE_ICON_OPEN_FOLDER = 25, TREE_ICON_FILE = 26 };

struct TreeNotice {
  ItemList *list;
  uint32_t index;
  int32_t answer;  // -1 on the way in
};

class c_GUIB_TreeView : public c_GUIB_Widget {
 public:
  explicit c_GUIB_TreeView(const WidgetCreateParams &p);
  ~c_GUIB_TreeView() override;
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;
  void Paint() override;
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;

  // Replaces the root list (destroying the old one and its items); null when
  // out of memory.
  ItemList *CreateRootList(uint32_t buffer_step, uint32_t index_step, uint32_t flags, void *user);
  // list null means the root list; nothing happens without one.
  ItemRecord *InsertItem(ItemList *list, const uint16_t *label, const uint16_t *data,
                         uintptr_t user, const void *number, uint32_t group, uint32_t flags);
  void ClearItems();
  void ToggleItem(ItemList *list, uint32_t index);
  // which: 0 vertical, 1 horizontal; info null removes the bar.
  void ShowScrollBar(uint32_t which, ScrollInfo *info);

  ItemList *RootList() const { return m_root; }
  uint32_t RowCount() const { return m_root ? m_root->visible : 0; }
  // The selection: its list (null when none) and index.
  ItemList *SelectedList() const { return m_selList; }
  uint32_t SelectedIndex() const { return m_selIndex; }
  c_GUIB_ScrollBar *Bar(uint32_t which) const { return which ? m_hbar : m_vbar; }
  int32_t VerticalOffset() const { return m_vOffset; }
  int32_t HorizontalOffset() const { return m_hOffset; }
  int32_t ContentWidth() const { return m_contentWidth; }
  bool LayoutNeeded() const { return (m_layout & kLayoutNeeded) != 0; }
  // Asks the next paint to measure the rows again (after a font change).
  void InvalidateLayout() {
    m_layout |= kLayoutNeeded;
    MarkDirty();
  }
  // Row geometry from the font in slot 0 and the icons.
  int32_t Indent() const;
  int32_t RowHeight() const;
  // The local rectangle less the scroll bars and the border.
  GUIB_Rect InnerRect() const;

 private:
  static const uint32_t kLayoutNeeded = 4;
  struct Walk;
  bool iWalk(Walk &w, ItemList *list, int32_t x, int32_t depth);
  void iWalkItem(Walk &w, ItemList *list, uint32_t i, int32_t x, int32_t depth, bool *stop);
  void iPaintLines(Walk &w, ItemList *list, uint32_t i, int32_t x, int32_t cy);
  void iCollapse(ItemList *list, uint32_t index);
  // Moves the selection to the item, with the notices a press sends.
  void iSelect(ItemList *list, uint32_t index);
  bool iKey(uint32_t key);
  void iScrollToRow(int32_t row);
  uintptr_t iNotify(uint32_t code, ItemList *list, uint32_t index, int32_t *answer = nullptr);
  void iLayoutBars(bool *bar_added);
  static uint32_t iScrollHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                 uintptr_t b);

  c_GUIB_ScrollBar *m_vbar = nullptr;
  c_GUIB_ScrollBar *m_hbar = nullptr;
  ItemList *m_root = nullptr;
  int32_t m_vOffset = 0, m_hOffset = 0;
  uint32_t m_layout = 0;  // bit 0 vertical bar shown, bit 1 horizontal, bit 2 layout needed
  int32_t m_leftMargin = 4, m_topMargin = 4;
  uint32_t m_pressFound = 0;
  c_GUIB_Bitmap *m_icons[3] = {};  // file, folder, open folder
  uint32_t m_selIndex = 0;
  ItemList *m_selList = nullptr;
  c_GUIB_Bitmap *m_content = nullptr;
  int32_t m_lastContentHeight = 0;
  int32_t m_contentWidth = 0;
  int32_t m_pressX = 0, m_pressY = 0;
};
