// c_INST_FolderPage: the install folder, picked in a tree of the machine's
// fixed disks; the product's folder name is always appended. Under the path,
// the space the install needs and the space free on the chosen drive.
#include "installer/files.h"
#include "installer/pages.h"
#include "installer/system.h"
#include "installer/texts.h"

c_INST_FolderPage::c_INST_FolderPage(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t line = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
  m_title = new c_GUIB_Label(GUI_ChildParams(this, 0, 0, w, line));
  m_title->SetTextAlign(GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);
  m_title->SetTextColor(SLOT_NORMAL, INST_TEXT_COLOR);
  m_title->SetText(INST_GetText(TEXT_FOLDER_TITLE));

  m_path = new c_GUIB_Label(GUI_ChildParams(this, 0, line, w, line));
  m_path->SetFillColor(SLOT_BACKGROUND, m_fill[SLOT_FIELD]);
  const GUIB_FontDesc desc = GUI_InterfaceFontDesc("Arial");
  m_font = new c_GUIB_Font();
  if (m_font->CreateFromWindowsFont(&desc, 32, 224) == GUIB_OK)
    m_path->SetFont(m_font, SLOT_NORMAL);

  char folder[SYS_MAX_PATH];
  if (!INST_GetDefaultInstallDir(folder) ||
      !INST_JoinPath(m_chosen, sizeof m_chosen, folder, INST_GetText(TEXT_PRODUCT_FOLDER)))
    SYS_StrCopy(m_chosen, sizeof m_chosen, INST_GetText(TEXT_PRODUCT_FOLDER));
  m_path->SetText(m_chosen);

  m_room = new c_GUIB_Label(GUI_ChildParams(this, 0, 2 * line, w, line));
  m_room->SetTextColor(SLOT_NORMAL, INST_TEXT_COLOR);
  m_need = INST_InstallNeed();
  CheckRoom();

  const int32_t top = 3 * line;
  m_tree = new c_GUIB_DirBrowser(GUI_ChildParams(this, 0, top, w, h > top ? h - top : 0,
                                                 iChildHandler, reinterpret_cast<uintptr_t>(this)));
  m_tree->SetDriveTexts(INST_GetText(TEXT_DRIVE_FREE), INST_GetText(TEXT_DRIVE_FREE_UNKNOWN));
  m_tree->FillDrives(DX_UNKNOWN | DX_REMOVABLE | DX_REMOTE | DX_CDROM | DX_RAMDISK, DBF_FOLDERS);
}

c_INST_FolderPage::~c_INST_FolderPage() {
  if (m_font) m_font->Release();
}

void c_INST_FolderPage::GetPath(char *out) const {
  SYS_StrCopy(out, SYS_MAX_PATH, m_chosen);
}

bool c_INST_FolderPage::CheckRoom() {
  uint64_t free_bytes;
  const bool known = INST_FreeSpace(m_chosen, &free_bytes);
  char text[256];
  INST_FormatRoom(text, sizeof text, m_chosen, m_need, known ? &free_bytes : nullptr);
  m_room->SetText(text);
  return !known || free_bytes >= m_need;
}

uint32_t c_INST_FolderPage::iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg,
                                          uintptr_t a, uintptr_t) {
  c_INST_FolderPage *self = reinterpret_cast<c_INST_FolderPage *>(data);
  if (msg != GN_DIR_SELECTED || w != self->m_tree) return 0;
  char folder[SYS_MAX_PATH];
  char path[SYS_MAX_PATH];
  if (!self->m_tree->GetItemPath(reinterpret_cast<const TreeNotice *>(a), folder)) return 1;
  // Taken only when the system can make the folder.
  if (INST_JoinPath(path, sizeof path, folder, INST_GetText(TEXT_PRODUCT_FOLDER)) &&
      SYS_StrLen(path) < SYS_MAX_FOLDER) {
    SYS_StrCopy(self->m_chosen, sizeof self->m_chosen, path);
    self->m_path->SetText(self->m_chosen);
    self->CheckRoom();
  } else {
    // Not taken, never cut: the user is told why the pick did not count.
    char text[SYS_MAX_PATH + 32];
    SYS_Format(text, sizeof text, INST_GetText(TEXT_FOLDER_TOO_LONG), folder);
    self->m_path->SetText(text);
  }
  return 1;
}
