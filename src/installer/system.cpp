#include "installer/system.h"

#include "installer/config.h"
#include "installer/files.h"
#include "installer/scoped.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "platform/startup.h"

namespace {

int SpecialPath(SYS_SpecialFolder which, const char *name, char *out) {
  char folder[SYS_MAX_PATH];
  if (SYS_GetSpecialFolder(which, folder, sizeof folder) == 0) return 0;
  return INST_JoinPath(out, SYS_MAX_PATH, folder, name) ? 1 : 0;
}

// text id followed by ".lnk".
bool LinkName(int32_t id, char *out) {
  const char *text = INST_GetText(id);
  if (SYS_StrLen(text) + 5 > SYS_MAX_PATH) return false;
  SYS_Format(out, SYS_MAX_PATH, "%s.lnk", text);
  return true;
}

// The entry the system's program list shows, and runs to uninstall. false
// when the key or one of its values could not be written.
bool WriteUninstallEntry(const char *key_path, const char *uninstaller) {
  ScopedRegKey key(SYS_RegCreateKey(key_path));
  if (!key.h) return false;
  // The list runs this value as a command line: quoted, so that a folder
  // with spaces is not cut at its first space.
  char command[SYS_MAX_PATH + 4];
  SYS_Format(command, sizeof command, "\"%s\"", uninstaller);
  uint32_t failed = SYS_RegSetText(key.h, "DisplayName", INST_GetText(TEXT_PRODUCT_NAME));
  failed |= SYS_RegSetText(key.h, "UninstallString", command);
  // What the list shows beside the name: an icon, the version, the maker,
  // the folder and the size, and one Uninstall button.
  SYS_Format(command, sizeof command, "\"%s\",0", uninstaller);
  failed |= SYS_RegSetText(key.h, "DisplayIcon", command);
  failed |= SYS_RegSetText(key.h, "DisplayVersion", INSTALLER_VERSION);
  failed |= SYS_RegSetText(key.h, "Publisher", INSTALLER_PUBLISHER);
  failed |= SYS_RegSetText(key.h, "InstallLocation", InstallDir);
  uint64_t kib = (Installer.installed_bytes + 1023) / 1024;
  failed |=
      SYS_RegSetDword(key.h, "EstimatedSize", kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(kib));
  failed |= SYS_RegSetDword(key.h, "NoModify", 1);
  failed |= SYS_RegSetDword(key.h, "NoRepair", 1);
  return failed == SYS_OK;
}

int Failed(const char *key_path, char *failed_key) {
  if (failed_key) SYS_StrCopy(failed_key, SYS_MAX_PATH, key_path);
  return 0;
}

}  // namespace

int INST_GetDefaultInstallDir(char *out) {
  char system[SYS_MAX_PATH];
  char drive = SYS_GetSystemDir(system, sizeof system) ? system[0] : 'C';
  SYS_Format(out, SYS_MAX_PATH, "%c%s", drive, ":\\Program Files");
  return 1;
}

int INST_GetDesktopPath(const char *name, char *out) {
  return SpecialPath(SYS_FOLDER_DESKTOP, name, out);
}

int INST_GetProgramsPath(const char *name, char *out) {
  return SpecialPath(SYS_FOLDER_PROGRAMS, name, out);
}

int INST_GetUninstallKey(char *out) {
  const char *name = INST_GetText(TEXT_PRODUCT_LINK);
  if (SYS_StrLen(INST_UNINSTALL_KEY_BASE) + SYS_StrLen(name) >= SYS_MAX_PATH) return 0;
  SYS_Format(out, SYS_MAX_PATH, "%s%s", INST_UNINSTALL_KEY_BASE, name);
  return 1;
}

int INST_CreateShortcut(const char *link_path, const char *target, const char *description,
                        const char *working_dir, const char *icon_file, int32_t icon_index,
                        const char *arguments) {
  SYS_Shortcut link = {target, description, working_dir, icon_file, icon_index, arguments};
  return SYS_CreateShortcut(link_path, &link) ? 1 : 0;
}

int INST_CreateDesktopShortcut(const char *link_name, const char *target, const char *description,
                               const char *working_dir, const char *icon_file, int32_t icon_index,
                               const char *arguments) {
  char path[SYS_MAX_PATH];
  if (!INST_GetDesktopPath(link_name, path)) return 0;
  return INST_CreateShortcut(path, target, description, working_dir, icon_file, icon_index,
                             arguments);
}

int INST_CreateProgramsShortcut(const char *link_name, const char *group, const char *target,
                                const char *description, const char *working_dir,
                                const char *icon_file, int32_t icon_index, const char *arguments) {
  char folder[SYS_MAX_PATH];
  char path[SYS_MAX_PATH];
  if (!INST_GetProgramsPath(group, folder)) return 0;
  if (!SYS_CreateDirectory(folder) && !SYS_IsFolder(folder)) return 0;
  if (!INST_JoinPath(path, sizeof path, folder, link_name)) return 0;
  return INST_CreateShortcut(path, target, description, working_dir, icon_file, icon_index,
                             arguments);
}

int INST_RunFromStore(const char *store_name) {
  char copy[SYS_MAX_PATH];
  if (!INST_CopyToTemp(store_name, copy)) return 0;
  char folder[SYS_MAX_PATH];
  SYS_DirPart(folder, sizeof folder, copy);
  SYS_Handle process = SYS_StartProgram(copy, folder, false);
  if (!process) return 0;
  // Set-up programs broadcast to every window (WM_SETTINGCHANGE) and wait
  // for the answers: ours must keep answering meanwhile.
  SYS_WaitHandlingMessages(process, SYS_INFINITE);
  SYS_CloseHandle(process);
  SYS_FileDelete(copy);
  return 1;
}

int INST_FinishInstall(char *failed_key) {
  char game_link[SYS_MAX_PATH], uninstall_link[SYS_MAX_PATH], online_link[SYS_MAX_PATH];
  char uninstaller[SYS_MAX_PATH];
  bool names = LinkName(TEXT_PRODUCT_LINK, game_link) &&
               LinkName(TEXT_UNINSTALL_LINK, uninstall_link) &&
               LinkName(TEXT_ONLINE_LINK, online_link);
  bool have_uninstaller = INST_JoinPath(uninstaller, sizeof uninstaller, InstallDir,
                                        INST_GetText(TEXT_UNINSTALLER_EXE));

  // An uninstall of this folder before the last restart left its files
  // for deletion at the next one; the new install's must stay.
  SYS_CancelPendingDeletes(InstallDir);

  if (names && Installer.desktop_shortcut == 1)
    INST_CreateDesktopShortcut(game_link, GamePath, INST_GetText(TEXT_PRODUCT_NAME), InstallDir,
                               GamePath, 0, nullptr);
  if (names && have_uninstaller && Installer.start_menu_shortcut == 1) {
    const char *group = INST_GetText(TEXT_PRODUCT_FOLDER);
    INST_CreateProgramsShortcut(game_link, group, GamePath, INST_GetText(TEXT_PRODUCT_NAME),
                                InstallDir, GamePath, 0, nullptr);
    INST_CreateProgramsShortcut(uninstall_link, group, uninstaller, nullptr, InstallDir,
                                uninstaller, 0, nullptr);
    char icon_name[SYS_MAX_PATH], icon[SYS_MAX_PATH];
    SYS_FilePart(icon_name, sizeof icon_name, INST_GetText(TEXT_ONLINE_ICON));
    if (INSTALLER_ONLINE_ADDON && INST_JoinPath(icon, sizeof icon, InstallDir, icon_name)) {
      INST_CopyStoreFile(icon, INST_GetText(TEXT_ONLINE_ICON));
      INST_CreateProgramsShortcut(online_link, group, INST_GetText(TEXT_ONLINE_ADDRESS), nullptr,
                                  InstallDir, icon, 0, nullptr);
    }
  }

  // Without its keys the install could not be found or uninstalled: that
  // is a failed install, and the key is named.
  {
    ScopedRegKey key(SYS_RegCreateKey(INST_GetText(TEXT_APP_KEY)));
    if (!key.h || SYS_RegSetText(key.h, INST_GetText(TEXT_INSTALL_DIR_VALUE), InstallDir) != SYS_OK)
      return Failed(INST_GetText(TEXT_APP_KEY), failed_key);
  }
  char key_path[SYS_MAX_PATH];
  if (!have_uninstaller || !INST_GetUninstallKey(key_path))
    return Failed(INST_UNINSTALL_KEY_BASE, failed_key);
  if (!WriteUninstallEntry(key_path, uninstaller)) return Failed(key_path, failed_key);
  return 1;
}
