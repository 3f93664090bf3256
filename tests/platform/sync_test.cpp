// Events, mutexes, waits and threads.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/platform.h"

namespace {

// The result of a 20 ms wait for the mutex from another thread.
uint32_t ProbeFromThread(SYS_Handle mutex) {
  struct Probe {
    SYS_Handle mutex;
    uint32_t result;
  } probe = {mutex, 99};
  SYS_Handle thread = SYS_CreateThread(
      [](void *arg) -> uint32_t {
        Probe *p = static_cast<Probe *>(arg);
        p->result = SYS_WaitResult(p->mutex, 20);
        if (p->result == SYS_OK) SYS_ReleaseMutex(p->mutex);
        return 0;
      },
      &probe);
  EXPECT_NE(thread, 0u);
  EXPECT_EQ(SYS_WaitResult(thread, 5000), SYS_OK);
  SYS_CloseHandle(thread);
  return probe.result;
}

struct Counter {
  SYS_Handle mutex, start;
  int value;
};

uint32_t AddMany(void *arg) {
  Counter *c = static_cast<Counter *>(arg);
  SYS_WaitResult(c->start, SYS_INFINITE);
  for (int i = 0; i < 2000; i++) {
    SYS_WaitResult(c->mutex, SYS_INFINITE);
    int v = c->value;
    c->value = v + 1;
    SYS_ReleaseMutex(c->mutex);
  }
  return 0;
}

std::atomic<int> g_detached_done{0};

}  // namespace

TEST(Sync, ManualResetEventAndBadHandles) {
  SYS_Handle event = SYS_CreateEvent();
  ASSERT_NE(event, 0u);
  EXPECT_EQ(SYS_WaitResult(event, 20), SYS_ERR_TIMEOUT);
  EXPECT_EQ(SYS_SetEvent(event, true), SYS_OK);
  EXPECT_EQ(SYS_WaitResult(event, 0), SYS_OK);
  EXPECT_EQ(SYS_WaitResult(event, SYS_INFINITE), SYS_OK);  // stays signalled
  EXPECT_EQ(SYS_SetEvent(event, false), SYS_OK);
  EXPECT_EQ(SYS_WaitResult(event, 0), SYS_ERR_TIMEOUT);
  EXPECT_EQ(SYS_CloseHandle(event), SYS_OK);

  EXPECT_EQ(SYS_CloseHandle(0), SYS_ERR_FAILED);
  EXPECT_EQ(SYS_WaitResult(0, 0), SYS_ERR_FAILED);
  EXPECT_EQ(SYS_SetEvent(0, true), SYS_ERR_FAILED);
  EXPECT_EQ(SYS_ReleaseMutex(0), SYS_ERR_FAILED);
}

TEST(Sync, MutexIsOwnedRecursivelyByOneThread) {
  SYS_Handle mutex = SYS_CreateMutex(true);
  ASSERT_NE(mutex, 0u);
  EXPECT_EQ(ProbeFromThread(mutex), SYS_ERR_TIMEOUT);
  EXPECT_EQ(SYS_WaitResult(mutex, 0), SYS_OK);  // again, by its owner
  EXPECT_EQ(SYS_ReleaseMutex(mutex), SYS_OK);
  EXPECT_EQ(ProbeFromThread(mutex), SYS_ERR_TIMEOUT);  // still owned once
  EXPECT_EQ(SYS_ReleaseMutex(mutex), SYS_OK);
  EXPECT_EQ(ProbeFromThread(mutex), SYS_OK);
  EXPECT_EQ(SYS_ReleaseMutex(mutex), SYS_ERR_FAILED);  // not owned any more
  EXPECT_EQ(SYS_CloseHandle(mutex), SYS_OK);
}

TEST(Sync, ThreadsEndSignalledAndMutexSerialises) {
  Counter counter = {SYS_CreateMutex(false), SYS_CreateEvent(), 0};
  SYS_Handle threads[4];
  for (SYS_Handle &t : threads) {
    t = SYS_CreateThread(AddMany, &counter);
    ASSERT_NE(t, 0u);
  }
  EXPECT_EQ(SYS_WaitResult(threads[0], 20), SYS_ERR_TIMEOUT);  // waiting for the start event
  SYS_SetEvent(counter.start, true);
  for (SYS_Handle t : threads) {
    EXPECT_EQ(SYS_WaitResult(t, 10000), SYS_OK);
    EXPECT_EQ(SYS_WaitResult(t, 0), SYS_OK);  // an ended thread stays signalled
    EXPECT_EQ(SYS_CloseHandle(t), SYS_OK);
  }
  EXPECT_EQ(counter.value, 8000);
  SYS_CloseHandle(counter.mutex);
  SYS_CloseHandle(counter.start);
}

TEST(Sync, AThreadHandleMayBeClosedWhileItRuns) {
  g_detached_done = 0;
  SYS_Handle t = SYS_CreateThread(
      [](void *) -> uint32_t {
        SYS_Sleep(30);
        g_detached_done++;
        return 0;
      },
      nullptr);
  ASSERT_NE(t, 0u);
  EXPECT_EQ(SYS_CloseHandle(t), SYS_OK);
  for (int i = 0; i < 500 && g_detached_done.load() == 0; i++) SYS_Sleep(10);
  EXPECT_EQ(g_detached_done.load(), 1);
}
