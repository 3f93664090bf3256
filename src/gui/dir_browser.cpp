// c_GUIB_DirBrowser: drives, lazy folder listings and item paths.
#include "gui/dir_browser.h"

#include <vector>

namespace {

const uint32_t kFolderListFlags = IL_SORTED | IL_GROUPED | IL_MODE_DATA;
const int kMaxDepth = SYS_MAX_PATH;  // every level adds at least one character

// A path being built in a fixed buffer; refuses, rather than cuts, what
// does not fit.
struct PathBuf {
  char text[SYS_MAX_PATH];
  size_t len = 0;
  bool ok = true;

  PathBuf() { text[0] = 0; }
  bool EndsWithSlash() const { return len && text[len - 1] == '\\'; }
  void Add(const char *s) {
    for (; ok && *s; ++s) AddChar(*s);
  }
  void AddChar(char c) {
    if (!ok) return;
    if (len + 1 >= sizeof text) {
      ok = false;
      return;
    }
    text[len++] = c;
    text[len] = 0;
  }
  // Low byte of each 16-bit character.
  void Add16(const uint16_t *s) {
    for (; ok && s && *s; ++s) AddChar(char(*s & 0xFF));
  }
};

// Each byte widened to a 16-bit character.
void iWiden(const char *s, uint16_t *out, size_t size) {
  size_t i = 0;
  for (; s[i] && i + 1 < size; ++i) out[i] = uint8_t(s[i]);
  out[i] = 0;
}

// The records from the root level down to the item at (list, index); false
// when the chain is broken or deeper than any path can be.
bool iChain(const ItemList *list, uint32_t index, std::vector<const ItemRecord *> *chain) {
  const ItemRecord *r = ListItem(list, index);
  for (int depth = 0; r; ++depth) {
    if (depth > kMaxDepth) return false;
    chain->insert(chain->begin(), r);
    r = r->owner ? r->owner->parent_item : nullptr;
  }
  return !chain->empty();
}

const char *iDriveSuffix(uint32_t type) {
  switch (type) {
    case SYS_DRIVE_REMOVABLE:
      return " (Removable)";
    case SYS_DRIVE_REMOTE:
      return " (Network Disk)";
    case SYS_DRIVE_CDROM:
      return " (CD ROM)";
    case SYS_DRIVE_RAMDISK:
      return " (RAM Disk)";
    default:
      return "";
  }
}

}  // namespace

c_GUIB_DirBrowser::c_GUIB_DirBrowser(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  // The tree does all the drawing.
  m_flags |= WF_NO_BITMAP;
  iReleaseBitmap();
  m_tree = new c_GUIB_TreeView(GUI_ChildParams(this, 0, 0, p.width, p.height, iTreeHandler,
                                               reinterpret_cast<uintptr_t>(this)));
  m_tree->CreateRootList(1024, 8, 0, this);
}

void c_GUIB_DirBrowser::SetDriveTexts(const char *free_format, const char *unknown) {
  if (free_format) m_freeFormat = free_format;
  if (unknown) m_unknown = unknown;
}

void c_GUIB_DirBrowser::FillDrives(uint32_t mask, uint32_t filter) {
  m_tree->ClearItems();
  m_tree->CreateRootList(1024, 8, 0, this);
  m_filter = filter;

  const size_t need = SYS_GetLogicalDrives(nullptr, 0);
  if (need == 0) return;
  std::vector<char> drives(need + 1, 0);
  // A drive added between the two calls makes the list longer: read nothing.
  if (SYS_GetLogicalDrives(drives.data(), need) > need) return;
  m_tree->SetFrameStyle(m_tree->GetFrameStyle() | FRAME_BORDER);

  size_t at = 0;
  if (drives[0] == 0) {
    if (need < 2 || drives[1] == 0) return;
    at = 1;
  }
  while (at < need && drives[at]) {
    const char *root = &drives[at];
    const size_t root_len = SYS_StrLen(root);
    at += root_len + 1;
    const uint32_t type = SYS_GetDriveType(root);
    if (type == SYS_DRIVE_NO_ROOT || type > SYS_DRIVE_RAMDISK) continue;
    const uint32_t exclusion = type == SYS_DRIVE_UNKNOWN ? DX_UNKNOWN : 1u << (type - 1);
    if (mask & exclusion) continue;
    char suffix[64];
    uint64_t free_bytes = 0;
    if (type == SYS_DRIVE_UNKNOWN)
      SYS_StrCopy(suffix, sizeof suffix, m_unknown.c_str());
    else if (type != SYS_DRIVE_FIXED)
      SYS_StrCopy(suffix, sizeof suffix, iDriveSuffix(type));
    else if (SYS_GetDiskFreeSpace(root, &free_bytes))
      SYS_Format(suffix, sizeof suffix, m_freeFormat.c_str(), uint32_t(free_bytes >> 20));
    else
      SYS_StrCopy(suffix, sizeof suffix, m_unknown.c_str());  // no made-up figure
    PathBuf label;
    label.Add(root);
    label.Add(suffix);
    uint16_t label16[SYS_MAX_PATH], data16[SYS_MAX_PATH];
    iWiden(label.text, label16, SYS_MAX_PATH);
    iWiden(root, data16, SYS_MAX_PATH);
    m_tree->InsertItem(nullptr, label16, data16, 0, nullptr, 0, IF_EXPANDABLE);
  }
}

uint32_t c_GUIB_DirBrowser::SetTreeFont(c_GUIB_Font *font, uint32_t slot) {
  if (slot >= 9) return GUI_ERR_BAD_ID;
  const uint32_t rc = m_tree->SetFont(font, slot);
  m_tree->InvalidateLayout();
  return rc;
}

size_t c_GUIB_DirBrowser::GetItemPath(const TreeNotice *notice, char *path, size_t size) const {
  if (!path || size == 0) return 0;
  path[0] = 0;
  std::vector<const ItemRecord *> chain;
  if (!notice || !iChain(notice->list, notice->index, &chain)) return 0;
  PathBuf p;
  for (const ItemRecord *r : chain) {
    p.Add16(r->data);
    if (!p.EndsWithSlash()) p.AddChar('\\');
  }
  if (!p.ok) return 0;
  if (p.EndsWithSlash()) p.text[--p.len] = 0;
  if (p.len + 1 > size) return 0;
  SYS_StrCopy(path, size, p.text);
  return p.len;
}

bool c_GUIB_DirBrowser::iListable(uint32_t attributes, const char *name) const {
  if ((attributes & SYS_ATTR_SYSTEM) && !(m_filter & DBF_SYSTEM)) return false;
  if ((attributes & SYS_ATTR_HIDDEN) && !(m_filter & DBF_HIDDEN)) return false;
  if (!(attributes & SYS_ATTR_DIRECTORY)) return (m_filter & DBF_FILES) != 0;
  return (m_filter & DBF_FOLDERS) && name[0] != '.' && name[0] != '\\' && name[0] != '/';
}

bool c_GUIB_DirBrowser::HasSubfolders(const char *folder, const char *name) const {
  PathBuf pattern;
  pattern.Add(folder);
  if (pattern.EndsWithSlash()) pattern.text[--pattern.len] = 0;
  pattern.AddChar('\\');
  pattern.Add(name);
  pattern.Add("\\*.*");
  if (!pattern.ok) return false;
  SYS_FindData fd;
  SYS_Handle find = SYS_FindFirst(pattern.text, &fd);
  if (!find) return false;
  bool found = false;
  do found = iListable(fd.attributes, fd.name);
  while (!found && SYS_FindNext(find, &fd));
  SYS_FindClose(find);
  return found;
}

void c_GUIB_DirBrowser::EnumerateFolder(ItemList *list, uint32_t index) {
  ItemRecord *item = ListItem(list, index);
  if (!item || !item->child) return;
  ItemList *children = item->child;
  SetListParams(children, 2048, 64, kFolderListFlags, 0);
  if (children->count) return;  // each folder is read once

  std::vector<const ItemRecord *> chain;
  if (!iChain(list, index, &chain)) return;
  PathBuf folder;
  for (const ItemRecord *r : chain) {
    if (folder.len && !folder.EndsWithSlash()) folder.AddChar('\\');
    folder.Add16(r->data);
  }
  PathBuf pattern = folder;
  if (!pattern.EndsWithSlash()) pattern.AddChar('\\');
  pattern.Add("*.*");
  if (!pattern.ok) return;  // too deep: unreadable

  SYS_FindData fd;
  SYS_Handle find = SYS_FindFirst(pattern.text, &fd);
  if (!find) return;
  uint16_t name16[SYS_MAX_PATH];
  do {
    if (!iListable(fd.attributes, fd.name)) continue;
    iWiden(fd.name, name16, SYS_MAX_PATH);
    if (fd.attributes & SYS_ATTR_DIRECTORY) {
      const uint32_t flags =
          IF_EXPANDABLE | (HasSubfolders(folder.text, fd.name) ? 0u : uint32_t(IF_LEAF));
      m_tree->InsertItem(children, name16, name16, 0, nullptr, 0, flags);
    } else {
      m_tree->InsertItem(children, name16, name16, 0, nullptr, 1, 0);
    }
  } while (SYS_FindNext(find, &fd));
  SYS_FindClose(find);
}

uint32_t c_GUIB_DirBrowser::iTreeHandler(c_GUIB_Widget *, uintptr_t data, uint32_t msg, uintptr_t a,
                                         uintptr_t b) {
  c_GUIB_DirBrowser *self = reinterpret_cast<c_GUIB_DirBrowser *>(data);
  // Argument a is a TreeNotice only for the tree's own codes.
  if (msg < GN_TREE_COLLAPSED || msg > GN_TREE_SELECTED) return 0;
  TreeNotice *n = reinterpret_cast<TreeNotice *>(a);
  if (!n || !ListItem(n->list, n->index)) return 0;
  switch (msg) {
    case GN_TREE_COLLAPSED:
      return 1;
    case GN_TREE_EXPANDING: {
      if (!ListItem(n->list, n->index)->child) {
        n->answer = -1;
        return 0;
      }
      self->EnumerateFolder(n->list, n->index);
      n->answer = ListItem(n->list, n->index)->child->count == 0 ? 1 : 0;
      return 1;
    }
    case GN_TREE_SELECTED:
      return uint32_t(self->CallHandlers(GN_DIR_SELECTED, a, b));
    default:
      return uint32_t(self->CallHandlers(GN_DIR_DESELECTED, a, b));
  }
}

uint32_t c_GUIB_DirBrowser::Describe(GUI_Description *d) {
  const TreeNotice n = {m_tree ? m_tree->SelectedList() : nullptr,
                        m_tree ? m_tree->SelectedIndex() : 0, -1};
  char path[SYS_MAX_PATH];
  if (GetItemPath(&n, path, sizeof path))
    for (const char *c = path; *c; ++c) d->value += char16_t(uint8_t(*c));
  return d->role = ACC_TREE;
}
