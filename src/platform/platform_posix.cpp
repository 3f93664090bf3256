// POSIX backend: process hooks, reserved memory, events, mutexes, threads,
// the message box's default answer. Files, drives and folders are in
// files_posix.cpp, the registry in registry_posix.cpp, the emulated machine
// in machine_posix.cpp.
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/posix_machine.h"

using namespace machine;

namespace machine {

Object *FromHandle(uintptr_t handle, Kind kind) {
  Object *object = reinterpret_cast<Object *>(handle);
  if (!object || object->magic != Object::kMagic) return nullptr;
  return kind == Kind::Any || object->kind == kind ? object : nullptr;
}

void Unref(Object *object) {
  if (object && object->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete object;
}

}  // namespace machine

namespace {

// Waits on cv until done() holds or timeout_ms passed: 0 or 2.
template <typename Pred>
uint32_t WaitFor(std::unique_lock<std::mutex> &lock, std::condition_variable &cv,
                 uint32_t timeout_ms, Pred done) {
  if (timeout_ms == SYS_INFINITE) {
    cv.wait(lock, done);
    return SYS_OK;
  }
  return cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), done) ? SYS_OK : SYS_ERR_TIMEOUT;
}

struct EventObject : Object {
  EventObject() : Object(Kind::Event) {}
  std::mutex m;
  std::condition_variable cv;
  bool signalled = false;
};

// A Windows mutex: owned by one thread, recursively.
struct MutexObject : Object {
  MutexObject() : Object(Kind::Mutex) {}
  std::mutex m;
  std::condition_variable cv;
  std::thread::id owner;
  uint32_t depth = 0;
};

struct ThreadObject : Object {
  ThreadObject() : Object(Kind::Thread) {}
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
};

void RunThread(ThreadObject *thread, SYS_ThreadFn fn, void *arg) {
  fn(arg);
  {
    std::lock_guard<std::mutex> lock(thread->m);
    thread->done = true;
    thread->cv.notify_all();
  }
  Unref(thread);
}

}  // namespace

// ---------------------------------------------------------------- process hooks

uint32_t Backend_SystemTicks() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

// The host command line, quoted as Windows would show it.
const char *Backend_CommandLine() {
  static std::once_flag once;
  static std::string line;
  std::call_once(once, [] {
    std::string raw;
    if (!ReadHostFile("/proc/self/cmdline", &raw)) return;
    size_t start = 0;
    while (start < raw.size()) {
      size_t end = raw.find('\0', start);
      if (end == std::string::npos) end = raw.size();
      std::string arg = raw.substr(start, end - start);
      if (!line.empty()) line += ' ';
      line += arg.find(' ') != std::string::npos ? "\"" + arg + "\"" : arg;
      start = end + 1;
    }
  });
  return line.c_str();
}

uint32_t Backend_MessageBox(const char * /*text*/, const char * /*caption*/, uint32_t buttons,
                            uintptr_t /*owner*/) {
  return buttons == SYS_MB_OKCANCEL ? SYS_ID_CANCEL : SYS_ID_OK;
}

bool SYS_ComInit() {
  return true;
}
void SYS_ComUninit() {}

void SYS_Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---------------------------------------------------------------- reserved memory

void *SYS_Reserve(size_t bytes) {
  if (bytes == 0) return nullptr;
  void *p = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

bool SYS_Commit(void *base, size_t offset, size_t bytes) {
  if (!base) return false;
  if (bytes == 0) return true;
  uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  uintptr_t start = reinterpret_cast<uintptr_t>(base) + offset;
  uintptr_t end = (start + bytes + page - 1) & ~(page - 1);
  start &= ~(page - 1);
  return mprotect(reinterpret_cast<void *>(start), end - start, PROT_READ | PROT_WRITE) == 0;
}

void SYS_ReleaseReserved(void *base, size_t bytes) {
  if (base) munmap(base, bytes);
}

// ---------------------------------------------------------------- synchronisation

SYS_Handle SYS_CreateEvent() {
  return reinterpret_cast<SYS_Handle>(new EventObject);
}

uint32_t SYS_SetEvent(SYS_Handle h, bool on) {
  EventObject *event = static_cast<EventObject *>(FromHandle(h, Kind::Event));
  if (!event) return SYS_ERR_FAILED;
  std::lock_guard<std::mutex> lock(event->m);
  event->signalled = on;
  if (on) event->cv.notify_all();
  return SYS_OK;
}

SYS_Handle SYS_CreateMutex(bool initially_owned) {
  MutexObject *mutex = new MutexObject;
  if (initially_owned) {
    mutex->owner = std::this_thread::get_id();
    mutex->depth = 1;
  }
  return reinterpret_cast<SYS_Handle>(mutex);
}

uint32_t SYS_ReleaseMutex(SYS_Handle h) {
  MutexObject *mutex = static_cast<MutexObject *>(FromHandle(h, Kind::Mutex));
  if (!mutex) return SYS_ERR_FAILED;
  std::lock_guard<std::mutex> lock(mutex->m);
  if (mutex->depth == 0 || mutex->owner != std::this_thread::get_id()) return SYS_ERR_FAILED;
  if (--mutex->depth == 0) {
    mutex->owner = std::thread::id();
    mutex->cv.notify_one();
  }
  return SYS_OK;
}

uint32_t SYS_WaitResult(SYS_Handle h, uint32_t timeout_ms) {
  Object *object = FromHandle(h, Kind::Any);
  if (!object) return SYS_ERR_FAILED;
  switch (object->kind) {
    case Kind::Event: {
      EventObject *event = static_cast<EventObject *>(object);
      std::unique_lock<std::mutex> lock(event->m);
      return WaitFor(lock, event->cv, timeout_ms, [event] { return event->signalled; });
    }
    case Kind::Mutex: {
      MutexObject *mutex = static_cast<MutexObject *>(object);
      std::thread::id self = std::this_thread::get_id();
      std::unique_lock<std::mutex> lock(mutex->m);
      uint32_t status = WaitFor(lock, mutex->cv, timeout_ms, [mutex, self] {
        return mutex->depth == 0 || mutex->owner == self;
      });
      if (status == SYS_OK) {
        mutex->owner = self;
        mutex->depth++;
      }
      return status;
    }
    case Kind::Thread: {
      ThreadObject *thread = static_cast<ThreadObject *>(object);
      std::unique_lock<std::mutex> lock(thread->m);
      return WaitFor(lock, thread->cv, timeout_ms, [thread] { return thread->done; });
    }
    case Kind::Process:  // an emulated program has ended when it was started
      return SYS_OK;
    default:
      return SYS_ERR_FAILED;
  }
}

// No window messages to handle here.
uint32_t SYS_WaitHandlingMessages(SYS_Handle object, uint32_t timeout_ms) {
  return SYS_WaitResult(object, timeout_ms);
}

uint32_t SYS_ProcessExitCode(SYS_Handle /*process*/) {
  return 0;
}

uint32_t SYS_CloseHandle(SYS_Handle h) {
  Object *object = FromHandle(h, Kind::Any);
  if (!object || object->kind == Kind::Find || object->kind == Kind::RegKey) return SYS_ERR_FAILED;
  Unref(object);
  return SYS_OK;
}

SYS_Handle SYS_CreateThread(SYS_ThreadFn fn, void *arg) {
  if (!fn) return 0;
  ThreadObject *thread = new ThreadObject;
  thread->refs = 2;  // the handle and the running thread
  try {
    std::thread(RunThread, thread, fn, arg).detach();
  } catch (...) {
    delete thread;
    return 0;
  }
  return reinterpret_cast<SYS_Handle>(thread);
}
