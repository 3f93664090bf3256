// Where the installer touches the rest of the machine: the default install
// folder, the user's desktop and Start-menu folders, shortcuts, programs run
// out of the store, and the finishing step that writes the shortcuts, the
// application key and the uninstall entry once every file is copied.
// Results are 1 for success and 0 for failure. GUI thread only (shortcuts
// need COM on that thread).
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Registry key of the uninstall entry (under HKEY_LOCAL_MACHINE).
#define INST_UNINSTALL_KEY_BASE "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"

// "<system drive>:\Program Files". out holds SYS_MAX_PATH bytes.
int INST_GetDefaultInstallDir(char *out);
// The folder, a backslash unless present (an empty path gets none), and name.
// 0 when the folder cannot be resolved or the result does not fit.
int INST_GetDesktopPath(const char *name, char *out);
int INST_GetProgramsPath(const char *name, char *out);
// The uninstall entry's key path. 0 when it does not fit.
int INST_GetUninstallKey(char *out);

// Optional texts may be null and are then not set.
int INST_CreateShortcut(const char *link_path, const char *target, const char *description,
                        const char *working_dir, const char *icon_file, int32_t icon_index,
                        const char *arguments);
int INST_CreateDesktopShortcut(const char *link_name, const char *target, const char *description,
                               const char *working_dir, const char *icon_file, int32_t icon_index,
                               const char *arguments);
// Inside the group folder of the Start-menu programs folder, made first.
int INST_CreateProgramsShortcut(const char *link_name, const char *group, const char *target,
                                const char *description, const char *working_dir,
                                const char *icon_file, int32_t icon_index, const char *arguments);

// Copies a store file into the temporary folder, runs it there, waits until
// it ends and deletes the copy. 0 when it could not be copied or started.
int INST_RunFromStore(const char *store_name);

// Shortcuts (as the two shortcut flags say; one that cannot be made is
// skipped), the online-play icon, the application key and the uninstall
// entry. 0 when a key could not be written; failed_key (SYS_MAX_PATH bytes,
// may be null) then names it, below HKEY_LOCAL_MACHINE.
int INST_FinishInstall(char *failed_key = nullptr);
