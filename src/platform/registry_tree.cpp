// Delete key tree: portable over the registry
// operations of the backends.
#include "platform/platform.h"

uint32_t SYS_RegDeleteKeyTree(const char *path) {
  if (!path) return SYS_ERR_OS;
  SYS_RegKey key = SYS_RegOpenKey(path);
  if (!key) return SYS_ERR_OS;

  uint32_t result = SYS_OK;
  char name[SYS_MAX_PATH];
  char sub[SYS_MAX_PATH];
  for (;;) {
    uint32_t r = SYS_RegEnumKey(key, 0, name, sizeof name);
    if (r == SYS_REG_NO_MORE) break;
    // A subkey path that does not fit is refused rather than cut short.
    size_t path_len = SYS_StrLen(path);
    const char *separator = path_len > 0 && path[path_len - 1] == '\\' ? "" : "\\";
    size_t len = path_len + SYS_StrLen(separator) + SYS_StrLen(name);
    if (r != SYS_OK || len >= sizeof sub) {
      result = SYS_ERR_OS;
      break;
    }
    SYS_Format(sub, sizeof sub, "%s%s%s", path, separator, name);
    if (SYS_RegDeleteKeyTree(sub) != SYS_OK) {
      result = SYS_ERR_OS;
      break;
    }
  }
  while (result == SYS_OK) {
    uint32_t r = SYS_RegEnumValue(key, 0, name, sizeof name);
    if (r == SYS_REG_NO_MORE) break;
    if (r != SYS_OK || SYS_RegDeleteValue(key, name) != SYS_OK) result = SYS_ERR_OS;
  }
  SYS_RegCloseKey(key);
  if (SYS_RegDeleteKey(path) != SYS_OK) return SYS_ERR_OS;
  return result;
}
