// c_INST_ItemPage: texts, titles, check boxes and links spread over the page.
#include "installer/launcher.h"
#include "installer/pages.h"

c_GUIB_Font *InstallerLargeFont;

namespace {

int32_t iWrappedHeight(c_GUIB_Font *font, const char *text, int32_t width) {
  if (!font || !text || !text[0]) return 2;
  return font->MeasureWrapped(text, width > 1 ? width : 1) + 2;
}

}  // namespace

std::vector<ItemBox> INST_LayoutItems(const PageItem *items, uint32_t count, int32_t width,
                                      int32_t height, c_GUIB_Font *font, int32_t mark) {
  if (count > INST_MAX_ITEMS) count = INST_MAX_ITEMS;
  std::vector<ItemBox> boxes(count);
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t m = items[i].margin ? items[i].margin : width / 10;
    const int32_t wrap = width - 2 * m;
    ItemBox &b = boxes[i];
    b.x = m;
    b.width = wrap;
    switch (items[i].type) {
      case ITEM_TEXT:
      case ITEM_TITLE:
        b.height = iWrappedHeight(font, items[i].text, wrap);
        b.x = m - 2;  // labels keep two pixels of their own on each side
        b.width = wrap + 4;
        break;
      case ITEM_CHECKBOX:
        b.height = iWrappedHeight(font, items[i].text, wrap - mark * 3 / 2);
        break;
      case ITEM_LINK:
        b.height = iWrappedHeight(font, items[i].text, wrap);
        break;
      default:
        b.height = 0;
        break;
    }
  }
  if (count == 0) return boxes;

  // Pinned ends take their places first; the others share what is left.
  uint32_t first = 0, last = count;
  int32_t top = 0, bottom = height;
  if (items[0].pinned) {
    boxes[0].y = 0;
    top = boxes[0].height + 1;
    first = 1;
  }
  if (count >= 2 && items[count - 1].pinned) {
    boxes[count - 1].y = height - boxes[count - 1].height + 1;
    bottom = boxes[count - 1].y;
    last = count - 1;
  }
  auto joined = [&](uint32_t i) {  // a check box right after a check box: no gap between
    return i > 0 && items[i].type == ITEM_CHECKBOX && items[i - 1].type == ITEM_CHECKBOX;
  };
  int32_t total = 0, gaps = 1;
  for (uint32_t i = first; i < last; ++i) {
    total += boxes[i].height;
    if (!joined(i)) ++gaps;
  }
  int32_t gap = (bottom - top - total) / gaps;
  if (gap < 0) gap = 0;
  int32_t y = top;
  for (uint32_t i = first; i < last; ++i) {
    if (!joined(i)) y += gap;
    boxes[i].y = y;
    y += boxes[i].height;
  }
  return boxes;
}

c_INST_ItemPage::c_INST_ItemPage(const WidgetCreateParams &p, const PageItem *items, uint32_t count)
    : c_GUIB_Widget(p) {
  if (count > INST_MAX_ITEMS) count = INST_MAX_ITEMS;
  const int32_t mark = m_context ? int32_t(m_context->Word(GP_MARK_SIZE)) : 10;
  const std::vector<ItemBox> boxes =
      INST_LayoutItems(items, count, m_rect.right, m_rect.bottom, m_fonts[SLOT_NORMAL], mark);
  const uintptr_t self = reinterpret_cast<uintptr_t>(this);
  m_widgets.assign(count, nullptr);
  for (uint32_t i = 0; i < count; ++i) {
    const ItemBox &b = boxes[i];
    const PageItem &item = items[i];
    const WidgetCreateParams cp =
        GUI_ChildParams(this, b.x, b.y, b.width, b.height, iChildHandler, self);
    c_GUIB_Widget *w = nullptr;
    if (item.type == ITEM_TEXT || item.type == ITEM_TITLE) {
      c_GUIB_Label *label = new c_GUIB_Label(cp);
      label->SetFrameStyle(0);
      label->SetFillColor(SLOT_BACKGROUND, 0);
      label->SetTextColor(SLOT_NORMAL, INST_TEXT_COLOR);
      label->SetTextAlign(c_GUIB_Label::ALIGN_WRAP);
      if (item.type == ITEM_TITLE && InstallerLargeFont)
        label->SetFont(InstallerLargeFont, SLOT_NORMAL);
      w = label;
    } else if (item.type == ITEM_CHECKBOX) {
      c_GUIB_CheckBox *box = new c_GUIB_CheckBox(cp);
      box->SetFrameStyle(0);
      box->SetFillColor(SLOT_BACKGROUND, 0);
      box->SetTextColor(SLOT_HOVER, INST_TEXT_COLOR);
      box->SetTextColor(SLOT_NORMAL, 0xFFF0F0A6);
      uint32_t *flag = static_cast<uint32_t *>(item.data);
      if (flag) box->SetCheck(*flag);
      m_checkBoxes.emplace_back(box, flag);
      w = box;
    } else if (item.type == ITEM_LINK) {
      c_GUIB_Button *link = new c_GUIB_Button(cp);
      link->SetFrameStyle(0);
      link->SetFlags(WF_FOCUSABLE);
      for (uint32_t slot : {SLOT_NORMAL, SLOT_HOVER, SLOT_PRESSED}) link->SetFillColor(slot, 0);
      link->SetTextColor(SLOT_NORMAL, m_textColor[SLOT_ACCENT]);
      link->SetTextColor(SLOT_PRESSED, m_textColor[SLOT_ACCENT]);
      // Text colour 1 of the page is not seeded: the hovered link text takes
      // whatever the page holds there.
      link->SetTextColor(SLOT_HOVER, m_textColor[SLOT_BACKGROUND]);
      m_links.emplace_back(link, static_cast<const char *>(item.data));
      w = link;
    }
    if (w) w->SetText(item.text);
    m_widgets[i] = w;
  }
  MarkDirty();
}

void c_INST_ItemPage::Paint() {
  if (!m_bitmap) return;
  if (m_frameStyle & FRAME_BORDER) {
    m_bitmap->SetColor(m_fill[SLOT_BACKGROUND]);
    m_bitmap->FillArea(1, 1, m_rect.right - 1, m_rect.bottom - 1);
    iDrawBorder();
  } else {
    m_bitmap->SetColor(m_fill[SLOT_BACKGROUND]);
    m_bitmap->Fill(m_rect);
  }
  iInvalidateAll();
}

uint32_t c_INST_ItemPage::iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                        uintptr_t) {
  c_INST_ItemPage *self = reinterpret_cast<c_INST_ItemPage *>(data);
  if (msg == GN_CLICKED) {
    for (auto &link : self->m_links)
      if (link.first == w) {
        if (link.second) INST_OpenWebAddress(link.second);
        return 1;
      }
  } else if (msg == GN_CHECK_CHANGED) {
    for (auto &box : self->m_checkBoxes)
      if (box.first == w) {
        if (box.second) *box.second = uint32_t(a);
        return 1;
      }
  }
  return 0;
}
