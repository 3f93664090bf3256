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

// The menu's answering window for the elevated copy's open requests: a
// message-only window named after the hand-over offer. A message from the
// elevated copy to the menu goes down in integrity, which the system allows;
// the menu opens only web addresses, so no other program can make it start
// one.
const char kOpenClass[] = "SetupOpenRequest";
const ULONG_PTR kOpenRequest = 0x4F50454E;  // 'OPEN'
const DWORD kMaxRequest = 2048;

LRESULT CALLBACK OpenRequestProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg != WM_COPYDATA) return DefWindowProcA(window, msg, wparam, lparam);
  const COPYDATASTRUCT *data = reinterpret_cast<const COPYDATASTRUCT *>(lparam);
  if (!data || data->dwData != kOpenRequest || !data->lpData || data->cbData == 0 ||
      data->cbData > kMaxRequest)
    return 0;
  const char *sent = static_cast<const char *>(data->lpData);
  if (sent[data->cbData - 1] != 0 || !SYS_IsWebAddress(sent)) return 0;
  // The copy waits until this message is answered, and the shell may take
  // long to start a browser: answer first, with the address copied out of
  // the message's data, which is only valid until then.
  char address[kMaxRequest];
  SYS_Copy(address, sent, data->cbData);
  ReplyMessage(1);
  SYS_ShellOpen(address);
  return 1;
}

// Made once, with the first offer, on the thread that then waits handling
// messages; it lives as long as the process.
void AnswerOpenRequests(const char *name) {
  static HWND answering = nullptr;
  if (answering) return;
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = OpenRequestProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kOpenClass;
  RegisterClassA(&window_class);
  answering = CreateWindowExA(0, kOpenClass, name, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              window_class.hInstance, nullptr);
}

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
  // A window that was disabled lost the keyboard focus, and enabling it
  // does not give it back: without this, keys would reach no window.
  SetFocus(W(window));
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
    // The visible one: a menu waiting for its elevated copy hides its own.
    HWND window = nullptr;
    do {
      window = FindWindowExA(nullptr, window, nullptr, window_caption);
    } while (window && !IsWindowVisible(window));
    if (window) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
      return;
    }
    Sleep(50);
  }
}

// The offer is a named event: the system removes it with the last handle.
SYS_Handle SYS_OfferHandOver(const char *name) {
  if (!name) return 0;
  AnswerOpenRequests(name);
  return reinterpret_cast<SYS_Handle>(CreateEventA(nullptr, TRUE, FALSE, name));
}

bool SYS_ShellOpenAsUser(const char *offer_name, const char *address) {
  if (!address) return false;
  HWND menu = offer_name ? FindWindowExA(HWND_MESSAGE, nullptr, kOpenClass, offer_name) : nullptr;
  DWORD owner = 0;
  if (menu) GetWindowThreadProcessId(menu, &owner);
  if (!menu || owner == GetCurrentProcessId()) return SYS_ShellOpen(address);
  // The menu opens it, or nobody: this process may run with raised rights.
  const size_t size = SYS_StrLen(address) + 1;
  if (size > kMaxRequest || !SYS_IsWebAddress(address)) return false;
  COPYDATASTRUCT data = {kOpenRequest, DWORD(size), const_cast<char *>(address)};
  DWORD_PTR opened = 0;
  return SendMessageTimeoutA(menu, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &opened) &&
         opened;
}

bool SYS_HandOverOffered(const char *name) {
  HANDLE offer = name ? OpenEventA(SYNCHRONIZE, FALSE, name) : nullptr;
  if (offer) CloseHandle(offer);
  return offer != nullptr;
}

void SYS_ShowWindow(uintptr_t window, bool show) {
  if (window) ShowWindow(W(window), show ? SW_SHOW : SW_HIDE);
}

bool SYS_GetWindowPosition(uintptr_t window, int32_t *x, int32_t *y) {
  RECT r;
  if (!window || !GetWindowRect(W(window), &r)) return false;
  *x = r.left;
  *y = r.top;
  return true;
}

bool SYS_IsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  const bool ok =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != 0;
  CloseHandle(token);
  return ok && elevation.TokenIsElevated != 0;
}

uint32_t SYS_StartElevated(const char *program, const char *argument, SYS_Handle *process) {
  *process = 0;
  if (!program) return SYS_ELEVATE_FAILED;
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  // The process handle, and no error box of the shell's own: refusing the
  // prompt is an answer, not an error.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = "runas";
  info.lpFile = program;
  info.lpParameters = argument;
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&info))
    return GetLastError() == ERROR_CANCELLED ? SYS_ELEVATE_REFUSED : SYS_ELEVATE_FAILED;
  *process = reinterpret_cast<SYS_Handle>(info.hProcess);
  return SYS_ELEVATE_STARTED;
}

void SYS_EndElevatedInPlace(uint32_t /*exit_code*/) {}
