// The uninstaller's side: whether and where the demo is installed (read
// from the uninstall entry alone), the removal of shortcuts, registry
// entries and the install folder, and the guarded recursive folder removal
// below it. Files in use are left for deletion at the next restart.
#pragma once

#include <cstddef>
#include <cstdint>

// Sets Installer.installed, Installer.menu_mode and GamePath.
void INST_ReadInstalledState();
// Removes the Start-menu group, the desktop shortcut, the uninstall entry,
// the application key and the install folder; each step runs whatever the
// others gave.
void INST_Uninstall();

// 0 when the path is refused (empty, a root, a folder of the system or of
// the user, or a folder above one of those), else INST_DeleteTree's result.
int INST_RemoveFolder(const char *path, bool clear_read_only);
// Removes everything below the folder and the folder itself; 1 when all of
// it went. path holds the folder (no trailing backslash) at length and has
// SYS_MAX_PATH bytes; the rest of the buffer is work space. Entries whose
// path would not fit are not removed (0), and folders whose name begins
// with a dot are passed over.
int INST_DeleteTree(char *path, size_t length, bool clear_read_only);
