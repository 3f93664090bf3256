// The installer's process-wide state: what the wizard's pages chose and what
// the registry says is installed. The wizard writes it; the finishing step,
// the uninstall, the engine and the launcher read it. GUI thread only.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Menu modes: what the menu offers.
enum : uint32_t { INST_MENU_NOT_INSTALLED = 1, INST_MENU_INSTALLED = 2 };

struct InstallerState {
  uint32_t installed;            // 1: the demo is installed (Play and Uninstall possible)
  uint32_t menu_mode;            // INST_MENU_*
  uint32_t directx_missing;      // 1: the DirectX page is shown
  uint32_t online_addon;         // 1: run the online-play set-up after the install
  uint32_t directx_addon;        // 1: run the DirectX set-up (no page sets it)
  uint32_t desktop_shortcut;     // 1: make the desktop shortcut
  uint32_t start_menu_shortcut;  // 1: make the Start-menu group
  uint32_t remove_confirmation;  // the uninstall page's check box
  uint64_t installed_bytes;      // what the last install copied (uninstall entry's size)
};

extern InstallerState Installer;
extern char InstallDir[SYS_MAX_PATH];  // the install folder chosen on the folder page
extern char GamePath[SYS_MAX_PATH];    // install folder, a backslash, the game's file name

// The defaults of a fresh wizard: both shortcuts and the online add-on on.
void INST_ResetState();
