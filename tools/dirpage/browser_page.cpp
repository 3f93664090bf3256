// The folder-browser page and its icons drawn by code.
#include "browser_page.h"

namespace {

const uint32_t kInk = 0xFF202020;
const uint32_t kFolder = 0xFFE8C050;
const uint32_t kFolderDark = 0xFFB08A2A;
const uint32_t kPaper = 0xFFFFFFFF;

c_GUIB_Bitmap *iBlank(int32_t w, int32_t h) {
  c_GUIB_Bitmap *b = new c_GUIB_Bitmap(w, h);
  b->SetColor(0);
  b->FillArea(0, 0, w, h);
  return b;
}

void iRect(c_GUIB_Bitmap *b, uint32_t color, int32_t l, int32_t t, int32_t r, int32_t bottom) {
  b->SetColor(color);
  b->FillArea(l, t, r, bottom);
}

// A closed folder: a tab on top of a body, both outlined.
c_GUIB_Bitmap *iFolder(bool open) {
  c_GUIB_Bitmap *b = iBlank(16, 13);
  iRect(b, kInk, 0, 0, 7, 3);
  iRect(b, kFolder, 1, 1, 6, 3);
  iRect(b, kInk, 0, 2, 16, 13);
  iRect(b, open ? kFolderDark : kFolder, 1, 3, 15, 12);
  if (open) {
    // The front flap tilted down and forward.
    for (int32_t y = 6; y < 12; ++y) {
      const int32_t shift = (12 - y) / 2;
      iRect(b, kInk, 1 + shift, y, 2 + shift, y + 1);
      iRect(b, kFolder, 2 + shift, y, 15, y + 1);
    }
    iRect(b, kInk, 3, 5, 16, 6);
  }
  return b;
}

c_GUIB_Bitmap *iFile() {
  c_GUIB_Bitmap *b = iBlank(12, 14);
  iRect(b, kInk, 0, 0, 12, 14);
  iRect(b, kPaper, 1, 1, 11, 13);
  iRect(b, kInk, 3, 4, 9, 5);
  iRect(b, kInk, 3, 7, 9, 8);
  iRect(b, kInk, 3, 10, 7, 11);
  return b;
}

// A filled triangle pointing up, down, left or right, 7 x 4 (or 4 x 7).
c_GUIB_Bitmap *iArrow(int dir, uint32_t color) {
  const bool vertical = dir < 2;
  c_GUIB_Bitmap *b = vertical ? iBlank(7, 4) : iBlank(4, 7);
  b->SetColor(color);
  for (int32_t i = 0; i < 4; ++i) {
    // Row i of the triangle counted from its point.
    const int32_t from = 3 - i, to = 3 + i + 1;
    switch (dir) {
      case 0:  // up
        b->FillArea(from, i, to, i + 1);
        break;
      case 1:  // down
        b->FillArea(from, 3 - i, to, 4 - i);
        break;
      case 2:  // left
        b->FillArea(i, from, i + 1, to);
        break;
      default:  // right
        b->FillArea(3 - i, from, 4 - i, to);
        break;
    }
  }
  return b;
}

void iRegister(GuiContext *context, uint32_t id, c_GUIB_Bitmap *b) {
  context->RegisterImage(id, b);
  b->Release();
}

}  // namespace

void RegisterBrowserIcons(GuiContext *context) {
  iRegister(context, TREE_ICON_FOLDER, iFolder(false));
  iRegister(context, TREE_ICON_OPEN_FOLDER, iFolder(true));
  iRegister(context, TREE_ICON_FILE, iFile());
  // Up, down, left, right: normal and pointer-over images.
  for (int dir = 0; dir < 4; ++dir) {
    iRegister(context, 1 + 2 * dir, iArrow(dir, kInk));
    iRegister(context, 2 + 2 * dir, iArrow(dir, 0xFFFFFFFF));
  }
}

BrowserPage::BrowserPage(GuiContext *context, c_GUIB_Widget *parent, std::FILE *log) : m_log(log) {
  RegisterBrowserIcons(context);
  c_GUIB_Panel *bg = new c_GUIB_Panel(GUI_ChildParams(parent, 0, 0, 640, 284));
  bg->SetFrameStyle(0);
  bg->SetBackground(0xFF2D3B1A, nullptr, 0);

  c_GUIB_Label *title = new c_GUIB_Label(GUI_ChildParams(bg, 16, 10, 600, 18));
  title->SetFrameStyle(0);
  title->SetTextColor(SLOT_NORMAL, 0xFFF0F0E0);
  title->SetTextAlign(GUIB_ALIGN_LEFT | GUIB_ALIGN_VCENTER);
  title->SetText("Choose the folder to install into");

  m_browser = new c_GUIB_DirBrowser(
      GUI_ChildParams(bg, 16, 34, 380, 206, iNotify, reinterpret_cast<uintptr_t>(this)));
  c_GUIB_TreeView *tree = m_browser->Tree();
  tree->SetFillColor(SLOT_NORMAL, 0xFFFFFFFF);
  tree->SetFillColor(SLOT_HOVER, 0xFF3060A0);
  tree->SetTextColor(SLOT_NORMAL, 0xFF000000);
  tree->SetTextColor(SLOT_HOVER, 0xFFFFFFFF);

  m_path = new c_GUIB_Label(GUI_ChildParams(bg, 16, 248, 608, 20));
  m_path->SetFrameStyle(0);
  m_path->SetTextColor(SLOT_NORMAL, 0xFFF0F0E0);
  m_path->SetTextAlign(GUIB_ALIGN_LEFT | GUIB_ALIGN_VCENTER);
  m_path->SetText("No folder selected");

  m_browser->FillDrives(DX_UNKNOWN | DX_REMOVABLE | DX_REMOTE | DX_CDROM | DX_RAMDISK, DBF_FOLDERS);
  if (m_log) {
    const ItemList *root = tree->RootList();
    for (uint32_t i = 0; root && i < ListCount(root); ++i) {
      std::fputs("drive ", m_log);
      for (const uint16_t *s = ListItem(root, i)->label; s && *s; ++s)
        std::fputc(char(*s & 0xFF), m_log);
      std::fputc('\n', m_log);
    }
    std::fflush(m_log);
  }
}

uint32_t BrowserPage::iNotify(c_GUIB_Widget *, uintptr_t data, uint32_t msg, uintptr_t a,
                              uintptr_t) {
  BrowserPage *self = reinterpret_cast<BrowserPage *>(data);
  if (msg != GN_DIR_SELECTED) return 0;
  if (!self->m_browser->GetItemPath(reinterpret_cast<const TreeNotice *>(a), self->m_selected))
    return 1;
  self->m_path->SetText(self->m_selected);
  if (self->m_log) {
    std::fprintf(self->m_log, "selected %s\n", self->m_selected);
    std::fflush(self->m_log);
  }
  return 1;
}
