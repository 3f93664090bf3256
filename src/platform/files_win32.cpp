// Files, folders, file search and drives of the Win32 backend. Paths that do
// not fit the 260-byte buffers are refused here, before the system could
// accept them as long paths.
#include <shlobj.h>
#include <windows.h>
// After windows.h:
#include <ntsecapi.h>
#include <sddl.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

HANDLE H(SYS_Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
SYS_Handle S(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<SYS_Handle>(h);
}

bool Fits(const char *path) {
  return path && SYS_StrLen(path) < SYS_MAX_PATH;
}

DWORD Clamp(size_t size) {
  return size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
}

// For the Get...Directory calls: the length when it fit, else 0.
size_t Fitted(DWORD length, size_t size) {
  return length != 0 && length < size ? length : 0;
}

void Convert(const WIN32_FIND_DATAA &from, SYS_FindData *to) {
  to->attributes = from.dwFileAttributes;
  to->size = (static_cast<uint64_t>(from.nFileSizeHigh) << 32) | from.nFileSizeLow;
  SYS_StrCopy(to->name, sizeof to->name, from.cFileName);
}

}  // namespace

// ---------------------------------------------------------------- files

SYS_Handle SYS_FileOpenRead(const char *name, uint32_t flags) {
  if (!Fits(name)) return 0;
  const DWORD access = GENERIC_READ | ((flags & SYS_ACCESS_WRITE) ? GENERIC_WRITE : 0);
  DWORD attributes =
      FILE_ATTRIBUTE_NORMAL | ((flags & SYS_OPEN_SEQUENTIAL) ? FILE_FLAG_SEQUENTIAL_SCAN : 0);
  return S(CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       attributes, nullptr));
}

SYS_Handle SYS_FileCreate(const char *name) {
  if (!Fits(name)) return 0;
  return S(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
}

uint32_t SYS_FileRead(SYS_Handle f, void *buffer, uint32_t bytes) {
  DWORD done = 0;
  if (!f || !buffer || !ReadFile(H(f), buffer, bytes, &done, nullptr)) return 0;
  return done;
}

uint32_t SYS_FileWrite(SYS_Handle f, const void *buffer, uint32_t bytes) {
  DWORD done = 0;
  if (!f || (!buffer && bytes) || !WriteFile(H(f), buffer, bytes, &done, nullptr) || done != bytes)
    return SYS_ERR_FAILED;
  return SYS_OK;
}

uint64_t SYS_FileSeek(SYS_Handle f, int64_t offset, uint32_t origin) {
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!f || origin > 2 || !SetFilePointerEx(H(f), distance, &position, origin)) return SYS_BAD_POS;
  return static_cast<uint64_t>(position.QuadPart);
}

uint64_t SYS_FileSize(SYS_Handle f) {
  LARGE_INTEGER size;
  if (!f || !GetFileSizeEx(H(f), &size)) return SYS_BAD_POS;
  return static_cast<uint64_t>(size.QuadPart);
}

void SYS_FileClose(SYS_Handle f) {
  if (f) CloseHandle(H(f));
}

uint32_t SYS_FileDelete(const char *name) {
  if (!Fits(name)) return SYS_ERR_OS;
  if (DeleteFileA(name)) return SYS_OK;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? SYS_ERR_NOFILE
                                                                        : SYS_ERR_OS;
}

// ---------------------------------------------------------------- attributes and folders

uint32_t SYS_GetFileAttributes(const char *path) {
  return Fits(path) ? GetFileAttributesA(path) : uint32_t(SYS_ATTR_INVALID);
}

bool SYS_SetFileAttributes(const char *path, uint32_t attributes) {
  return Fits(path) && SetFileAttributesA(path, attributes);
}

bool SYS_CreateDirectory(const char *path) {
  return Fits(path) && CreateDirectoryA(path, nullptr);
}

bool SYS_RemoveDirectory(const char *path) {
  return Fits(path) && RemoveDirectoryA(path);
}

bool SYS_MoveFile(const char *from, const char *to, bool delay_until_reboot) {
  if (!Fits(from) || (to && !Fits(to))) return false;
  if (delay_until_reboot)
    return MoveFileExA(from, to,
                       MOVEFILE_DELAY_UNTIL_REBOOT | (to ? MOVEFILE_REPLACE_EXISTING : 0));
  return to && MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

namespace {

// The path of a PendingFileRenameOperations entry without its "\\??\\"
// prefix, in capitals for comparing.
std::wstring UpperPendingPath(const WCHAR *entry) {
  std::wstring path(entry);
  if (path.compare(0, 4, L"\\??\\") == 0) path.erase(0, 4);
  if (!path.empty()) CharUpperBuffW(&path[0], DWORD(path.size()));
  return path;
}

}  // namespace

bool SYS_CancelPendingDeletes(const char *folder) {
  if (!Fits(folder)) return false;
  WCHAR wide[MAX_PATH];
  int n = MultiByteToWideChar(CP_ACP, 0, folder, -1, wide, MAX_PATH) - 1;
  while (n > 0 && wide[n - 1] == L'\\') wide[--n] = 0;
  if (n <= 0) return false;
  std::wstring inside(wide, size_t(n));
  CharUpperBuffW(&inside[0], DWORD(inside.size()));

  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return false;
  const WCHAR kValue[] = L"PendingFileRenameOperations";
  DWORD type = 0, bytes = 0;
  LONG status = RegQueryValueExW(key, kValue, nullptr, &type, nullptr, &bytes);
  std::vector<WCHAR> data(bytes / sizeof(WCHAR) + 2, 0);  // ended by two zeros whatever it holds
  if (status == ERROR_SUCCESS && type == REG_MULTI_SZ)
    status = RegQueryValueExW(key, kValue, nullptr, &type, reinterpret_cast<BYTE *>(data.data()),
                              &bytes);
  if (status != ERROR_SUCCESS || type != REG_MULTI_SZ) {
    RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND;
  }
  // Pairs of source and target; an empty target deletes the source.
  std::vector<WCHAR> kept;
  bool changed = false;
  for (size_t at = 0; at < data.size() && data[at];) {
    const WCHAR *source = &data[at];
    size_t source_end = at + wcslen(source) + 1;
    if (source_end >= data.size()) break;
    const WCHAR *target = &data[source_end];
    size_t next = source_end + wcslen(target) + 1;
    std::wstring path = UpperPendingPath(source);
    bool drop = !*target && path.compare(0, inside.size(), inside) == 0 &&
                (path.size() == inside.size() || path[inside.size()] == L'\\');
    if (drop)
      changed = true;
    else
      kept.insert(kept.end(), data.begin() + long(at), data.begin() + long(next));
    at = next;
  }
  bool ok = true;
  if (changed && kept.empty()) {
    ok = RegDeleteValueW(key, kValue) == ERROR_SUCCESS;
  } else if (changed) {
    kept.push_back(0);
    ok = RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE *>(kept.data()),
                        DWORD(kept.size() * sizeof(WCHAR))) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return ok;
}

namespace {

bool RandomBits(uint32_t *out) {
  return RtlGenRandom(out, sizeof *out) != FALSE;
}

}  // namespace

size_t SYS_CreateRunFolder(const char *prefix, char *buffer, size_t size) {
  char temp[SYS_MAX_PATH];
  if (!prefix || !SYS_GetTempDir(temp, sizeof temp)) return 0;
  // Elevated: full control for SYSTEM and the administrators only, nothing
  // inherited from the user's temporary folder.
  SECURITY_ATTRIBUTES security = {sizeof security, nullptr, FALSE};
  if (SYS_IsElevated() && !ConvertStringSecurityDescriptorToSecurityDescriptorA(
                              "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", SDDL_REVISION_1,
                              &security.lpSecurityDescriptor, nullptr))
    return 0;
  size_t length = 0;
  for (int tries = 0; tries < 16 && length == 0; tries++) {
    uint32_t bits;
    char path[SYS_MAX_PATH];
    if (!RandomBits(&bits)) break;
    if (SYS_Format(path, sizeof path, "%s%s%08x", temp, prefix, unsigned(bits)) + 2 >=
        int(SYS_MAX_PATH))
      break;
    // An existing folder is never taken over: creating it must succeed.
    if (CreateDirectoryA(path, &security)) {
      length = SYS_StrLen(path) + 1 < size ? SYS_Format(buffer, size, "%s\\", path) : 0;
      if (length == 0) RemoveDirectoryA(path);
    }
  }
  if (security.lpSecurityDescriptor) LocalFree(security.lpSecurityDescriptor);
  return length;
}

// ---------------------------------------------------------------- search

SYS_Handle SYS_FindFirst(const char *pattern, SYS_FindData *out) {
  if (!Fits(pattern) || !out) return 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  Convert(data, out);
  return S(find);
}

bool SYS_FindNext(SYS_Handle find, SYS_FindData *out) {
  WIN32_FIND_DATAA data;
  if (!find || !out || !FindNextFileA(H(find), &data)) return false;
  Convert(data, out);
  return true;
}

void SYS_FindClose(SYS_Handle find) {
  if (find) FindClose(H(find));
}

// ---------------------------------------------------------------- folders

size_t SYS_GetCurrentDir(char *buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  return Fitted(GetCurrentDirectoryA(Clamp(size), buffer), size);
}

bool SYS_SetCurrentDir(const char *path) {
  return Fits(path) && SetCurrentDirectoryA(path);
}

size_t SYS_GetTempDir(char *buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  return Fitted(GetTempPathA(Clamp(size), buffer), size);
}

size_t SYS_GetSystemDir(char *buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  return Fitted(GetSystemDirectoryA(buffer, Clamp(size)), size);
}

size_t SYS_GetSpecialFolder(SYS_SpecialFolder which, char *buffer, size_t size) {
  static const int kCsidl[SYS_FOLDER_COUNT] = {
      CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS,         CSIDL_STARTMENU,
      CSIDL_PROFILE,          CSIDL_WINDOWS,          CSIDL_SYSTEM,
      CSIDL_PROGRAM_FILES,    CSIDL_PROGRAM_FILESX86, CSIDL_COMMON_DESKTOPDIRECTORY,
      CSIDL_COMMON_PROGRAMS,  CSIDL_COMMON_STARTMENU,
  };
  if (which < 0 || which >= SYS_FOLDER_COUNT) return 0;
  int csidl = kCsidl[which];
  LPITEMIDLIST list = nullptr;
  if (!buffer || FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) return 0;
  char path[MAX_PATH];
  BOOL ok = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  size_t length = ok ? SYS_StrLen(path) : 0;
  if (length == 0 || length >= size) return 0;
  return SYS_StrCopy(buffer, size, path);
}

// ---------------------------------------------------------------- drives

size_t SYS_GetLogicalDrives(char *buffer, size_t size) {
  char list[26 * 4 + 1];
  DWORD length = GetLogicalDriveStringsA(sizeof list - 1, list);
  if (length == 0 || length >= sizeof list) return 0;
  size_t needed = length + 1;  // the list's own final zero
  if (buffer && needed <= size) std::memcpy(buffer, list, needed);
  return needed;
}

uint32_t SYS_GetDriveType(const char *root) {
  if (root && !Fits(root)) return SYS_DRIVE_NO_ROOT;
  return GetDriveTypeA(root);
}

bool SYS_GetDiskFreeSpace(const char *root, uint64_t *free_bytes) {
  // The Ex form counts in 64 bits (drives beyond 2 GB) and gives what the
  // calling user may use under disk quotas.
  ULARGE_INTEGER available;
  if (!free_bytes || (root && !Fits(root)) ||
      !GetDiskFreeSpaceExA(root, &available, nullptr, nullptr))
    return false;
  *free_bytes = available.QuadPart;
  return true;
}
