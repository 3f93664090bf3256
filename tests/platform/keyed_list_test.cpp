// KeyedList: positions, references, statuses, and the two-thread cases.
#include "platform/keyed_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

std::vector<std::pair<uintptr_t, uintptr_t>> g_released;

uint32_t Record(uintptr_t key, uintptr_t value) {
  g_released.push_back({key, value});
  return 77;  // ignored
}

std::vector<uintptr_t> Keys(KeyedList *list) {
  uintptr_t *keys = nullptr;
  uint32_t count = 0;
  EXPECT_EQ(KeyedList_Keys(list, &keys, &count), SYS_OK);
  std::vector<uintptr_t> out(keys, keys + count);
  SYS_FreeSafe(keys);
  return out;
}

class KeyedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_released.clear();
    list = KeyedList_Create(Record);
    ASSERT_NE(list, nullptr);
  }
  void TearDown() override {
    if (list) {
      EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
    }
  }
  // Keys 1..n at the tail, values key * 10.
  void Fill(uintptr_t n) {
    for (uintptr_t k = 1; k <= n; k++)
      ASSERT_EQ(KeyedList_Insert(list, k, k * 10, KL_TAIL), SYS_OK);
  }
  KeyedList *list = nullptr;
};

using V = std::vector<uintptr_t>;

}  // namespace

TEST_F(KeyedListTest, InsertAtHeadAndTail) {
  EXPECT_EQ(KeyedList_Insert(list, 2, 0, KL_HEAD), SYS_OK);
  EXPECT_EQ(KeyedList_Insert(list, 1, 0, KL_HEAD), SYS_OK);
  EXPECT_EQ(KeyedList_Insert(list, 3, 0, KL_TAIL), SYS_OK);
  EXPECT_EQ(Keys(list), (V{1, 2, 3}));
  EXPECT_EQ(KeyedList_Insert(list, 9, 0, KL_AFTER_KEY), SYS_ERR_POSITION);  // only -1 and -2 here
  EXPECT_EQ(KeyedList_Insert(list, 9, 0, 0), SYS_ERR_POSITION);
  uint32_t count = 0;
  EXPECT_EQ(KeyedList_Count(list, &count), SYS_OK);
  EXPECT_EQ(count, 3u);
}

TEST_F(KeyedListTest, InsertAtEveryPositionCode) {
  Fill(3);
  EXPECT_EQ(KeyedList_InsertAt(list, 20, 0, KL_AFTER_KEY, 2), SYS_OK);
  EXPECT_EQ(KeyedList_InsertAt(list, 19, 0, KL_BEFORE_KEY, 2), SYS_OK);
  EXPECT_EQ(Keys(list), (V{1, 19, 2, 20, 3}));
  EXPECT_EQ(KeyedList_InsertAt(list, 30, 0, KL_AFTER_KEY, 3), SYS_OK);  // after the tail
  EXPECT_EQ(KeyedList_InsertAt(list, 0, 0, KL_BEFORE_KEY, 1), SYS_OK);  // before the head
  EXPECT_EQ(Keys(list), (V{0, 1, 19, 2, 20, 3, 30}));
  EXPECT_EQ(KeyedList_InsertAt(list, 99, 0, KL_AFTER_KEY, 1234), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_InsertAt(list, 99, 0, KL_BEFORE_KEY, 1234), SYS_ERR_FAILED);

  EXPECT_EQ(KeyedList_InsertAt(list, 100, 0, KL_BEFORE_INDEX, 0), SYS_OK);
  EXPECT_EQ(KeyedList_InsertAt(list, 101, 0, KL_BEFORE_INDEX, 2), SYS_OK);
  EXPECT_EQ(KeyedList_InsertAt(list, 102, 0, KL_BEFORE_INDEX, 9), SYS_OK);  // == count: the tail
  EXPECT_EQ(Keys(list), (V{100, 0, 101, 1, 19, 2, 20, 3, 30, 102}));
  EXPECT_EQ(KeyedList_InsertAt(list, 103, 0, KL_BEFORE_INDEX, 11), SYS_ERR_INDEX);  // count + 1
  EXPECT_EQ(KeyedList_InsertAt(list, 104, 0, KL_HEAD, 0), SYS_OK);
  EXPECT_EQ(KeyedList_InsertAt(list, 105, 0, KL_TAIL, 0), SYS_OK);
  EXPECT_EQ(KeyedList_InsertAt(list, 106, 0, -6, 0), SYS_ERR_POSITION);
  EXPECT_EQ(KeyedList_InsertAt(list, 106, 0, 3, 0), SYS_ERR_POSITION);
  EXPECT_EQ(Keys(list).size(), 12u);
}

TEST_F(KeyedListTest, InsertAtIntoAnEmptyList) {
  EXPECT_EQ(KeyedList_InsertAt(list, 1, 0, KL_BEFORE_INDEX, 1), SYS_ERR_INDEX);
  EXPECT_EQ(KeyedList_InsertAt(list, 1, 0, KL_BEFORE_INDEX, 0), SYS_OK);
  EXPECT_EQ(Keys(list), (V{1}));
}

TEST_F(KeyedListTest, Move) {
  Fill(4);
  EXPECT_EQ(KeyedList_Move(list, 4, KL_HEAD, 0), SYS_OK);
  EXPECT_EQ(Keys(list), (V{4, 1, 2, 3}));
  EXPECT_EQ(KeyedList_Move(list, 4, KL_TAIL, 0), SYS_OK);
  EXPECT_EQ(KeyedList_Move(list, 1, KL_AFTER_KEY, 3), SYS_OK);
  EXPECT_EQ(Keys(list), (V{2, 3, 1, 4}));
  EXPECT_EQ(KeyedList_Move(list, 4, KL_BEFORE_KEY, 2), SYS_OK);
  EXPECT_EQ(KeyedList_Move(list, 2, KL_BEFORE_INDEX, 3), SYS_OK);  // the tail of the other three
  EXPECT_EQ(Keys(list), (V{4, 3, 1, 2}));
  // A missing key: 0 and nothing changes. A missing place: the item stays.
  EXPECT_EQ(KeyedList_Move(list, 99, KL_HEAD, 0), SYS_OK);
  EXPECT_EQ(KeyedList_Move(list, 3, KL_AFTER_KEY, 99), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Move(list, 3, KL_BEFORE_INDEX, 4), SYS_ERR_INDEX);
  EXPECT_EQ(KeyedList_Move(list, 3, -9, 0), SYS_ERR_POSITION);
  EXPECT_EQ(Keys(list), (V{4, 3, 1, 2}));
}

TEST_F(KeyedListTest, GetAndGetAt) {
  uintptr_t key = 0, value = 0;
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, nullptr), SYS_ERR_EMPTY);
  EXPECT_EQ(KeyedList_GetAt(list, KL_TAIL, &key, nullptr), SYS_ERR_EMPTY);
  EXPECT_EQ(KeyedList_GetAt(list, 0, &key, nullptr), SYS_ERR_INDEX);
  Fill(3);
  EXPECT_EQ(KeyedList_Get(list, 2, &value), SYS_OK);
  EXPECT_EQ(value, 20u);
  EXPECT_EQ(KeyedList_Get(list, 9, &value), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, &value), SYS_OK);
  EXPECT_EQ(key, 1u);
  EXPECT_EQ(value, 10u);
  EXPECT_EQ(KeyedList_GetAt(list, KL_TAIL, &key, nullptr), SYS_OK);
  EXPECT_EQ(key, 3u);
  EXPECT_EQ(KeyedList_GetAt(list, 1, &key, nullptr), SYS_OK);
  EXPECT_EQ(key, 2u);
  EXPECT_EQ(KeyedList_GetAt(list, 3, &key, nullptr), SYS_ERR_INDEX);
  EXPECT_EQ(KeyedList_GetAt(list, -3, &key, nullptr), SYS_ERR_INDEX);

  // Items 1 and 2 now hold one extra reference each: the list's removal
  // takes them out of the list, but they live until the holders give
  // theirs back.
  EXPECT_EQ(KeyedList_Remove(list, 2, false), SYS_OK);
  EXPECT_EQ(KeyedList_Remove(list, 1, false), SYS_OK);
  EXPECT_EQ(KeyedList_Remove(list, 3, false), SYS_OK);
  EXPECT_EQ(Keys(list), (V{}));
  EXPECT_EQ(g_released.size(), 1u);
  // A new item under a held key: the holder's release still ends the old one.
  EXPECT_EQ(KeyedList_Insert(list, 1, 11, KL_TAIL), SYS_OK);
  EXPECT_EQ(KeyedList_Release(list, 1), SYS_OK);
  EXPECT_EQ(KeyedList_Release(list, 2), SYS_OK);
  EXPECT_EQ(g_released, (std::vector<std::pair<uintptr_t, uintptr_t>>{{3, 30}, {1, 10}, {2, 20}}));
  EXPECT_EQ(Keys(list), (V{1}));
  EXPECT_EQ(KeyedList_Release(list, 2), SYS_ERR_FAILED);
}

TEST_F(KeyedListTest, GetWithoutValueAddsNoReference) {
  Fill(1);
  EXPECT_EQ(KeyedList_Get(list, 1, nullptr), SYS_OK);
  uintptr_t key = 0;
  EXPECT_EQ(KeyedList_GetAt(list, 0, &key, nullptr), SYS_OK);
  EXPECT_EQ(KeyedList_Remove(list, 1, false), SYS_OK);  // the only reference
  ASSERT_EQ(g_released.size(), 1u);
  EXPECT_EQ(g_released[0], (std::pair<uintptr_t, uintptr_t>(1, 10)));
  EXPECT_EQ(KeyedList_Get(list, 1, nullptr), SYS_ERR_FAILED);
}

TEST_F(KeyedListTest, DuplicateKeysAreFoundNearestTheHead) {
  EXPECT_EQ(KeyedList_Insert(list, 5, 1, KL_TAIL), SYS_OK);
  EXPECT_EQ(KeyedList_Insert(list, 5, 2, KL_TAIL), SYS_OK);
  uintptr_t value = 0;
  EXPECT_EQ(KeyedList_Get(list, 5, &value), SYS_OK);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(KeyedList_Release(list, 5), SYS_OK);
  EXPECT_EQ(KeyedList_Remove(list, 5, false), SYS_OK);
  EXPECT_EQ(KeyedList_Get(list, 5, &value), SYS_OK);
  EXPECT_EQ(value, 2u);
  EXPECT_EQ(KeyedList_Release(list, 5), SYS_OK);
}

TEST_F(KeyedListTest, KeysOfAnEmptyListAreNoArray) {
  uintptr_t *keys = reinterpret_cast<uintptr_t *>(1);
  uint32_t count = 9;
  EXPECT_EQ(KeyedList_Keys(list, &keys, &count), SYS_OK);
  EXPECT_EQ(keys, nullptr);
  EXPECT_EQ(count, 0u);
}

TEST_F(KeyedListTest, PointerSizedKeysAndValues) {
  std::string key_text = "a key", value_text = "a value";
  uintptr_t key = reinterpret_cast<uintptr_t>(&key_text);
  ASSERT_EQ(KeyedList_Insert(list, key, reinterpret_cast<uintptr_t>(&value_text), KL_TAIL), SYS_OK);
  uintptr_t value = 0;
  ASSERT_EQ(KeyedList_Get(list, key, &value), SYS_OK);
  EXPECT_EQ(*reinterpret_cast<std::string *>(value), "a value");
  EXPECT_EQ(KeyedList_Release(list, key), SYS_OK);
}

TEST(KeyedList, ReleaseFreeKeyAsCallback) {
  KeyedList *list = KeyedList_Create(SYS_ReleaseFreeKey);
  ASSERT_NE(list, nullptr);
  for (int i = 0; i < 3; i++) {
    char *name = static_cast<char *>(SYS_Alloc(8, "name"));
    SYS_Format(name, 8, "f%d", i);
    ASSERT_EQ(KeyedList_Insert(list, reinterpret_cast<uintptr_t>(name), 0, KL_TAIL), SYS_OK);
  }
  EXPECT_EQ(KeyedList_Destroy(list, true, true), SYS_OK);  // the sanitizers check the frees
}

TEST(KeyedList, NullListFails) {
  uint32_t count;
  EXPECT_EQ(KeyedList_Insert(nullptr, 1, 1, KL_HEAD), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Count(nullptr, &count), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Destroy(nullptr, true, true), SYS_ERR_FAILED);
}

// ---------------------------------------------------------------- two threads

namespace {

struct Holder {
  KeyedList *list;
  uintptr_t key;
  SYS_Handle holding;  // set once the holder has its reference
  SYS_Handle go;       // set to make it give the reference back
  uint32_t release_tick;
};

uint32_t HoldThenRelease(void *arg) {
  Holder *h = static_cast<Holder *>(arg);
  uintptr_t value;
  if (KeyedList_Get(h->list, h->key, &value) != SYS_OK) return 1;
  SYS_SetEvent(h->holding, true);
  SYS_WaitResult(h->go, SYS_INFINITE);
  SYS_Sleep(50);
  h->release_tick = SYS_GetTickCount();
  return KeyedList_Release(h->list, h->key);
}

std::atomic<int> g_callbacks{0};
uint32_t Count(uintptr_t, uintptr_t) {
  g_callbacks++;
  return 0;
}

}  // namespace

TEST(KeyedList, RemoveWithWaitReturnsAfterTheOtherThreadReleases) {
  g_callbacks = 0;
  KeyedList *list = KeyedList_Create(Count);
  ASSERT_EQ(KeyedList_Insert(list, 7, 70, KL_TAIL), SYS_OK);
  Holder h = {list, 7, SYS_CreateEvent(), SYS_CreateEvent(), 0};
  SYS_Handle thread = SYS_CreateThread(HoldThenRelease, &h);
  ASSERT_NE(thread, 0u);
  ASSERT_EQ(SYS_WaitResult(h.holding, 5000), SYS_OK);
  SYS_SetEvent(h.go, true);
  EXPECT_EQ(KeyedList_Remove(list, 7, true), SYS_OK);
  uint32_t returned = SYS_GetTickCount();
  EXPECT_EQ(g_callbacks.load(), 1);  // already released when Remove returns
  EXPECT_NE(h.release_tick, 0u);
  EXPECT_GE(int32_t(returned - h.release_tick), 0);
  EXPECT_EQ(SYS_WaitResult(thread, 5000), SYS_OK);
  SYS_CloseHandle(thread);
  uint32_t count = 9;
  EXPECT_EQ(KeyedList_Count(list, &count), SYS_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(KeyedList_Destroy(list, true, true), SYS_OK);
  SYS_CloseHandle(h.holding);
  SYS_CloseHandle(h.go);
}

TEST(KeyedList, ItemRemovedWhileHeldIsGoneForAllButItsHolder) {
  g_callbacks = 0;
  KeyedList *list = KeyedList_Create(Count);
  ASSERT_EQ(KeyedList_Insert(list, 7, 70, KL_TAIL), SYS_OK);
  ASSERT_EQ(KeyedList_Insert(list, 8, 80, KL_TAIL), SYS_OK);
  Holder h = {list, 7, SYS_CreateEvent(), SYS_CreateEvent(), 0};
  SYS_Handle thread = SYS_CreateThread(HoldThenRelease, &h);
  ASSERT_EQ(SYS_WaitResult(h.holding, 5000), SYS_OK);
  EXPECT_EQ(KeyedList_Remove(list, 7, false), SYS_OK);

  // No lookup finds it; a second removal neither waits nor takes the
  // holder's reference, and neither does destroying with release.
  uintptr_t key = 0;
  uint32_t count = 0;
  EXPECT_EQ(KeyedList_Get(list, 7, nullptr), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, nullptr), SYS_OK);
  EXPECT_EQ(key, 8u);
  EXPECT_EQ(KeyedList_Count(list, &count), SYS_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(KeyedList_Remove(list, 7, true), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
  EXPECT_EQ(g_callbacks.load(), 1);  // item 8 only

  // The holder's release ends item 7 and, being the last, the list.
  SYS_SetEvent(h.go, true);
  EXPECT_EQ(SYS_WaitResult(thread, 5000), SYS_OK);
  EXPECT_EQ(g_callbacks.load(), 2);
  SYS_CloseHandle(thread);
  SYS_CloseHandle(h.holding);
  SYS_CloseHandle(h.go);
}

TEST(KeyedList, DestroyKeepsHeldItemsAliveUntilReleased) {
  g_callbacks = 0;
  KeyedList *list = KeyedList_Create(Count);
  ASSERT_EQ(KeyedList_Insert(list, 1, 10, KL_TAIL), SYS_OK);
  ASSERT_EQ(KeyedList_Insert(list, 2, 20, KL_TAIL), SYS_OK);
  ASSERT_EQ(KeyedList_Insert(list, 3, 30, KL_TAIL), SYS_OK);
  Holder h = {list, 2, SYS_CreateEvent(), SYS_CreateEvent(), 0};
  SYS_Handle thread = SYS_CreateThread(HoldThenRelease, &h);
  ASSERT_EQ(SYS_WaitResult(h.holding, 5000), SYS_OK);

  EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
  EXPECT_EQ(g_callbacks.load(), 2);  // items 1 and 3; item 2 is still held
  SYS_SetEvent(h.go, true);
  EXPECT_EQ(SYS_WaitResult(thread, 5000), SYS_OK);
  EXPECT_EQ(g_callbacks.load(), 3);  // released once, by its holder
  SYS_CloseHandle(thread);
  SYS_CloseHandle(h.holding);
  SYS_CloseHandle(h.go);
}

TEST(KeyedList, DestroyingRefusesInsertions) {
  g_callbacks = 0;
  KeyedList *list = KeyedList_Create(Count);
  ASSERT_EQ(KeyedList_Insert(list, 1, 10, KL_TAIL), SYS_OK);
  Holder h = {list, 1, SYS_CreateEvent(), SYS_CreateEvent(), 0};
  SYS_Handle thread = SYS_CreateThread(HoldThenRelease, &h);
  ASSERT_EQ(SYS_WaitResult(h.holding, 5000), SYS_OK);
  // Destroy with wait blocks on the held item; meanwhile the list is closing.
  struct Args {
    KeyedList *list;
  } args = {list};
  SYS_Handle destroyer = SYS_CreateThread(
      [](void *a) -> uint32_t {
        return KeyedList_Destroy(static_cast<Args *>(a)->list, true, true);
      },
      &args);
  uint32_t status = SYS_OK;
  int inserted = 0;
  for (int i = 0; i < 500 && status != SYS_ERR_CLOSING; i++) {
    status = KeyedList_Insert(list, 2, 20, KL_TAIL);
    if (status == SYS_OK) {
      inserted++;
      KeyedList_Remove(list, 2, false);
    } else if (status != SYS_ERR_CLOSING) {
      break;
    }
    SYS_Sleep(1);
  }
  EXPECT_EQ(status, SYS_ERR_CLOSING);
  EXPECT_EQ(KeyedList_InsertAt(list, 2, 20, KL_HEAD, 0), SYS_ERR_CLOSING);
  EXPECT_EQ(SYS_WaitResult(destroyer, 50), SYS_ERR_TIMEOUT);  // still waiting for the holder
  SYS_SetEvent(h.go, true);
  EXPECT_EQ(SYS_WaitResult(destroyer, 5000), SYS_OK);
  EXPECT_EQ(SYS_WaitResult(thread, 5000), SYS_OK);
  EXPECT_EQ(g_callbacks.load(), 1 + inserted);
  for (SYS_Handle x : {thread, destroyer, h.holding, h.go}) SYS_CloseHandle(x);
}
