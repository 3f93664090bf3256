// The registry of the Win32 backend: HKEY_LOCAL_MACHINE through advapi32.
#include <windows.h>

#include "platform/platform.h"

namespace {

HKEY K(SYS_RegKey key) {
  return reinterpret_cast<HKEY>(key);
}

uint32_t Status(LONG result) {
  return result == ERROR_SUCCESS ? SYS_OK : SYS_ERR_OS;
}

uint32_t EnumStatus(LONG result) {
  if (result == ERROR_SUCCESS) return SYS_OK;
  return result == ERROR_NO_MORE_ITEMS ? SYS_REG_NO_MORE : SYS_ERR_OS;
}

DWORD Clamp(size_t size) {
  return size > 0x7FFF ? 0x7FFF : static_cast<DWORD>(size);
}

}  // namespace

SYS_RegKey SYS_RegCreateKey(const char *path) {
  HKEY key = nullptr;
  if (!path || RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS) return 0;
  return reinterpret_cast<SYS_RegKey>(key);
}

// MAXIMUM_ALLOWED, as RegOpenKeyA: full access where the user has it, and
// still a readable key where not.
SYS_RegKey SYS_RegOpenKey(const char *path) {
  HKEY key = nullptr;
  if (!path || RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, MAXIMUM_ALLOWED, &key) != ERROR_SUCCESS)
    return 0;
  return reinterpret_cast<SYS_RegKey>(key);
}

uint32_t SYS_RegDeleteKey(const char *path) {
  if (!path || !*path) return SYS_ERR_OS;
  return Status(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path));
}

uint32_t SYS_RegSetText(SYS_RegKey key, const char *name, const char *text) {
  if (!name) return SYS_ERR_BADARG;
  if (!key) return SYS_ERR_OS;
  if (!text) text = "";
  DWORD size = static_cast<DWORD>(SYS_StrLen(text) + 1);
  return Status(
      RegSetValueExA(K(key), name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), size));
}

uint32_t SYS_RegSetDword(SYS_RegKey key, const char *name, uint32_t value) {
  if (!name) return SYS_ERR_BADARG;
  if (!key) return SYS_ERR_OS;
  DWORD data = value;
  return Status(RegSetValueExA(K(key), name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data),
                               sizeof data));
}

uint32_t SYS_RegQueryValue(SYS_RegKey key, const char *name, void *buffer, uint32_t *size) {
  if (!key || !size) return SYS_ERR_OS;
  DWORD type = 0, bytes = *size;
  LONG result = RegQueryValueExA(K(key), name, nullptr, &type, static_cast<BYTE *>(buffer), &bytes);
  if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) *size = bytes;
  return Status(result);
}

uint32_t SYS_RegDeleteValue(SYS_RegKey key, const char *name) {
  if (!key) return SYS_ERR_OS;
  return Status(RegDeleteValueA(K(key), name));
}

void SYS_RegCloseKey(SYS_RegKey key) {
  if (key) RegCloseKey(K(key));
}

uint32_t SYS_RegEnumKey(SYS_RegKey key, uint32_t index, char *name, size_t size) {
  if (!key || !name || size == 0) return SYS_ERR_OS;
  DWORD length = Clamp(size);
  return EnumStatus(
      RegEnumKeyExA(K(key), index, name, &length, nullptr, nullptr, nullptr, nullptr));
}

uint32_t SYS_RegEnumValue(SYS_RegKey key, uint32_t index, char *name, size_t size) {
  if (!key || !name || size == 0) return SYS_ERR_OS;
  DWORD length = Clamp(size);
  return EnumStatus(
      RegEnumValueA(K(key), index, name, &length, nullptr, nullptr, nullptr, nullptr));
}
