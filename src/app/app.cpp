#include "app/app.h"

#include "gui/context.h"
#include "installer/files.h"
#include "installer/texts.h"
#include "platform/startup.h"
#include "store/store.h"

GuiContext *AppGui;

namespace {

const char kLogName[] = "inst.log";
const char kArchiveName[] = "setup.cbf";

// Mounts the store over the program's folder: loose files allowed, archives
// searched first, repeated names removed from enumerations.
bool MountStore() {
  char pattern[16];
  SYS_Format(pattern, sizeof(pattern), "*.%s", "cbf");
  char root[SYS_MAX_PATH];
  SYS_StrCopyN(root, AppPaths.program_folder, AppPaths.folder_length + 1);
  BF_MountParams params = {pattern, root, nullptr, 1, 0, 0};
  return BF_Mount(&params) != 0;
}

// Copies setup.cbf from beside the program into the temporary folder and
// mounts the copy, so the disc may be changed while the installer runs.
bool MountInstallerArchive() {
  char *name = AppPaths.program_folder + AppPaths.folder_length;
  size_t room = sizeof(AppPaths.program_folder) - AppPaths.folder_length;
  TempArchivePath[0] = 0;
  if (SYS_StrLen(kArchiveName) < room) {
    SYS_StrCopy(name, kArchiveName);
    INST_CopyToTemp(AppPaths.program_folder, TempArchivePath);
  }
  if (TempArchivePath[0] && BF_MountArchive(TempArchivePath, 0) == BF_OK) return true;

  char text[SYS_MAX_PATH];
  SYS_Format(text, sizeof(text), "Cannot load installer data file (%s)", kArchiveName);
  SYS_MessageBox(text, "Fatal error", SYS_MB_OK, false);
  return false;
}

}  // namespace

int AppInit(uintptr_t instance) {
  SysStartupInfo info = {sizeof(SysStartupInfo), kLogName, instance};
  if (SYS_Init(&info) != SYS_OK) return 0;
  // Libraries load from the system folder only: a file named like a system
  // library beside the program (on a disc anyone can make) never runs.
  SYS_RestrictLibrarySearch();

  if (!MountStore()) {
    SYS_Shutdown();
    return 0;
  }
  if (!MountInstallerArchive()) {
    BF_Unmount();
    SYS_Shutdown();
    return 0;
  }
  const uint32_t gui_options[] = {1};  // build the default font
  if (GuiStartup(gui_options, &AppGui) != 0) {
    AppGui = nullptr;
    BF_Unmount();
    SYS_Shutdown();
    return 0;
  }
  SYS_LogOpen(SYS_LOG_MAIN, "Main");
  INST_InitTexts();
  if (!SYS_ComInit()) {
    // Only the shortcuts need COM; their own step reports the failure.
    SYS_LogPrint(SYS_LOG_MAIN, 1, "COM could not be initialised");
  }
  return 1;
}

void AppShutdown() {
  SYS_ComUninit();
  INST_FreeTexts();
  GuiShutdown();
  AppGui = nullptr;
  SYS_LogClose(SYS_LOG_MAIN);
  BF_Unmount();
  SYS_Shutdown();
}

int AppMain(uintptr_t instance) {
  if (!ParseCommandLine(SYS_GetCommandLine())) return -1;
  if (!AppInit(instance)) return -1;
  // The installer's window sets AppRunning once it is built; until then the
  // loop has nothing to turn.
  while (AppRunning) {
  }
  AppShutdown();
  return 0;
}
