#include "installer/state.h"

#include "installer/config.h"

InstallerState Installer;
char InstallDir[SYS_MAX_PATH];
char GamePath[SYS_MAX_PATH];

void INST_ResetState() {
  Installer = InstallerState{};
  Installer.menu_mode = INST_MENU_NOT_INSTALLED;
  Installer.online_addon = INSTALLER_ONLINE_ADDON;
  Installer.desktop_shortcut = 1;
  Installer.start_menu_shortcut = 1;
}
