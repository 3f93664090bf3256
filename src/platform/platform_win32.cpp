// Win32 backend: process hooks, reserved memory, events, mutexes, threads,
// the message box and COM. Files, folders and drives are in files_win32.cpp,
// the registry in registry_win32.cpp.
#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <new>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {

HANDLE H(SYS_Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
SYS_Handle S(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<SYS_Handle>(h);
}

struct ThreadStart {
  SYS_ThreadFn fn;
  void *arg;
};

DWORD WINAPI ThreadMain(LPVOID p) {
  ThreadStart start = *static_cast<ThreadStart *>(p);
  SYS_Free(p);
  return start.fn(start.arg);
}

// Mutexes are only ever shared between threads of this process, so they are
// critical sections, not kernel mutexes: a kernel mutex costs a call into the
// system (under Wine, a round trip to its server) on every wait and release,
// and an install takes the store's and the progress mutex thousands of times.
// The owner and depth give a kernel mutex's rules: recursive, released only
// by its owner. Their handles are the object's address with the low bit set;
// a kernel object's handle never has it (its low two bits are always zero,
// left to applications as tag bits). Pseudo-handles are never stored here.
struct Mutex {
  CRITICAL_SECTION section;
  // Thread id, 0 when free. Written only by the owner; another thread reads
  // it to refuse a release, and can never see its own id there.
  std::atomic<DWORD> owner{0};
  uint32_t depth = 0;
};

Mutex *AsMutex(SYS_Handle h) {
  return h & 1 ? reinterpret_cast<Mutex *>(h & ~SYS_Handle(1)) : nullptr;
}

void Acquired(Mutex *m) {
  m->owner.store(GetCurrentThreadId(), std::memory_order_relaxed);
  m->depth++;
}

uint32_t WaitMutex(Mutex *m, uint32_t timeout_ms) {
  if (timeout_ms == SYS_INFINITE) {
    EnterCriticalSection(&m->section);
    Acquired(m);
    return SYS_OK;
  }
  const DWORD start = GetTickCount();
  while (!TryEnterCriticalSection(&m->section)) {
    if (GetTickCount() - start >= timeout_ms) return SYS_ERR_TIMEOUT;
    Sleep(1);
  }
  Acquired(m);
  return SYS_OK;
}

}  // namespace

// ---------------------------------------------------------------- process hooks

uint32_t Backend_SystemTicks() {
  return GetTickCount();
}

const char *Backend_CommandLine() {
  return GetCommandLineA();
}

uint32_t Backend_MessageBox(const char *text, const char *caption, uint32_t buttons,
                            uintptr_t owner) {
  UINT type = buttons == SYS_MB_OKCANCEL ? MB_OKCANCEL : MB_OK;
  if (owner) type |= MB_TASKMODAL;
  return MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, type) == IDOK ? SYS_ID_OK
                                                                                 : SYS_ID_CANCEL;
}

bool SYS_ComInit() {
  return SUCCEEDED(CoInitialize(nullptr));
}
void SYS_ComUninit() {
  CoUninitialize();
}

void SYS_Sleep(uint32_t ms) {
  Sleep(ms);
}

// ---------------------------------------------------------------- reserved memory

void *SYS_Reserve(size_t bytes) {
  if (bytes == 0) return nullptr;
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS);
}

bool SYS_Commit(void *base, size_t offset, size_t bytes) {
  if (!base) return false;
  if (bytes == 0) return true;
  return VirtualAlloc(static_cast<char *>(base) + offset, bytes, MEM_COMMIT, PAGE_READWRITE) !=
         nullptr;
}

void SYS_ReleaseReserved(void *base, size_t /*bytes*/) {
  if (base) VirtualFree(base, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------- synchronisation

SYS_Handle SYS_CreateEvent() {
  return S(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

uint32_t SYS_SetEvent(SYS_Handle event, bool on) {
  if (!event) return SYS_ERR_FAILED;
  return (on ? SetEvent(H(event)) : ResetEvent(H(event))) ? SYS_OK : SYS_ERR_FAILED;
}

SYS_Handle SYS_CreateMutex(bool initially_owned) {
  void *memory = SYS_Alloc(sizeof(Mutex), "Mutex");
  if (!memory) return 0;
  Mutex *m = new (memory) Mutex();
  InitializeCriticalSection(&m->section);
  if (initially_owned) WaitMutex(m, SYS_INFINITE);
  return reinterpret_cast<SYS_Handle>(m) | 1;
}

uint32_t SYS_ReleaseMutex(SYS_Handle mutex) {
  Mutex *m = AsMutex(mutex);
  if (!m || m->owner.load(std::memory_order_relaxed) != GetCurrentThreadId()) return SYS_ERR_FAILED;
  if (--m->depth == 0) m->owner.store(0, std::memory_order_relaxed);
  LeaveCriticalSection(&m->section);
  return SYS_OK;
}

uint32_t SYS_WaitResult(SYS_Handle object, uint32_t timeout_ms) {
  if (!object) return SYS_ERR_FAILED;
  if (Mutex *m = AsMutex(object)) return WaitMutex(m, timeout_ms);
  switch (WaitForSingleObject(H(object), timeout_ms)) {
    case WAIT_OBJECT_0:
      return SYS_OK;
    case WAIT_TIMEOUT:
      return SYS_ERR_TIMEOUT;
    default:
      return SYS_ERR_FAILED;
  }
}

uint32_t SYS_WaitHandlingMessages(SYS_Handle object, uint32_t timeout_ms) {
  if (!object || AsMutex(object)) return SYS_ERR_FAILED;  // threads and events
  const DWORD start = GetTickCount();
  bool quit = false;
  int quit_code = 0;
  uint32_t result = SYS_ERR_FAILED;
  for (;;) {
    DWORD left = INFINITE;
    if (timeout_ms != SYS_INFINITE) {
      const DWORD spent = GetTickCount() - start;
      left = spent >= timeout_ms ? 0 : timeout_ms - spent;
    }
    HANDLE handle = H(object);
    const DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) {
      result = SYS_OK;
      break;
    }
    if (r == WAIT_TIMEOUT) {
      result = SYS_ERR_TIMEOUT;
      break;
    }
    if (r != WAIT_OBJECT_0 + 1) break;
    // Sent messages are handled inside PeekMessage; posted ones are
    // dispatched to their windows as the main loop would.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quit_code = int(msg.wParam);
        continue;
      }
      // Keys and clicks meanwhile are dropped, as for a disabled window:
      // the wait must not let the user act on the window it waits for.
      if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
          (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST))
        continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (quit) PostQuitMessage(quit_code);  // for the main loop, after the wait
  return result;
}

uint32_t SYS_ProcessExitCode(SYS_Handle process) {
  DWORD code = 0;
  if (!process || !GetExitCodeProcess(H(process), &code)) return 0;
  return code;
}

uint32_t SYS_CloseHandle(SYS_Handle h) {
  if (Mutex *m = AsMutex(h)) {
    DeleteCriticalSection(&m->section);
    m->~Mutex();
    SYS_Free(m);
    return SYS_OK;
  }
  return h && CloseHandle(H(h)) ? SYS_OK : SYS_ERR_FAILED;
}

SYS_Handle SYS_CreateThread(SYS_ThreadFn fn, void *arg) {
  if (!fn) return 0;
  ThreadStart *start = static_cast<ThreadStart *>(SYS_Alloc(sizeof(ThreadStart), "Thread start"));
  if (!start) return 0;
  start->fn = fn;
  start->arg = arg;
  HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start, 0, nullptr);
  if (!thread) {
    SYS_Free(start);
    return 0;
  }
  return S(thread);
}
