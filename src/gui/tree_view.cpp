// c_GUIB_TreeView: the row walk, expand and collapse, selection, scroll bars.
#include "gui/tree_view.h"

#include "gui/desktop.h"  // key word bits
#include "platform/platform.h"

namespace {

const uint32_t kVBarShown = 1, kHBarShown = 2;

enum WalkMode { kMeasure, kPaint, kHit };

int32_t iIconW(const c_GUIB_Bitmap *b) {
  return b ? int32_t(b->Width()) : 0;
}
int32_t iIconH(const c_GUIB_Bitmap *b) {
  return b ? int32_t(b->Height()) : 0;
}

}  // namespace

// What one walk needs besides the lists.
struct c_GUIB_TreeView::Walk {
  WalkMode mode;
  int32_t y;
  c_GUIB_Font *font;
  int32_t font_h;
  int32_t indent;
  int32_t row_h;
  GUIB_Rect inner;
  c_GUIB_Bitmap *target;
  int32_t widest;  // largest right edge found (measure mode)
};

c_GUIB_TreeView::c_GUIB_TreeView(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  const int32_t m = m_context ? int32_t(m_context->Word(GP_MARK_SIZE)) : 0;
  const uint32_t ids[3] = {TREE_ICON_FILE, TREE_ICON_FOLDER, TREE_ICON_OPEN_FOLDER};
  for (int i = 0; i < 3; ++i) {
    if (m_context && m_context->GetImage(ids[i], &m_icons[i]) == GUI_OK && m_icons[i]) continue;
    // A plain framed square stands in for an icon nobody registered.
    m_icons[i] = new c_GUIB_Bitmap(m, m);
    m_icons[i]->SetColor(m_fill[SLOT_NORMAL] | 0xFF000000u);
    m_icons[i]->Fill(GUIB_Rect{0, 0, m, m});
    m_icons[i]->SetColor(m_textColor[SLOT_NORMAL] | 0xFF000000u);
    m_icons[i]->FrameRect(GUIB_Rect{0, 0, m - 1, m - 1});
  }
  MarkDirty();
}

c_GUIB_TreeView::~c_GUIB_TreeView() {
  DestroyItemList(m_root);
  if (m_content) m_content->Release();
  for (c_GUIB_Bitmap *icon : m_icons)
    if (icon) icon->Release();
  // The scroll bars are children and die with the view.
}

ItemList *c_GUIB_TreeView::CreateRootList(uint32_t buffer_step, uint32_t index_step, uint32_t flags,
                                          void *user) {
  ClearItems();
  m_root = CreateItemList(nullptr, buffer_step, index_step, flags);
  if (m_root) m_root->user = user;
  return m_root;
}

ItemRecord *c_GUIB_TreeView::InsertItem(ItemList *list, const uint16_t *label, const uint16_t *data,
                                        uintptr_t user, const void *number, uint32_t group,
                                        uint32_t flags) {
  if (!list) list = m_root;
  if (!list) return nullptr;
  ItemRecord *r = ::InsertItem(list, label, data, user, number, group, flags);
  m_layout |= kLayoutNeeded;
  MarkDirty();
  return r;
}

void c_GUIB_TreeView::ClearItems() {
  DestroyItemList(m_root);
  m_root = nullptr;
  m_selList = nullptr;
  m_selIndex = 0;
  m_pressFound = 0;
  m_layout |= kLayoutNeeded;
  MarkDirty();
}

int32_t c_GUIB_TreeView::Indent() const {
  int32_t widest = 0;
  bool any = false;
  for (const c_GUIB_Bitmap *icon : m_icons) {
    if (!icon) continue;
    any = true;
    if (iIconW(icon) > widest) widest = iIconW(icon);
  }
  return (any ? widest : 4) + 8;
}

int32_t c_GUIB_TreeView::RowHeight() const {
  int32_t h = m_fonts[SLOT_NORMAL] ? m_fonts[SLOT_NORMAL]->GetLineHeight() : 0;
  for (const c_GUIB_Bitmap *icon : m_icons)
    if (iIconH(icon) > h) h = iIconH(icon);
  return h + 3;
}

GUIB_Rect c_GUIB_TreeView::InnerRect() const {
  GUIB_Rect r = m_rect;
  if (m_vbar) r.right -= m_vbar->Width();
  if (m_hbar) r.bottom -= m_hbar->Height();
  if (m_frameStyle & FRAME_BORDER) r = GUIB_Rect{r.left + 1, r.top + 1, r.right - 2, r.bottom - 2};
  return r;
}

uintptr_t c_GUIB_TreeView::iNotify(uint32_t code, ItemList *list, uint32_t index, int32_t *answer) {
  TreeNotice n = {list, index, -1};
  const uintptr_t result = CallHandlers(code, reinterpret_cast<uintptr_t>(&n), 0);
  if (answer) *answer = n.answer;
  return result;
}

// ---------------------------------------------------------------- walk

bool c_GUIB_TreeView::iWalk(Walk &w, ItemList *list, int32_t x, int32_t depth) {
  if (!list) return false;
  for (uint32_t i = 0; i < list->count; ++i) {
    if (w.mode != kMeasure && w.y > w.inner.bottom) return true;
    list->walk_cursor = i + 1;
    bool stop = false;
    iWalkItem(w, list, i, x, depth, &stop);
    if (stop) return true;
    w.y += w.row_h;
    const ItemRecord *r = list->index[i];
    if ((r->flags & IF_EXPANDED) && r->child && iWalk(w, r->child, x + w.indent, depth + 1))
      return true;
  }
  return false;
}

void c_GUIB_TreeView::iWalkItem(Walk &w, ItemList *list, uint32_t i, int32_t x, int32_t depth,
                                bool *stop) {
  ItemRecord *r = list->index[i];
  const int32_t cy = (2 * w.y + w.row_h) / 2;
  const int32_t text_top = cy - w.font_h / 2, text_bottom = text_top + w.font_h;
  const int32_t cx = x - w.indent / 2;
  const c_GUIB_Bitmap *icon = m_icons[(r->flags & IF_EXPANDED)     ? 2
                                      : (r->flags & IF_EXPANDABLE) ? 1
                                                                   : 0];
  GUIB_Rect placed;

  switch (w.mode) {
    case kPaint: {
      uint32_t color = m_textColor[SLOT_NORMAL];
      if (r->flags & IF_SELECTED) {
        placed = GUIB_Rect{x, text_top, w.inner.right, text_bottom};
        if (r->label) w.font->CalcTextRect(r->label, &placed, 0);
        w.target->SetColor(m_fill[SLOT_HOVER]);
        w.target->Fill(placed);
        color = m_textColor[SLOT_HOVER];
      }
      if (r->label)
        w.font->iOutTextRect(w.target, color, r->label,
                             GUIB_Rect{x, text_top, m_contentWidth, text_bottom});
      if (depth >= 1) iPaintLines(w, list, i, x, cy);
      if (!(r->flags & IF_LEAF) && icon)
        icon->BlendTo(w.target, cx - iIconW(icon) / 2, cy - iIconH(icon) / 2, 0, 0, iIconW(icon),
                      iIconH(icon));
      break;
    }
    case kHit: {
      if (m_pressY < w.y || m_pressY > w.y + w.row_h) break;
      if ((r->flags & IF_EXPANDABLE) && !(r->flags & IF_LEAF) && icon) {
        const int32_t left = cx - iIconW(icon) / 2, top = cy - iIconH(icon) / 2;
        if (m_pressX >= left && m_pressX <= left + iIconW(icon) && m_pressY >= top &&
            m_pressY <= top + iIconH(icon)) {
          ToggleItem(list, i);
          MarkDirty();
          *stop = true;
          return;
        }
      }
      placed = GUIB_Rect{x, w.y, w.inner.right, w.y + w.row_h};
      if (r->label)
        w.font->CalcTextRect(r->label, &placed, 0);
      else
        placed.right = placed.left;
      if (m_pressX >= placed.left && m_pressX < placed.right) {
        m_selList = list;
        m_selIndex = i;
        m_pressFound = 1;
        *stop = true;
      }
      break;
    }
    case kMeasure:
      placed = GUIB_Rect{x, w.y, w.inner.right, w.inner.bottom};
      if (r->label)
        w.font->CalcTextRect(r->label, &placed, 0);
      else
        placed.right = placed.left;
      if (placed.right > w.widest) w.widest = placed.right;
      break;
  }
}

// Lines to the parent's icon column and, further left, the columns of the
// ancestors that still have siblings below.
void c_GUIB_TreeView::iPaintLines(Walk &w, ItemList *list, uint32_t i, int32_t x, int32_t cy) {
  c_GUIB_Bitmap *t = w.target;
  const int32_t cx = x - w.indent / 2, px = cx - w.indent;
  t->SetColor(m_textColor[SLOT_NORMAL]);
  t->Line(x - 2, cy, px, cy);
  const int32_t top = i == 0 ? cy - w.row_h + iIconH(m_icons[2]) / 2 : cy - w.row_h;
  t->Line(px, cy, px, top);
  const ItemList *up = list->parent_list;
  for (int32_t col = px - w.indent; col >= 1 && up; col -= w.indent, up = up->parent_list)
    if (up->walk_cursor < up->count) t->Line(col, cy, col, cy - w.row_h);
}

// ---------------------------------------------------------------- expand and collapse

void c_GUIB_TreeView::iCollapse(ItemList *list, uint32_t index) {
  ItemRecord *r = ListItem(list, index);
  if (!r) return;
  ItemList *child = r->child;
  uint32_t found_index = 0;
  if (ItemList *found = FindFlagged(child, IF_SELECTED, &found_index)) {
    found->index[found_index]->flags &= ~IF_SELECTED;
    iNotify(GN_TREE_DESELECTED, found, found_index);
    r = ListItem(list, index);
    r->flags |= IF_SELECTED;
    m_selList = list;
    m_selIndex = index;
    iNotify(GN_TREE_SELECTED, list, index);
  }
  r = ListItem(list, index);
  r->flags &= ~IF_EXPANDED;
  if (r->child) SubVisible(list, r->child->visible);
  iNotify(GN_TREE_COLLAPSED, list, index);
  m_layout |= kLayoutNeeded;
  MarkDirty();
}

void c_GUIB_TreeView::ToggleItem(ItemList *list, uint32_t index) {
  ItemRecord *r = ListItem(list, index);
  if (!r || !(r->flags & IF_EXPANDABLE)) return;
  if (!r->child) {
    r->child = CreateItemList(r, list->buffer_step, list->index_step, list->flags);
    if (!r->child) return;
  } else if (r->flags & IF_EXPANDED) {
    iCollapse(list, index);
    return;
  }
  const uint32_t layout_before = m_layout & kLayoutNeeded;
  r->flags |= IF_EXPANDED;
  AddVisible(list, r->child->visible);
  m_layout |= kLayoutNeeded;
  MarkDirty();
  int32_t answer = -1;
  if (iNotify(GN_TREE_EXPANDING, list, index, &answer) && answer == 1) {
    iCollapse(list, index);
    ListItem(list, index)->flags |= IF_LEAF;
    // Nothing changed after all.
    m_layout = (m_layout & ~kLayoutNeeded) | layout_before;
  }
}

// ---------------------------------------------------------------- input

void c_GUIB_TreeView::OnEvent(uint32_t event, const GUI_Point *point, uint32_t, const GUIB_Rect *) {
  if (event == GM_LBUTTON_DBLCLK) {
    if (m_selList && m_pressFound) ToggleItem(m_selList, m_selIndex);
    MarkDirty();
    return;
  }
  if (event != GM_LBUTTON_DOWN || !point) return;
  ItemList *const old_list = m_selList;
  const uint32_t old_index = m_selIndex;
  m_pressX = point->x;
  m_pressY = point->y;
  m_pressFound = 0;
  if (m_fonts[SLOT_NORMAL] && m_root) {
    Walk w = {kHit,
              m_topMargin + m_vOffset,
              m_fonts[SLOT_NORMAL],
              m_fonts[SLOT_NORMAL]->GetLineHeight(),
              Indent(),
              RowHeight(),
              InnerRect(),
              nullptr,
              0};
    iWalk(w, m_root, m_leftMargin + w.indent + m_hOffset, 0);
  }
  // Only a press on an item's text changes the selection here; a press on
  // an icon may have moved it already (collapse), with its own notices.
  if (m_pressFound) {
    ItemList *const list = m_selList;
    const uint32_t index = m_selIndex;
    m_selList = old_list;
    m_selIndex = old_index;
    iSelect(list, index);
  }
  MarkDirty();
}

void c_GUIB_TreeView::iSelect(ItemList *list, uint32_t index) {
  if (m_selList && (m_selList != list || m_selIndex != index)) {
    if (ItemRecord *old = ListItem(m_selList, m_selIndex)) old->flags &= ~IF_SELECTED;
    iNotify(GN_TREE_DESELECTED, m_selList, m_selIndex);
  }
  m_selList = list;
  m_selIndex = index;
  if (ItemRecord *r = ListItem(list, index)) r->flags |= IF_SELECTED;
  iNotify(GN_TREE_SELECTED, list, index);
  MarkDirty();
}

namespace {

struct Row {
  ItemList *list;
  uint32_t index;
};

// The rows on show, top to bottom.
void iRows(ItemList *list, std::vector<Row> *rows) {
  for (uint32_t i = 0; list && i < list->count; ++i) {
    rows->push_back({list, i});
    const ItemRecord *r = list->index[i];
    if ((r->flags & IF_EXPANDED) && r->child) iRows(r->child, rows);
  }
}

}  // namespace

uintptr_t c_GUIB_TreeView::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg == GM_KEY_DOWN && !(a & (KW_CHAR | KW_ALT | KW_CTRL)) && iKey(uint32_t(a) & 0xFFFF))
    return 1;
  return c_GUIB_Widget::HandleMessage(msg, a, b);
}

bool c_GUIB_TreeView::iKey(uint32_t key) {
  enum : uint32_t { kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };
  if (key < kLeft || key > kDown || !m_root) return false;
  std::vector<Row> rows;
  iRows(m_root, &rows);
  if (rows.empty()) return true;
  int32_t at = -1;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].list == m_selList && rows[i].index == m_selIndex) at = int32_t(i);
  ItemRecord *r = at >= 0 ? ListItem(m_selList, m_selIndex) : nullptr;
  int32_t to = at;
  if (at < 0) {
    to = 0;  // any arrow first selects the top row
  } else if (key == kUp) {
    to = at > 0 ? at - 1 : 0;
  } else if (key == kDown) {
    to = at + 1 < int32_t(rows.size()) ? at + 1 : at;
  } else if (key == kRight) {
    if ((r->flags & IF_EXPANDABLE) && !(r->flags & (IF_EXPANDED | IF_LEAF)))
      ToggleItem(m_selList, m_selIndex);
    return true;
  } else if (r->flags & IF_EXPANDED) {  // Left
    ToggleItem(m_selList, m_selIndex);
    return true;
  } else if (ItemRecord *parent = m_selList->parent_item) {
    iSelect(parent->owner, parent->position);
    to = -1;
  }
  if (to >= 0 && to != at) iSelect(rows[size_t(to)].list, rows[size_t(to)].index);
  rows.clear();
  iRows(m_root, &rows);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].list == m_selList && rows[i].index == m_selIndex) iScrollToRow(int32_t(i));
  return true;
}

// Scrolls the least that shows the whole row.
void c_GUIB_TreeView::iScrollToRow(int32_t row) {
  if (!m_vbar) return;
  ScrollInfo si;
  m_vbar->GetScrollInfo(&si);
  const int32_t top = m_topMargin + row * RowHeight(), bottom = top + RowHeight();
  const int32_t view = InnerRect().bottom - InnerRect().top;
  float pos = si.position;
  if (top < pos) pos = float(top);
  if (bottom > pos + view) pos = float(bottom - view);
  if (pos == si.position) return;
  si.position = pos;
  m_vbar->SetScrollInfo(&si);
  m_vbar->GetScrollInfo(&si);
  m_vOffset = -int32_t(si.position);
  MarkDirty();
}

// ---------------------------------------------------------------- scroll bars

void c_GUIB_TreeView::ShowScrollBar(uint32_t which, ScrollInfo *info) {
  const int32_t s = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
  const int32_t w = m_rect.right, h = m_rect.bottom;
  c_GUIB_ScrollBar *&bar = which ? m_hbar : m_vbar;
  const uint32_t shown_bit = which ? kHBarShown : kVBarShown;
  const GUIB_Rect r = which ? GUIB_Rect{0, h - s, w - (m_vbar ? m_vbar->Width() : 0), s}
                            : GUIB_Rect{w - s, 0, s, h - (m_hbar ? m_hbar->Height() : 0)};
  if (info) {
    info->orientation |= which ? SB_HORIZONTAL : SB_VERTICAL;
    if (bar) {
      ScrollInfo now;
      bar->GetScrollInfo(&now);
      info->position = now.position;
      bar->SetScrollInfo(info);
      bar->Move(r.left, r.top);
      bar->Resize(r.right, r.bottom);
    } else {
      bar =
          new c_GUIB_ScrollBar(GUI_ChildParams(this, r.left, r.top, r.right, r.bottom,
                                               iScrollHandler, reinterpret_cast<uintptr_t>(this)));
      bar->SetFrameStyle(bar->GetFrameStyle() | FRAME_BORDER);
      bar->SetScrollInfo(info);
      m_layout |= shown_bit;
    }
  } else if (bar) {
    m_layout &= ~shown_bit;
    bar->Release();
    bar = nullptr;
  }
  // Keep the two bars from overlapping in the corner.
  if (which == 0) {
    if (m_hbar)
      m_hbar->Resize(w - (m_vbar ? m_vbar->Width() : 0), m_hbar->Height());
    else if (m_vbar)
      m_vbar->Resize(m_vbar->Width(), h);
  } else {
    if (m_vbar)
      m_vbar->Resize(m_vbar->Width(), h - (m_hbar ? m_hbar->Height() : 0));
    else if (m_hbar)
      m_hbar->Resize(w, m_hbar->Height());
  }
}

uint32_t c_GUIB_TreeView::iScrollHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg,
                                         uintptr_t a, uintptr_t) {
  if (msg != GN_SCROLLED && msg != GN_SCROLLING) return 0;
  c_GUIB_TreeView *view = reinterpret_cast<c_GUIB_TreeView *>(data);
  if (w == view->m_vbar)
    view->m_vOffset = -int32_t(a);
  else if (w == view->m_hbar)
    view->m_hOffset = -int32_t(a);
  view->MarkDirty();
  return 1;
}

// ---------------------------------------------------------------- paint

void c_GUIB_TreeView::iLayoutBars(bool *bar_added) {
  c_GUIB_Font *font = m_fonts[SLOT_NORMAL];
  const float font_h = float(font->GetLineHeight());
  const int32_t row_h = RowHeight(), indent = Indent();
  int32_t total = 0;
  // Each bar that comes or goes changes the room of the other; a few rounds
  // settle it.
  for (int round = 0; round < 8; ++round) {
    for (int h = 0; h < 4 && (m_layout & kLayoutNeeded); ++h) {
      const GUIB_Rect inner = InnerRect();
      const int32_t inner_w = inner.right - inner.left;
      Walk w = {kMeasure, m_topMargin, font, font->GetLineHeight(), indent, row_h,
                inner,    nullptr,     0};
      iWalk(w, m_root, m_leftMargin + indent, 0);
      int32_t content_w = w.widest + m_leftMargin;
      if (content_w < inner_w) content_w = inner_w;
      if (content_w != m_contentWidth || !m_content ||
          int32_t(m_content->Height()) != m_rect.bottom) {
        if (m_content) m_content->Release();
        m_content = new c_GUIB_Bitmap(content_w + 1, m_rect.bottom);
        m_contentWidth = content_w;
      }
      if (content_w > inner_w) {
        ScrollInfo si = {0, float(content_w + 1), 0, float(inner_w), font_h, 0};
        if (!m_hbar) *bar_added = true;
        ShowScrollBar(1, &si);
        m_layout &= ~kLayoutNeeded;
      } else if (m_hbar) {
        ShowScrollBar(1, nullptr);
        m_hOffset = 0;
        m_lastContentHeight = 0;
      } else {
        m_layout &= ~kLayoutNeeded;
      }
    }
    const GUIB_Rect inner = InnerRect();
    const int32_t inner_h = inner.bottom - inner.top;
    total = int32_t(RowCount()) * row_h + m_topMargin;
    if (total <= inner_h) {
      if (m_vbar) {
        ShowScrollBar(0, nullptr);
        m_vOffset = 0;
        m_layout |= kLayoutNeeded;  // the view became wider
        continue;
      }
    } else {
      ScrollInfo now = {};
      if (m_vbar) m_vbar->GetScrollInfo(&now);
      if (!m_vbar || total != m_lastContentHeight || now.page != float(inner_h)) {
        const bool is_new = !m_vbar;
        ScrollInfo si = {0, float(total + m_topMargin), 0, float(inner_h), font_h, 0};
        ShowScrollBar(0, &si);
        if (is_new) {
          *bar_added = true;
          m_layout |= kLayoutNeeded;
          continue;
        }
      }
    }
    break;
  }
  m_lastContentHeight = total;
  // A bar's range may have shrunk under its position; follow where it is now.
  ScrollInfo si;
  if (m_vbar) {
    m_vbar->GetScrollInfo(&si);
    m_vOffset = -int32_t(si.position);
  }
  if (m_hbar) {
    m_hbar->GetScrollInfo(&si);
    m_hOffset = -int32_t(si.position);
  }
}

void c_GUIB_TreeView::Paint() {
  c_GUIB_Font *font = m_fonts[SLOT_NORMAL];
  if (!m_bitmap || !font) return;
  bool bar_added = false;
  iLayoutBars(&bar_added);

  // The whole view, corner square included, starts in the background colour;
  // the bars are children and are drawn over it.
  m_bitmap->SetColor(m_fill[SLOT_NORMAL]);
  m_bitmap->Fill(m_rect);
  if (m_root && m_root->count && m_content) {
    const GUIB_Rect inner = InnerRect();
    m_content->SetColor(m_fill[SLOT_NORMAL]);
    m_content->Fill(GUIB_Rect{0, 0, int32_t(m_content->Width()), int32_t(m_content->Height())});
    Walk w = {kPaint,   m_topMargin + m_vOffset,
              font,     font->GetLineHeight(),
              Indent(), RowHeight(),
              inner,    m_content,
              0};
    iWalk(w, m_root, m_leftMargin + w.indent, 0);
    m_content->CopyTo(m_bitmap, inner.left, inner.top, -m_hOffset, 0, inner.right - inner.left,
                      inner.bottom - inner.top);
  }
  iDrawBorder();
  Invalidate(m_rect);
}
