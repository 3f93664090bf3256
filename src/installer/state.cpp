#include "installer/state.h"

InstallerState Installer;
char InstallDir[SYS_MAX_PATH];
char GamePath[SYS_MAX_PATH];

void INST_ResetState() {
  Installer = InstallerState{};
  Installer.menu_mode = INST_MENU_NOT_INSTALLED;
  Installer.online_addon = 1;
  Installer.desktop_shortcut = 1;
  Installer.start_menu_shortcut = 1;
}
