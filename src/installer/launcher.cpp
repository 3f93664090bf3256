#include "installer/launcher.h"

#include "installer/state.h"
#include "installer/system.h"
#include "installer/texts.h"
#include "platform/platform.h"
#include "platform/startup.h"

int INST_IsDirectXPresent() {
  return SYS_SystemLibraryPresent("dpnhpast.dll") ? 1 : 0;
}

void INST_PlayGame() {
  char folder[SYS_MAX_PATH];
  SYS_DirPart(folder, sizeof folder, GamePath);
  SYS_Handle process = SYS_StartProgram(GamePath, folder, true);
  if (process) SYS_CloseHandle(process);  // the game is not waited for
  AppRunning = 0;
}

void INST_OpenWebAddress(const char *address) {
  SYS_ShellOpenAsUser(INST_HAND_OVER_NAME, address);
}

void INST_RunAddOns(uintptr_t window) {
  SYS_EnableWindow(window, false);
  if (Installer.online_addon) INST_RunFromStore(INST_GetText(TEXT_ONLINE_SETUP));
  if (Installer.directx_addon) INST_RunFromStore(INST_GetText(TEXT_DIRECTX_SETUP));
  SYS_EnableWindow(window, true);
  SYS_RaiseWindow(window);
}
