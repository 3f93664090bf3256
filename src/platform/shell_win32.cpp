// Shell, programs and system of the Win32 backend: shell links through the
// shell's link object, process start, the shell's "open", the system
// version, the probe for a library in the system folder, and the window
// calls used while an add-on runs.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include "platform/com_ref_win32.h"
#include "platform/platform.h"

namespace {

HWND W(uintptr_t window) {
  return reinterpret_cast<HWND>(window);
}

// A function of kernel32 that older systems lack; null there.
template <typename Fn>
Fn Kernel32Function(const char *name) {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  FARPROC proc = kernel32 ? GetProcAddress(kernel32, name) : nullptr;
  // Through void(*)(), which converts to any function type without warning.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

const DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

bool SYS_CreateShortcut(const char *link_path, const SYS_Shortcut *link) {
  if (!link_path || !link || !link->target) return false;
  // The link path as the 16-bit text the persist interface takes; a path
  // that does not fit the 260 units is refused rather than cut.
  WCHAR wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide, MAX_PATH)) return false;

  ComRef<IShellLinkA> shell_link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void **>(&shell_link.p))))
    return false;
  shell_link.p->SetPath(link->target);
  if (link->description) shell_link.p->SetDescription(link->description);
  if (link->working_dir) shell_link.p->SetWorkingDirectory(link->working_dir);
  if (link->icon_file) shell_link.p->SetIconLocation(link->icon_file, link->icon_index);
  if (link->arguments) shell_link.p->SetArguments(link->arguments);

  ComRef<IPersistFile> file;
  if (FAILED(shell_link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file.p))))
    return false;
  // Only a saved link counts: a missing shortcut must not pass for made.
  return SUCCEEDED(file.p->Save(wide, TRUE));
}

SYS_Handle SYS_StartProgram(const char *program, const char *working_dir, bool show_window) {
  if (!program) return 0;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (show_window) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
  }
  // The program reads its own path from the first token of its command
  // line: quoted, or a folder with spaces would end that token early. The
  // system may write into this buffer.
  char command_line[SYS_MAX_PATH + 3];
  if (SYS_StrLen(program) >= SYS_MAX_PATH) return 0;
  SYS_Format(command_line, sizeof command_line, "\"%s\"", program);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, command_line, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                      nullptr, working_dir, &startup, &process))
    return 0;
  CloseHandle(process.hThread);
  return reinterpret_cast<SYS_Handle>(process.hProcess);
}

bool SYS_ShellOpen(const char *address) {
  if (!address) return false;
  HINSTANCE result = ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

uint32_t SYS_GetPlatformId() {
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record the system expects");
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  // Every system this program is built for belongs to the NT family, so a
  // failed query answers that.
  if (!GetVersionExA(&version)) return VER_PLATFORM_WIN32_NT;
  return version.dwPlatformId;
}

uint16_t SYS_GetUILanguage() {
  return GetUserDefaultUILanguage();
}

bool SYS_SystemLibraryPresent(const char *file_name) {
  if (!file_name || !*file_name) return false;
  for (const char *p = file_name; *p; p++)
    if (*p == '\\' || *p == '/' || *p == ':') return false;
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || length + 1 + SYS_StrLen(file_name) >= MAX_PATH)
    return false;
  SYS_Format(path + length, MAX_PATH - length, "\\%s", file_name);
  // A full path, so the library search never runs: a library planted beside
  // the program or in the current folder is never loaded, let alone run.
  HMODULE library = LoadLibraryExA(path, nullptr, 0);
  if (!library) return false;
  FreeLibrary(library);
  return true;
}

void SYS_RestrictLibrarySearch() {
  typedef BOOL(WINAPI * SetDefaultFn)(DWORD);
  typedef BOOL(WINAPI * SetDirectoryFn)(LPCSTR);
  if (SetDefaultFn set_default = Kernel32Function<SetDefaultFn>("SetDefaultDllDirectories"))
    set_default(kSearchSystem32);
  // "" takes the current folder out of the search.
  if (SetDirectoryFn set_directory = Kernel32Function<SetDirectoryFn>("SetDllDirectoryA"))
    set_directory("");
}

void SYS_EnableWindow(uintptr_t window, bool enable) {
  if (window) EnableWindow(W(window), enable ? TRUE : FALSE);
}

void SYS_RaiseWindow(uintptr_t window) {
  if (!window) return;
  SetWindowPos(W(window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  SetActiveWindow(W(window));
}

bool SYS_ClaimSingleInstance(const char *name) {
  // The claim is the process's: a second call from it succeeds. The handle
  // is never closed; the system releases the mutex when this process ends.
  static HANDLE claimed = nullptr;
  if (claimed) return true;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  const DWORD error = GetLastError();
  if (mutex && error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  claimed = mutex;
  // Access denied: the mutex exists, made by a copy running with other rights.
  return mutex || error != ERROR_ACCESS_DENIED;
}

void SYS_ActivateOtherInstance(const char *window_caption) {
  for (int tries = 0; tries < 20; ++tries) {
    if (HWND window = FindWindowA(nullptr, window_caption)) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
      return;
    }
    Sleep(50);
  }
}
