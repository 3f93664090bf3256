// c_INST_ProgressPage: starts the install engine on the first volume and,
// on every tick, shows the file being copied and the two percentages, then
// reports the end of the install to the wizard.
#include "installer/pages.h"
#include "installer/texts.h"

c_INST_ProgressPage::c_INST_ProgressPage(const WidgetCreateParams &p) : c_GUIB_Panel(p) {
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t line = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
  const int32_t m = w / 10;
  m_title = iLabel(0, 2 * line, INST_GetText(TEXT_PROGRESS_TITLE));
  int32_t y = (h - 5 * line) / 2;
  m_file = iLabel(y, line, nullptr);
  y += line;
  m_fileBar = new c_GUIB_ProgressBar(GUI_ChildParams(this, m, y, w - 2 * m, line));
  m_fileBar->SetValue(0, 0);
  y += 2 * line;
  m_totalLabel = iLabel(y, line, INST_GetText(TEXT_PROGRESS_TOTAL));
  y += line;
  m_totalBar = new c_GUIB_ProgressBar(GUI_ChildParams(this, m, y, w - 2 * m, line));
  m_totalBar->SetValue(0, 0);

  m_engineReady = INST_EngineInit(&m_engine);
  if (m_engineReady) StartVolume();
}

c_INST_ProgressPage::~c_INST_ProgressPage() {
  // The page may go while the worker still copies into its fields (the
  // window closed during the install): stop the worker first.
  INST_EndWorker(true);
  INST_EngineRelease(&m_engine);
}

c_GUIB_Label *c_INST_ProgressPage::iLabel(int32_t y, int32_t height, const char *text) {
  const int32_t m = m_rect.right / 10;
  c_GUIB_Label *label = new c_GUIB_Label(GUI_ChildParams(this, m, y, m_rect.right - 2 * m, height));
  label->SetTextColor(SLOT_NORMAL, INST_TEXT_COLOR);
  label->SetFrameStyle(0);
  label->SetFillColor(SLOT_BACKGROUND, 0);
  label->SetTextAlign(c_GUIB_Label::ALIGN_WRAP);
  label->SetText(text);
  return label;
}

void c_INST_ProgressPage::StartVolume() {
  if (INST_StartCurrentVolume(&m_engine)) return;
  if (m_engine.volume <= 1) {
    // Nothing to copy: say which archive was looked for, where, and what
    // was wrong with it, and wait for Cancel.
    char folder[SYS_MAX_PATH], name[SYS_MAX_PATH], text[2 * SYS_MAX_PATH];
    SYS_DirPart(folder, sizeof folder, m_engine.archive);
    SYS_FilePart(name, sizeof name, m_engine.archive);
    // An archive that is there but cannot be mounted is damaged (cut short,
    // say): a new copy of the disc is what helps, not a search for it.
    if (SYS_GetFileAttributes(m_engine.archive) == SYS_ATTR_INVALID)
      SYS_Format(text, sizeof text, INST_GetText(TEXT_ENTRY_NOT_FOUND), name, folder);
    else
      SYS_Format(text, sizeof text, INST_GetText(TEXT_ENTRY_DAMAGED), name, folder);
    m_file->SetText(text);
    return;
  }
  c_GUIB_Widget *desktop = GetDesktop();
  if (!desktop) return;
  c_GUIB_MessageBox *box = ShowMessageBox(desktop, INST_GetText(TEXT_INSERT_DISK),
                                          INST_GetText(TEXT_DISK_1 - 1 + int32_t(m_engine.volume)),
                                          MBB_OK | MBB_CANCEL, nullptr, INST_MessageBoxButtons());
  if (box) box->AddHandler(iVolumePrompt, reinterpret_cast<uintptr_t>(this));
  desktop->Release();
}

uint32_t c_INST_ProgressPage::iVolumePrompt(c_GUIB_Widget *, uintptr_t data, uint32_t msg,
                                            uintptr_t a, uintptr_t) {
  if (msg != GN_MSGBOX_RESULT) return 0;
  c_INST_ProgressPage *self = reinterpret_cast<c_INST_ProgressPage *>(data);
  if (a == MBB_OK)
    self->StartVolume();
  else
    self->CallHandlers(INST_NOTIFY_CANCELLED, 0, 0);
  return 1;
}

uintptr_t c_INST_ProgressPage::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  if (msg != GM_TICK || !m_engineReady) return c_GUIB_Panel::HandleMessage(msg, a, b);
  InstallProgress progress;
  INST_ReadProgress(&m_engine, &progress);
  if (progress.status != INSTALL_IDLE) {
    // Only what changed is repainted: the tick comes every 20 ms.
    if (SYS_StrCmp(progress.current_name, m_shownName) != 0) {
      SYS_StrCopy(m_shownName, sizeof m_shownName, progress.current_name);
      m_file->SetText(m_shownName);
    }
    const int32_t file = int32_t(INST_Percent(progress.current_done, progress.current_size));
    const int32_t total = int32_t(INST_Percent(progress.total_done, progress.total_size));
    if (file != m_fileBar->GetValue()) m_fileBar->SetValue(file, 0);
    if (total != m_totalBar->GetValue()) m_totalBar->SetValue(total, 0);
  }
  const uint32_t notification = INST_EngineStep(&m_engine);
  if (notification) CallHandlers(notification, 0, 0);
  return 1;
}
