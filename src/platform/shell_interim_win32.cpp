// Interim shell and program calls of the Windows build, until the
// platform's own backend for them replaces this file. Shortcuts are not
// made yet.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/platform.h"

bool SYS_CreateShortcut(const char *, const SYS_Shortcut *) {
  return false;
}

SYS_Handle SYS_StartProgram(const char *program, const char *working_dir, bool show_window) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (show_window) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
  }
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, working_dir, &si, &pi))
    return 0;
  CloseHandle(pi.hThread);
  return reinterpret_cast<SYS_Handle>(pi.hProcess);
}

bool SYS_ShellOpen(const char *address) {
  return reinterpret_cast<INT_PTR>(
             ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED)) > 32;
}

uint32_t SYS_GetPlatformId() {
  return VER_PLATFORM_WIN32_NT;
}

bool SYS_SystemLibraryPresent(const char *file_name) {
  char path[MAX_PATH];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (!file_name || n == 0 || n + 1 + lstrlenA(file_name) >= MAX_PATH) return false;
  lstrcatA(path, "\\");
  lstrcatA(path, file_name);
  HMODULE module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) return false;
  FreeLibrary(module);
  return true;
}

void SYS_RestrictLibrarySearch() {
  typedef BOOL(WINAPI * SetDirs)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  SetDirs set = kernel ? reinterpret_cast<SetDirs>(reinterpret_cast<void *>(
                             GetProcAddress(kernel, "SetDefaultDllDirectories")))
                       : nullptr;
  if (set) set(0x800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
}

void SYS_EnableWindow(uintptr_t window, bool enable) {
  if (window) EnableWindow(reinterpret_cast<HWND>(window), enable);
}

void SYS_RaiseWindow(uintptr_t window) {
  if (!window) return;
  SetWindowPos(reinterpret_cast<HWND>(window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetActiveWindow(reinterpret_cast<HWND>(window));
}
