#include "installer/uninstall.h"

#include "installer/files.h"
#include "installer/scoped.h"
#include "installer/state.h"
#include "installer/system.h"
#include "installer/texts.h"
#include "platform/platform.h"

namespace {

enum class Removal { Refused, Failed, Removed };

// A "." or ".." component or a forward slash could make a harmless-looking
// path name a folder the comparisons below would not recognise.
bool HasAmbiguousParts(const char *path) {
  for (size_t i = 0; path[i]; i++) {
    if (path[i] == '/') return true;
    bool starts = i == 0 || path[i - 1] == '\\';
    if (!starts || path[i] != '.') continue;
    size_t end = path[i + 1] == '.' ? i + 2 : i + 1;
    if (path[end] == 0 || path[end] == '\\') return true;
  }
  return false;
}

// Folders of the system and of the user, which an uninstall entry pointing
// there must never take away, nor any folder above them.
bool IsProtectedFolder(const char *path) {
  for (int which = 0; which < SYS_FOLDER_COUNT; which++) {
    char folder[SYS_MAX_PATH];
    size_t n = SYS_GetSpecialFolder(SYS_SpecialFolder(which), folder, sizeof folder);
    if (n == 0) continue;
    if (folder[n - 1] == '\\') folder[--n] = 0;
    if (SYS_PathIsInside(folder, path)) return true;
  }
  return false;
}

Removal RemoveFolder(const char *path, bool clear_read_only) {
  char clean[SYS_MAX_PATH];
  size_t n = SYS_StrLen(path);
  if (n == 0 || n >= SYS_MAX_PATH) return Removal::Refused;
  SYS_StrCopy(clean, sizeof clean, path);
  if (clean[n - 1] == '\\') clean[--n] = 0;
  if (n == 0 || (n == 1 && clean[0] == '\\') || (n == 2 && clean[1] == ':'))
    return Removal::Refused;
  if (HasAmbiguousParts(clean) || IsProtectedFolder(clean)) return Removal::Refused;
  return INST_DeleteTree(clean, n, clear_read_only) ? Removal::Removed : Removal::Failed;
}

void DeleteValueAndKey(const char *key_path, const char *value) {
  {
    ScopedRegKey key(SYS_RegOpenKey(key_path));
    if (!key.h) return;
    SYS_RegDeleteValue(key.h, value);
  }
  SYS_RegDeleteKey(key_path);
}

// The maker's key (the one above the demo's) goes too when the demo's key
// was all it held; a key that holds anything else stays.
void DeleteParentKeyIfEmpty(const char *key_path) {
  char parent[SYS_MAX_PATH], name[SYS_MAX_PATH];
  size_t n = SYS_DirPart(parent, sizeof parent, key_path);
  if (n < 2) return;
  parent[n - 1] = 0;
  {
    ScopedRegKey key(SYS_RegOpenKey(parent));
    if (!key.h || SYS_RegEnumKey(key.h, 0, name, sizeof name) != SYS_REG_NO_MORE ||
        SYS_RegEnumValue(key.h, 0, name, sizeof name) != SYS_REG_NO_MORE)
      return;
  }
  SYS_RegDeleteKey(parent);
}

// Files in use stay until the next restart; schedule the two the
// uninstaller itself holds open, and the folder.
void ScheduleForRestart(const char *folder) {
  if (SYS_GetPlatformId() < 2) return;
  char path[SYS_MAX_PATH];
  if (INST_JoinPath(path, sizeof path, folder, INST_GetText(TEXT_UNINSTALLER_EXE)))
    SYS_MoveFile(path, nullptr, true);
  if (INST_JoinPath(path, sizeof path, folder, "setup.cbf")) SYS_MoveFile(path, nullptr, true);
  // The folder is named without a trailing separator: the restart-time
  // delete opens it by that exact name.
  size_t n = SYS_StrCopy(path, sizeof path, folder);
  while (n > 3 && path[n - 1] == '\\') path[--n] = 0;
  SYS_MoveFile(path, nullptr, true);
}

}  // namespace

void INST_ReadInstalledState() {
  Installer.installed = 0;
  Installer.menu_mode = INST_MENU_NOT_INSTALLED;
  char key_path[SYS_MAX_PATH];
  if (!INST_GetUninstallKey(key_path)) return;
  ScopedRegKey key(SYS_RegOpenKey(key_path));
  if (!key.h) return;

  // The value is whatever the registry holds: end it ourselves, and accept
  // it only when the game's path fits behind its folder.
  char value[SYS_MAX_PATH];
  uint32_t size = sizeof value - 1;
  if (SYS_RegQueryValue(key.h, "UninstallString", value, &size) != SYS_OK) return;
  value[size] = 0;
  // Written as a quoted command line; earlier installs wrote the bare path.
  char *program = value;
  if (value[0] == '"') {
    program = value + 1;
    char *end = program;
    while (*end && *end != '"') end++;
    *end = 0;
  }
  char folder[SYS_MAX_PATH];
  SYS_DirPart(folder, sizeof folder, program);
  char path[SYS_MAX_PATH];
  if (folder[0] == 0) {
    if (SYS_StrLen(INST_GetText(TEXT_GAME_EXE)) >= sizeof path) return;
    SYS_StrCopy(path, sizeof path, INST_GetText(TEXT_GAME_EXE));
  } else if (!INST_JoinPath(path, sizeof path, folder, INST_GetText(TEXT_GAME_EXE))) {
    return;
  }
  SYS_StrCopy(GamePath, sizeof GamePath, path);
  Installer.installed = 1;
  Installer.menu_mode = INST_MENU_INSTALLED;
}

void INST_Uninstall() {
  char path[SYS_MAX_PATH];
  if (INST_GetProgramsPath(INST_GetText(TEXT_PRODUCT_FOLDER), path)) INST_RemoveFolder(path, true);

  char link[SYS_MAX_PATH];
  if (SYS_StrLen(INST_GetText(TEXT_PRODUCT_LINK)) + 5 <= sizeof link) {
    SYS_Format(link, sizeof link, "%s.lnk", INST_GetText(TEXT_PRODUCT_LINK));
    if (INST_GetDesktopPath(link, path)) SYS_FileDelete(path);
  }

  // The whole uninstall entry goes, with every value it holds.
  char key_path[SYS_MAX_PATH];
  if (INST_GetUninstallKey(key_path)) SYS_RegDeleteKeyTree(key_path);
  DeleteValueAndKey(INST_GetText(TEXT_APP_KEY), INST_GetText(TEXT_INSTALL_DIR_VALUE));
  DeleteParentKeyIfEmpty(INST_GetText(TEXT_APP_KEY));

  char folder[SYS_MAX_PATH];
  SYS_DirPart(folder, sizeof folder, GamePath);
  // A refused folder (a system folder named by a planted entry) gets no
  // scheduled deletions either.
  if (RemoveFolder(folder, true) == Removal::Failed) ScheduleForRestart(folder);
}

int INST_RemoveFolder(const char *path, bool clear_read_only) {
  return RemoveFolder(path, clear_read_only) == Removal::Removed ? 1 : 0;
}

int INST_DeleteTree(char *path, size_t length, bool clear_read_only) {
  static const char kAll[] = "\\*.*";
  if (length + sizeof kAll > SYS_MAX_PATH) return 0;
  int result = 1;
  SYS_StrCopy(path + length, SYS_MAX_PATH - length, kAll);
  {
    ScopedFind find;
    SYS_FindData entry;
    find.h = SYS_FindFirst(path, &entry);
    for (bool more = find.h != 0; more; more = SYS_FindNext(find.h, &entry)) {
      size_t name_length = SYS_StrLen(entry.name);
      bool is_folder = (entry.attributes & SYS_ATTR_DIRECTORY) != 0;
      if (is_folder && entry.name[0] == '.') continue;
      // The entry's own path, or its own "\*.*" below it, would not fit.
      if (length + 1 + name_length + (is_folder ? sizeof kAll : 1) > SYS_MAX_PATH) {
        result = 0;
        continue;
      }
      SYS_StrCopy(path + length + 1, SYS_MAX_PATH - length - 1, entry.name);
      if (clear_read_only && (entry.attributes & SYS_ATTR_READONLY))
        result &= SYS_SetFileAttributes(path, entry.attributes & ~uint32_t(SYS_ATTR_READONLY));
      if (is_folder && (entry.attributes & SYS_ATTR_REPARSE_POINT))
        result &= SYS_RemoveDirectory(path);  // the link only, never its target
      else if (is_folder)
        result &= INST_DeleteTree(path, length + 1 + name_length, clear_read_only);
      else
        result &= SYS_FileDelete(path) == SYS_OK;
    }
  }
  path[length] = 0;
  result &= SYS_RemoveDirectory(path);
  return result;
}
