// The installer's system side on a real Windows (Wine) machine, for the
// end-to-end script:
//   inst_tool.exe finish INSTALL_DIR   the finishing step (shortcuts, keys)
//   Uninstall.exe uninstall            the uninstall, run from the install
//                                      folder with setup.cbf held open
//   inst_tool.exe probe                prints the DirectX check's result
//   inst_tool.exe bareload             loads dpnhpast.dll by its bare name
// The store is mounted over the program's folder, as setup.exe does.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "installer/launcher.h"
#include "installer/state.h"
#include "installer/system.h"
#include "installer/texts.h"
#include "installer/uninstall.h"
#include "platform/startup.h"
#include "store/store.h"

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  const char *command = argv[1];
  if (std::strcmp(command, "bareload") == 0) {
    std::printf("bare load: %s\n", LoadLibraryA("dpnhpast.dll") ? "loaded" : "not found");
    return 0;
  }
  SysStartupInfo info = {sizeof info, "inst.log", 0};
  if (SYS_Init(&info) != SYS_OK || !ParseCommandLine(SYS_GetCommandLine())) return 1;
  SYS_RestrictLibrarySearch();
  char root[SYS_MAX_PATH];
  SYS_StrCopy(root, AppPaths.folder_length + 1, AppPaths.program_folder);
  BF_MountParams params = {"*.cbf", root, nullptr, 1, 0, 0};
  if (!BF_Mount(&params)) return 1;
  SYS_ComInit();
  INST_InitTexts();
  INST_ResetState();

  int rc = 0;
  if (std::strcmp(command, "probe") == 0) {
    std::printf("DirectX present: %d\n", INST_IsDirectXPresent());
  } else if (std::strcmp(command, "finish") == 0 && argc == 3) {
    SYS_StrCopy(InstallDir, sizeof InstallDir, argv[2]);
    SYS_Format(GamePath, sizeof GamePath, "%s\\%s", InstallDir, INST_GetText(400));
    Installer.installed_bytes = 123456;
    rc = INST_FinishInstall() ? 0 : 1;
  } else if (std::strcmp(command, "uninstall") == 0) {
    // The running uninstaller and its archive copy are in use.
    char archive[SYS_MAX_PATH];
    SYS_Format(archive, sizeof archive, "%ssetup.cbf", root);
    SYS_Handle held = SYS_FileOpenRead(archive, SYS_ACCESS_READ);
    INST_ReadInstalledState();
    std::printf("program: %s; archive held: %s; installed: %u, game: %s\n", AppPaths.program_path,
                held ? "yes" : "no", Installer.installed, GamePath);
    if (Installer.installed) INST_Uninstall();
    if (held) SYS_FileClose(held);
    rc = Installer.installed ? 0 : 1;
  } else {
    rc = 2;
  }
  INST_FreeTexts();
  SYS_ComUninit();
  BF_Unmount();
  SYS_Shutdown();
  return rc;
}
