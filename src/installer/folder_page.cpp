// c_INST_FolderPage: the install folder, picked in a tree of the machine's
// fixed disks; the product's folder name is always appended.
#include "installer/files.h"
#include "installer/pages.h"
#include "installer/system.h"
#include "installer/texts.h"

c_INST_FolderPage::c_INST_FolderPage(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t line = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
  m_title = new c_GUIB_Label(GUI_ChildParams(this, 0, 0, w, line));
  m_title->SetTextAlign(GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);
  m_title->SetTextColor(0, INST_TEXT_COLOR);
  m_title->SetText(INST_GetText(50));

  m_path = new c_GUIB_Label(GUI_ChildParams(this, 0, line, w, line));
  m_path->SetFillColor(1, m_fill[2]);
  GUIB_FontDesc desc = {};
  desc.height = -11;
  desc.weight = 400;
  desc.out_precision = 3;
  desc.clip_precision = 2;
  desc.quality = 1;
  desc.pitch_and_family = 0x22;
  SYS_StrCopyN(desc.face_name, "Arial", sizeof desc.face_name);
  m_font = new c_GUIB_Font();
  if (m_font->CreateFromWindowsFont(&desc, 32, 224) == GUIB_OK) m_path->SetFont(m_font, 0);

  char folder[SYS_MAX_PATH];
  if (!INST_GetDefaultInstallDir(folder) ||
      !INST_JoinPath(m_chosen, sizeof m_chosen, folder, INST_GetText(405)))
    SYS_StrCopyN(m_chosen, INST_GetText(405), sizeof m_chosen);
  m_path->SetText(m_chosen);

  const int32_t top = 2 * line;
  m_tree = new c_GUIB_DirBrowser(GUI_ChildParams(this, 0, top, w, h > top ? h - top : 0,
                                                 iChildHandler, reinterpret_cast<uintptr_t>(this)));
  m_tree->FillDrives(DX_UNKNOWN | DX_REMOVABLE | DX_REMOTE | DX_CDROM | DX_RAMDISK, DBF_FOLDERS);
}

c_INST_FolderPage::~c_INST_FolderPage() {
  if (m_font) m_font->Release();
}

void c_INST_FolderPage::GetPath(char *out) const {
  SYS_StrCopyN(out, m_chosen, SYS_MAX_PATH);
}

uint32_t c_INST_FolderPage::iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg,
                                          uintptr_t a, uintptr_t) {
  c_INST_FolderPage *self = reinterpret_cast<c_INST_FolderPage *>(data);
  if (msg != GN_DIR_SELECTED || w != self->m_tree) return 0;
  char folder[SYS_MAX_PATH];
  char path[SYS_MAX_PATH];
  // A path that would not fit with the product's folder name is not taken.
  if (self->m_tree->GetItemPath(reinterpret_cast<const TreeNotice *>(a), folder) &&
      INST_JoinPath(path, sizeof path, folder, INST_GetText(405))) {
    SYS_StrCopy(self->m_chosen, path);
    self->m_path->SetText(self->m_chosen);
  }
  return 1;
}
