// Platform layer: the one place where the program meets the operating system.
//
// Everything above this header is portable. Two backends implement it:
// platform_win32.cpp (the real Win32 API) and platform_posix.cpp (a Windows
// machine emulated inside one "machine root" folder: drive_c/, drive_d/, ...,
// a registry file, special folders and a temporary folder). Paths are always
// Windows paths (backslashes, drive letters); the POSIX backend maps them.
//
// Conventions: operations that can fail return a status code (SYS_OK = 0) or
// a handle/pointer that is 0 on failure. Null pointers given to the byte and
// text operations are tolerated and do nothing. Handles are pointer-sized.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------- status codes
// Each call below names the ones it can return.
enum : uint32_t {
  SYS_OK = 0,
  SYS_ALREADY_STARTED = 1,  // SYS_Init: the layer was running already
  SYS_ERR_TIMEOUT = 2,      // a wait timed out
  SYS_ERR_FAILED = 3,       // failure; for KeyedList: key not found
  SYS_ERR_BADARG = 5,       // missing value name, non-digit in a number
  SYS_ERR_NOMEM = 6,        // out of memory
  SYS_ERR_POSITION = 7,     // unknown KeyedList position code
  SYS_ERR_EVENT = 8,        // an event could not be created
  SYS_ERR_EMPTY = 12,       // KeyedList is empty
  SYS_ERR_INDEX = 13,       // index beyond the end of a KeyedList
  SYS_ERR_NOFILE = 14,      // file to delete does not exist
  SYS_ERR_CLOSING = 15,     // KeyedList is being destroyed
  SYS_ERR_OS = 255,         // a registry or file operation failed
  SYS_REG_NO_MORE = 259,    // registry enumeration: the index is past the last name
};

typedef uintptr_t SYS_Handle;  // files, events, mutexes, threads; 0 = invalid
typedef uintptr_t SYS_RegKey;  // open registry key; 0 = invalid

static const size_t SYS_MAX_PATH = 260;  // every path buffer holds this many bytes
// A folder's path holds fewer characters than this (MAX_PATH less room for
// an 8.3 name): the system makes no folder with a longer one.
static const size_t SYS_MAX_FOLDER = 248;
static const uint32_t SYS_INFINITE = 0xFFFFFFFFu;
static const uint64_t SYS_BAD_POS = ~uint64_t(0);  // failed seek or size

// ---------------------------------------------------------------- process
struct SysStartupInfo {
  uint32_t size;         // always sizeof(SysStartupInfo) as the program fills it
  const char *log_name;  // stored, never opened
  uintptr_t instance;    // the program's instance handle
};

// SYS_OK when started; SYS_ALREADY_STARTED when it was (nothing changes).
uint32_t SYS_Init(const SysStartupInfo *info);
void SYS_Shutdown();
bool SYS_IsStarted();

// Milliseconds since some fixed point; wraps like GetTickCount. Tests may
// replace the source with a manual clock; nullptr restores the system clock.
uint32_t SYS_GetTickCount();
void SYS_SetTickSource(uint32_t (*source)());
void SYS_SeedRandom(uint32_t seed);

// Logging: channels with 32-bit codes and module names. Discards everything by
// default; a sink may be installed (tests, debugging). Never fails:
// SYS_LogOpen always gives SYS_OK.
enum : uint32_t {
  SYS_LOG_MAIN = 0x42526272,
  SYS_LOG_BIGFILE = 0x33224422,
  SYS_LOG_GUI = 0x88447373,
  SYS_LOG_GUIB = 0x12341234,
};
uint32_t SYS_LogOpen(uint32_t channel, const char *name);
void SYS_LogClose(uint32_t channel);
void SYS_LogPrint(uint32_t channel, uint32_t level, const char *format, ...);
typedef void (*SYS_LogSink)(uint32_t channel, uint32_t level, const char *line);
void SYS_SetLogSink(SYS_LogSink sink);

// The process's own command line, as the system hands it over, unless a
// replacement was set (tests, the native headless program); 0 clears it.
const char *SYS_GetCommandLine();
void SYS_SetCommandLine(const char *command_line);

// ---------------------------------------------------------------- memory
void *SYS_Alloc(size_t bytes, const char *tag);  // tag names the allocation; ignored
void SYS_Free(void *p);                          // p must not be 0
void SYS_FreeSafe(void *p);                      // ignores 0
void *SYS_GlobalAlloc(size_t bytes);             // zero-filled, with 16 more zero bytes behind
void SYS_GlobalFree(void *p);
void SYS_Fill(void *p, uint32_t unit, size_t count, uint32_t value);  // unit 4, 2 or bytes
void SYS_Zero(void *p, size_t bytes);
void SYS_Copy(void *dst, const void *src, size_t bytes);  // forward copy

// Address ranges reserved once and committed in steps, so that pointers into
// a growing table stay valid. Committed memory reads as zero.
void *SYS_Reserve(size_t bytes);
bool SYS_Commit(void *base, size_t offset, size_t bytes);
void SYS_ReleaseReserved(void *base, size_t bytes);

// ---------------------------------------------------------------- text
size_t SYS_StrLen(const char *s);
// The helpers that write text take the destination's size in bytes, as
// SYS_Format does, and always terminate within it.
// Copy: at most size-1 characters; returns the characters copied. A null src
// writes "".
size_t SYS_StrCopy(char *dst, size_t size, const char *src);
int SYS_StrCmp(const char *a, const char *b);  // -1, 0, 1; unsigned bytes
// ASCII case rules: only 'a' to 'z' and 'A' to 'Z' change case.
inline char SYS_ToUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char SYS_ToLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
size_t SYS_StrUpper(char *s);
size_t SYS_StrLower(char *s);
// The part up to and with the last '\', or after it; returns its length. A
// part that does not fit gives "" and 0, never a cut path.
size_t SYS_DirPart(char *dst, size_t size, const char *path);
size_t SYS_FilePart(char *dst, size_t size, const char *path);
// Whether name matches a wildcard pattern, ignoring ASCII case, under one of
// two rule sets. SYS_WILD_SYSTEM, the system's file search: '*' is any run
// of characters, but one before a '.' stops at the name's last '.'; '?' is
// one character, or none at a '.' or the end; a '.' before '?', '*' or the
// end also matches the end. SYS_WILD_STORE, the store's archive
// enumeration: '*' skips to the name's next '.' without looking back, '?'
// is any one character. Other characters match themselves.
enum SYS_WildRules { SYS_WILD_SYSTEM, SYS_WILD_STORE };
bool SYS_WildMatch(const char *name, const char *pattern, SYS_WildRules rules);
// Whether path is folder itself or lies inside it, ignoring ASCII case. A
// trailing backslash of either is ignored; the root "C:\" holds all of C:.
bool SYS_PathIsInside(const char *path, const char *folder);
// Whether text is a web address: "http://" or "https://" (any case) and more.
bool SYS_IsWebAddress(const char *text);
// Whether a relative name stays inside the folder it is put below: not
// empty, backslashes only, no drive, no empty, "." or ".." part.
bool SYS_IsSafeRelativePath(const char *name);
// printf-style into a buffer of size bytes; always terminated, never overflows.
// Returns the characters written.
int SYS_Format(char *dst, size_t size, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
int SYS_FormatV(char *dst, size_t size, const char *format, va_list args);
// SYS_OK, or SYS_ERR_BADARG (out unchanged) for no text or a non-digit.
uint32_t SYS_StrToInt(int32_t *out, const char *text);
size_t SYS_WStrLen(const uint16_t *s);
size_t SYS_WStrSize(const uint16_t *s);  // bytes: units * 2
size_t SYS_Widen(uint16_t *dst, const char *s);
uint32_t SYS_ReleaseFreeKey(uintptr_t key, uintptr_t value);  // frees key as a pointer; SYS_OK

// ---------------------------------------------------------------- numbers
double SYS_Trunc(double v);
int32_t SYS_Round(double v);  // nearest, halves to even

// ---------------------------------------------------------------- files
// SYS_FileOpenRead flags; the file is always open for reading.
enum : uint32_t {
  SYS_ACCESS_READ = 1,
  SYS_OPEN_SEQUENTIAL = 2,  // sequential-scan hint, not an access right
  SYS_ACCESS_WRITE = 4,
};
SYS_Handle SYS_FileOpenRead(const char *name, uint32_t flags);
SYS_Handle SYS_FileCreate(const char *name);                        // truncates an existing file
uint32_t SYS_FileRead(SYS_Handle f, void *buffer, uint32_t bytes);  // bytes read
// SYS_OK when every byte was written, else SYS_ERR_FAILED.
uint32_t SYS_FileWrite(SYS_Handle f, const void *buffer, uint32_t bytes);
uint64_t SYS_FileSeek(SYS_Handle f, int64_t offset, uint32_t origin = 0);  // 0 set, 1 cur, 2 end
uint64_t SYS_FileSize(SYS_Handle f);
void SYS_FileClose(SYS_Handle f);
// SYS_OK, SYS_ERR_NOFILE when there is no such file, SYS_ERR_OS otherwise.
uint32_t SYS_FileDelete(const char *name);

// File attributes as Windows has them.
enum : uint32_t {
  SYS_ATTR_READONLY = 0x01,
  SYS_ATTR_HIDDEN = 0x02,
  SYS_ATTR_SYSTEM = 0x04,
  SYS_ATTR_DIRECTORY = 0x10,
  SYS_ATTR_ARCHIVE = 0x20,
  SYS_ATTR_NORMAL = 0x80,
  SYS_ATTR_REPARSE_POINT = 0x400,  // a junction or link: removing it must not descend
  SYS_ATTR_INVALID = 0xFFFFFFFFu,
};
uint32_t SYS_GetFileAttributes(const char *path);  // SYS_ATTR_INVALID when missing
// Whether path names a folder; a trailing backslash is allowed.
bool SYS_IsFolder(const char *path);
bool SYS_SetFileAttributes(const char *path, uint32_t attributes);
bool SYS_CreateDirectory(const char *path);  // one level; fewer than SYS_MAX_FOLDER characters
bool SYS_RemoveDirectory(const char *path);  // must be empty
// Replaces to, if present. With to == 0 the file is scheduled for deletion at
// the next restart (MoveFileEx's delay-until-reboot); natively this is recorded.
bool SYS_MoveFile(const char *from, const char *to, bool delay_until_reboot);
// Drops the deletions scheduled for the next restart (SYS_MoveFile with
// to == 0) of the folder and of everything inside it; every other entry
// stays. On Windows these are the PendingFileRenameOperations of the session
// manager, which only administrators may change. false when the record
// could not be read or rewritten.
bool SYS_CancelPendingDeletes(const char *folder);

// File search with the system's own wildcard rules ("*.*" matches every name).
struct SYS_FindData {
  uint32_t attributes;
  uint64_t size;
  char name[SYS_MAX_PATH];
};
SYS_Handle SYS_FindFirst(const char *pattern, SYS_FindData *out);  // 0: nothing
bool SYS_FindNext(SYS_Handle find, SYS_FindData *out);
void SYS_FindClose(SYS_Handle find);

// Folders. Each fills a buffer of size bytes and returns the length, 0 on
// failure or when the buffer is too small (nothing is ever cut short).
size_t SYS_GetCurrentDir(char *buffer, size_t size);  // no trailing backslash except at a root
bool SYS_SetCurrentDir(const char *path);
size_t SYS_GetTempDir(char *buffer, size_t size);    // ends with a backslash
size_t SYS_GetSystemDir(char *buffer, size_t size);  // no trailing backslash
// Makes a new folder in the temporary folder for this run's own files: the
// prefix, then a fresh random part. When the process runs elevated, only
// administrators and SYSTEM may use it, so that no program of the user can
// replace what an elevated run starts from it. Its path, with a trailing
// backslash, like the Get...Dir calls; 0 when no folder could be made.
size_t SYS_CreateRunFolder(const char *prefix, char *buffer, size_t size);
// The current user's desktop and Start-menu programs folders are where the
// installer puts its shortcuts; the others are folders it must never remove.
enum SYS_SpecialFolder {
  SYS_FOLDER_DESKTOP,
  SYS_FOLDER_PROGRAMS,
  SYS_FOLDER_START_MENU,
  SYS_FOLDER_PROFILE,
  SYS_FOLDER_WINDOWS,
  SYS_FOLDER_SYSTEM,
  SYS_FOLDER_PROGRAM_FILES,
  SYS_FOLDER_PROGRAM_FILES_X86,
  SYS_FOLDER_COMMON_DESKTOP,
  SYS_FOLDER_COMMON_PROGRAMS,
  SYS_FOLDER_COMMON_START_MENU,
  SYS_FOLDER_COUNT
};
size_t SYS_GetSpecialFolder(SYS_SpecialFolder which, char *buffer, size_t size);

// Drives: root strings "C:\" back to back, each ended by a zero byte, the list
// ended by an empty string. Returns the bytes needed (including the final
// zero); nothing is written when that exceeds size.
size_t SYS_GetLogicalDrives(char *buffer, size_t size);
enum : uint32_t {
  SYS_DRIVE_UNKNOWN = 0,
  SYS_DRIVE_NO_ROOT = 1,
  SYS_DRIVE_REMOVABLE = 2,
  SYS_DRIVE_FIXED = 3,
  SYS_DRIVE_REMOTE = 4,
  SYS_DRIVE_CDROM = 5,
  SYS_DRIVE_RAMDISK = 6,
};
uint32_t SYS_GetDriveType(const char *root);
// Free space of the drive holding root, in bytes (64-bit). false on failure.
bool SYS_GetDiskFreeSpace(const char *root, uint64_t *free_bytes);

// ---------------------------------------------------------------- synchronisation
// SYS_SetEvent, SYS_ReleaseMutex and SYS_CloseHandle: SYS_OK, or
// SYS_ERR_FAILED (also for handle 0, and for a mutex this thread does not own).
SYS_Handle SYS_CreateEvent();  // manual reset, not signalled
uint32_t SYS_SetEvent(SYS_Handle event, bool on);
SYS_Handle SYS_CreateMutex(bool initially_owned);
uint32_t SYS_ReleaseMutex(SYS_Handle mutex);
// SYS_OK signalled (a mutex: now owned), SYS_ERR_TIMEOUT, SYS_ERR_FAILED for
// anything else. Threads are signalled when they have ended.
uint32_t SYS_WaitResult(SYS_Handle object, uint32_t timeout_ms);
uint32_t SYS_CloseHandle(SYS_Handle h);
// Holds a mutex for a scope: waits for it when made, releases it when gone.
// held() is false when there was no mutex or the wait failed.
class SYS_MutexLock {
 public:
  explicit SYS_MutexLock(SYS_Handle mutex)
      : mutex_(mutex && SYS_WaitResult(mutex, SYS_INFINITE) == SYS_OK ? mutex : 0) {}
  ~SYS_MutexLock() {
    if (mutex_) SYS_ReleaseMutex(mutex_);
  }
  SYS_MutexLock(const SYS_MutexLock &) = delete;
  SYS_MutexLock &operator=(const SYS_MutexLock &) = delete;
  bool held() const { return mutex_ != 0; }

 private:
  SYS_Handle mutex_;
};
typedef uint32_t (*SYS_ThreadFn)(void *arg);
SYS_Handle SYS_CreateThread(SYS_ThreadFn fn, void *arg);  // close when done
void SYS_Sleep(uint32_t ms);

// ---------------------------------------------------------------- registry
// Every path is under HKEY_LOCAL_MACHINE. Key and value names are matched
// without regard to case. The calls that return a status give SYS_OK or
// SYS_ERR_OS, and only where noted another code.
SYS_RegKey SYS_RegCreateKey(const char *path);
SYS_RegKey SYS_RegOpenKey(const char *path);
uint32_t SYS_RegDeleteKey(const char *path);  // no subkeys
uint32_t SYS_RegDeleteKeyTree(const char *path);
// SYS_ERR_BADARG for a missing value name.
uint32_t SYS_RegSetText(SYS_RegKey key, const char *name, const char *text);  // REG_SZ
uint32_t SYS_RegSetDword(SYS_RegKey key, const char *name, uint32_t value);   // REG_DWORD
// Copies the value's data (for text: with its terminator) into buffer; *size
// holds the buffer size on entry and the data size on success.
uint32_t SYS_RegQueryValue(SYS_RegKey key, const char *name, void *buffer, uint32_t *size);
uint32_t SYS_RegDeleteValue(SYS_RegKey key, const char *name);
void SYS_RegCloseKey(SYS_RegKey key);
// Enumeration by index: SYS_OK with the name, SYS_REG_NO_MORE past the end.
uint32_t SYS_RegEnumKey(SYS_RegKey key, uint32_t index, char *name, size_t size);
uint32_t SYS_RegEnumValue(SYS_RegKey key, uint32_t index, char *name, size_t size);

// ---------------------------------------------------------------- dialogs
// The operating system's message box. One call for every box the program
// shows ("Disk error", "Fatal error"). An answerer, when one is set, decides
// instead of the user on either backend (tests script the answers, also in
// wintests.exe); natively, without one, the answer is Cancel for OK/Cancel
// boxes and OK otherwise.
enum : uint32_t { SYS_MB_OK = 0, SYS_MB_OKCANCEL = 1 };
enum : uint32_t { SYS_ID_OK = 1, SYS_ID_CANCEL = 2 };
// owned: owned by the program's window (SYS_SetOwnerWindow) and modal to the
// task (the "Disk error" box), never by another program's window; otherwise
// no owner. The answer is SYS_ID_OK or SYS_ID_CANCEL.
uint32_t SYS_MessageBox(const char *text, const char *caption, uint32_t buttons, bool owned);
// The window that owns the boxes shown with owned set; 0 for none.
void SYS_SetOwnerWindow(uintptr_t window);
typedef uint32_t (*SYS_MessageBoxAnswerer)(const char *text, const char *caption, uint32_t buttons);
void SYS_SetMessageBoxAnswerer(SYS_MessageBoxAnswerer answerer);  // 0 = the system's box again

// COM for the main thread (shortcuts need it); no-ops natively.
bool SYS_ComInit();
void SYS_ComUninit();

// ---------------------------------------------------------------- shell, programs, system
// What the installer asks of the shell and the system. Natively the emulated
// machine answers: shortcuts are real .lnk files in its folders, and every
// program started, address opened and library probed is appended as one
// line to the file "log" of the machine root (see machine.h).

// A shell link. Optional texts may be 0 and are then not set.
struct SYS_Shortcut {
  const char *target;       // program path (or web address)
  const char *description;  // or 0
  const char *working_dir;  // or 0
  const char *icon_file;    // or 0
  int32_t icon_index;
  const char *arguments;  // or 0
};
// Writes the link file (COM must be up on this thread on Windows). true when
// the file was written.
bool SYS_CreateShortcut(const char *link_path, const SYS_Shortcut *link);

// Starts a program with its quoted path as the whole command line, no
// inherited handles, the system's
// default error mode, this process's environment and the given working
// folder. show_window: the window is shown normally (SW_SHOW); otherwise the
// default start-up information is used. The process handle (signalled when
// the program has ended; close it with SYS_CloseHandle), or 0.
SYS_Handle SYS_StartProgram(const char *program, const char *working_dir, bool show_window);
// Asks the shell to open an address (a file, folder or web address) with its
// default handler, maximised. false when the shell refused.
bool SYS_ShellOpen(const char *address);
// The system's platform identifier: 2 (or more) for the NT family, where
// files in use can be deleted at the next restart.
uint32_t SYS_GetPlatformId();
// The user's interface language as a Windows language id (LANGID: the
// primary language in the low 10 bits, e.g. 0x07 German; 0x0407 German
// of Germany).
uint16_t SYS_GetUILanguage();
// true when the library of that file name lies in the system folder and
// loads from there. Never searches the program's or the current folder.
bool SYS_SystemLibraryPresent(const char *file_name);
// Restricts the process's own library search to the system folder where
// the system offers that; a no-op elsewhere. Called once at start-up.
void SYS_RestrictLibrarySearch();

// The program's top-level window while an add-on runs: disable and enable
// it, and bring it to the top of the z-order (not moved or sized) as the
// active window. Window 0 is ignored.
void SYS_EnableWindow(uintptr_t window, bool enable);
void SYS_RaiseWindow(uintptr_t window);

// One running copy of the program per user. SYS_ClaimSingleInstance takes the
// named claim for the rest of the process's life and says whether it got it:
// false when another running process holds it; true again when this process
// asks again (one name per program). The system drops the claim when its
// holder ends in any way, so a crash blocks no later start. On Windows a
// named mutex (name in the Local\ namespace); natively an fcntl lock on a
// file "instance-NAME.lock" in the machine root.
bool SYS_ClaimSingleInstance(const char *name);
// Brings the top-level window of that caption (another process's) to the
// front, restoring it when minimised. Waits up to a second for the window,
// as the other copy may still be starting. Does nothing natively.
void SYS_ActivateOtherInstance(const char *window_caption);

// The menu's offer to hand its pages over to the elevated copy it starts:
// made under a name before the copy starts and withdrawn by closing the
// handle (or by the end of the process, in any way). The copy takes the
// pages only while the offer is there. 0 when it cannot be made. The menu
// also answers the copy's requests to open web addresses
// (SYS_ShellOpenAsUser) while it waits.
SYS_Handle SYS_OfferHandOver(const char *name);
// Opens a web address (http:// or https:// only) with the user's own rights:
// an elevated copy hands it to the menu that offered `offer_name`, which
// opens it; without such a menu this process opens it, as SYS_ShellOpen.
bool SYS_ShellOpenAsUser(const char *offer_name, const char *address);
bool SYS_HandOverOffered(const char *name);

// Hides or shows the program's window (0 is ignored), and reads its top-left
// corner on the screen (false natively and for window 0).
void SYS_ShowWindow(uintptr_t window, bool show);
bool SYS_GetWindowPosition(uintptr_t window, int32_t *x, int32_t *y);

// Waits as SYS_WaitResult does, while the calling thread keeps handling the
// messages sent and posted to its windows, so that a program that sends to
// every window (a broadcast) or a box owned by the window never waits for
// this thread. Keys and clicks that arrive meanwhile are dropped. For the
// GUI thread and for threads, programs and events, not mutexes; natively a
// plain wait.
uint32_t SYS_WaitHandlingMessages(SYS_Handle object, uint32_t timeout_ms);
// The exit code of an ended program started here; 0 natively.
uint32_t SYS_ProcessExitCode(SYS_Handle process);

// ---------------------------------------------------------------- administrator rights
// Whether this process runs with administrator rights (an elevated token).
bool SYS_IsElevated();
enum : uint32_t {
  SYS_ELEVATE_STARTED,   // *process is the elevated program (close it when done)
  SYS_ELEVATE_IN_PLACE,  // natively: this process counts as elevated; run that part here
  SYS_ELEVATE_REFUSED,   // the user refused the request
  SYS_ELEVATE_FAILED,    // it could not be asked
};
// Starts program with one argument with administrator rights, asking the
// user first (the shell's "runas"). Natively no second program runs: the
// emulated machine logs "elevate\t<program>\t<argument>" and answers as
// SYS_SetElevation (machine.h) says; with SYS_ELEVATE_IN_PLACE the caller
// runs the elevated part itself and ends it with SYS_EndElevatedInPlace.
uint32_t SYS_StartElevated(const char *program, const char *argument, SYS_Handle *process);
// Natively: the elevated part run in place ended as an elevated program
// ending with that exit code would ("return\t<code>" in the log); this
// process no longer counts as elevated. A no-op on Windows.
void SYS_EndElevatedInPlace(uint32_t exit_code);
