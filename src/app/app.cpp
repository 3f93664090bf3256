#include "app/app.h"

#include "gui/context.h"
#include "installer/config.h"
#include "installer/files.h"
#include "installer/pages.h"
#include "installer/texts.h"
#include "installer/wizard.h"
#include "platform/startup.h"
#include "store/store.h"

GuiContext *AppGui;

namespace {

const char kLogName[] = "inst.log";
const char kArchiveName[] = "setup.cbf";
// Shared by setup.exe and Uninstall.exe, per logged-in user.
const char kInstanceName[] = "Local\\" INSTALLER_IDENTITY;

// Mounts the store over the program's folder: loose files allowed, archives
// searched first, repeated names removed from enumerations.
bool MountStore() {
  char pattern[16];
  SYS_Format(pattern, sizeof(pattern), "*.%s", "cbf");
  char root[SYS_MAX_PATH];
  SYS_StrCopy(root, AppPaths.folder_length + 1, AppPaths.program_folder);
  BF_MountParams params = {pattern, root, nullptr, 1, 0, 0};
  return BF_Mount(&params) == BF_MOUNTED;
}

// Copies setup.cbf from beside the program into this run's folder and
// mounts the copy, so the disc may be changed while the installer runs.
bool MountInstallerArchive() {
  char *name = AppPaths.program_folder + AppPaths.folder_length;
  size_t room = sizeof(AppPaths.program_folder) - AppPaths.folder_length;
  TempArchivePath[0] = 0;
  if (SYS_StrLen(kArchiveName) < room) {
    SYS_StrCopy(name, room, kArchiveName);
    INST_CopyToTemp(AppPaths.program_folder, TempArchivePath);
  }
  if (TempArchivePath[0] && BF_MountArchive(TempArchivePath, 0) == BF_OK) return true;

  // The texts are built in: the user's language needs no archive.
  INST_InitTexts();
  char text[SYS_MAX_PATH];
  SYS_Format(text, sizeof(text), INST_GetText(TEXT_DATA_FILE_MISSING), kArchiveName);
  SYS_MessageBox(text, INST_GetText(TEXT_FATAL_ERROR), SYS_MB_OK, false);
  INST_FreeTexts();
  return false;
}

}  // namespace

int AppInit(uintptr_t instance) {
  SysStartupInfo info = {sizeof(SysStartupInfo), kLogName, instance};
  if (SYS_Init(&info) != SYS_OK) return 0;

  if (!MountStore()) {
    SYS_Shutdown();
    return 0;
  }
  if (!MountInstallerArchive()) {
    BF_Unmount();
    INST_CloseRunFolder();
    SYS_Shutdown();
    return 0;
  }
  const uint32_t gui_options[] = {1};  // build the default font
  if (GuiStartup(gui_options, &AppGui) != GUI_OK) {
    AppGui = nullptr;
    BF_Unmount();
    INST_CloseRunFolder();
    SYS_Shutdown();
    return 0;
  }
  SYS_LogOpen(SYS_LOG_MAIN, "Main");
  INST_InitTexts();
  BF_SetDiskErrorTexts(INST_GetText(TEXT_DISK_ERROR), INST_GetText(TEXT_INSTALL_DIR_FAILED),
                       INST_GetText(TEXT_FILE_ACCESS_FAILED));
  if (!SYS_ComInit()) {
    // Only the shortcuts need COM; their own step reports the failure.
    SYS_LogPrint(SYS_LOG_MAIN, 1, "COM could not be initialised");
  }
  return 1;
}

void AppShutdown() {
  SYS_SetOwnerWindow(0);
  SYS_ComUninit();
  INST_FreeTexts();
  if (InstallerDesktop) InstallerDesktop->Release();
  InstallerDesktop = nullptr;
  if (InstallerLargeFont) InstallerLargeFont->Release();
  InstallerLargeFont = nullptr;
  GuiShutdown();
  AppGui = nullptr;
  SYS_LogClose(SYS_LOG_MAIN);
  BF_Unmount();
  INST_CloseRunFolder();  // after the unmount, which closes the archive copy in it
  SYS_Shutdown();
}

bool AppLoopPass() {
  if (!AppRunning) return false;
  if (!InstallerDesktop || !InstallerDesktop->PumpOnce()) AppRunning = 0;
  return AppRunning != 0;
}

int AppMain(uintptr_t instance, AppLoopFn loop, void *loop_data) {
  SYS_RestrictLibrarySearch();
  if (!ParseCommandLine(SYS_GetCommandLine())) return -1;
  // One copy at a time: a second start shows the running one and ends
  // before it touches the store or the temporary folder. The elevated copy
  // is the exception: the menu that started it holds the claim, offers it
  // the pages and waits for it.
  const bool copy = INST_TakeHandOver();
  if (!SYS_ClaimSingleInstance(kInstanceName) && !copy) {
    SYS_ActivateOtherInstance(INST_WindowCaption());
    return 0;
  }
  if (!AppInit(instance)) return -1;
  int result = 0;
  if (INST_InitGUI(AppGui)) {
    INST_StartWizard();
    if (loop) {
      result = loop(loop_data);
    } else {
      // Between passes the loop sleeps until the next tick is due or input
      // arrives, so an idle installer costs almost nothing.
      while (AppLoopPass()) InstallerDesktop->WaitForWork();
      result = int(INST_ExitCode());
    }
    AppRunning = 0;
  } else {
    result = -1;
  }
  if (ExitCleanupList) KeyedList_Destroy(ExitCleanupList, true, false);
  ExitCleanupList = nullptr;
  AppShutdown();
  return result;
}
