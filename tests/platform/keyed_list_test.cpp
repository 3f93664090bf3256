// KeyedList: positions, references, statuses, and the two-thread cases.
#include "platform/keyed_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace {

using V = std::vector<uintptr_t>;
std::vector<std::pair<uintptr_t, uintptr_t>> g_released;
std::atomic<int> g_callbacks{0};
std::mutex g_released_lock;  // the callback also runs on other threads

uint32_t Record(uintptr_t key, uintptr_t value) {
  std::lock_guard<std::mutex> lock(g_released_lock);
  g_released.push_back({key, value});
  g_callbacks++;
  return 77;  // ignored
}

V Keys(KeyedList *list) {
  uintptr_t *keys = nullptr;
  uint32_t count = 0;
  EXPECT_EQ(KeyedList_Keys(list, &keys, &count), SYS_OK);
  V out(keys, keys + count);
  SYS_FreeSafe(keys);
  return out;
}

class KeyedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_released.clear();
    g_callbacks = 0;
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

// Another thread that takes a reference to one item and holds it until
// Release() (which returns after the holder gave it back).
class HeldItem {
 public:
  HeldItem(KeyedList *list, uintptr_t key) : list_(list), key_(key) {
    thread_ = SYS_CreateThread(Hold, this);
    EXPECT_EQ(SYS_WaitResult(holding_, 5000), SYS_OK);
  }
  ~HeldItem() {
    if (thread_) Release();
    for (SYS_Handle h : {holding_, go_}) SYS_CloseHandle(h);
  }
  void Release(bool wait = true) {
    SYS_SetEvent(go_, true);
    if (!wait) return;
    EXPECT_EQ(SYS_WaitResult(thread_, 5000), SYS_OK);
    SYS_CloseHandle(thread_);
    thread_ = 0;
  }
  uint32_t release_tick = 0;

 private:
  static uint32_t Hold(void *arg) {
    HeldItem *h = static_cast<HeldItem *>(arg);
    uintptr_t value;
    if (KeyedList_Get(h->list_, h->key_, &value) != SYS_OK) return 1;
    SYS_SetEvent(h->holding_, true);
    SYS_WaitResult(h->go_, SYS_INFINITE);
    SYS_Sleep(50);
    h->release_tick = SYS_GetTickCount();
    return KeyedList_Release(h->list_, h->key_);
  }
  KeyedList *list_;
  uintptr_t key_;
  SYS_Handle holding_ = SYS_CreateEvent(), go_ = SYS_CreateEvent(), thread_ = 0;
};

}  // namespace

TEST_F(KeyedListTest, InsertAtEveryPositionCode) {
  EXPECT_EQ(KeyedList_InsertAt(list, 9, 0, KL_BEFORE_INDEX, 1), SYS_ERR_INDEX);  // empty list
  const struct {
    uintptr_t key;
    int32_t where;
    uintptr_t argument;
    uint32_t status;
  } steps[] = {
      {2, KL_BEFORE_INDEX, 0, SYS_OK},  // == count: into the empty list
      {1, KL_HEAD, 0, SYS_OK},
      {3, KL_TAIL, 0, SYS_OK},
      {20, KL_AFTER_KEY, 2, SYS_OK},
      {19, KL_BEFORE_KEY, 2, SYS_OK},
      {30, KL_AFTER_KEY, 3, SYS_OK},  // after the tail
      {0, KL_BEFORE_KEY, 1, SYS_OK},  // before the head
      {99, KL_AFTER_KEY, 1234, SYS_ERR_FAILED},
      {99, KL_BEFORE_KEY, 1234, SYS_ERR_FAILED},
      {100, KL_BEFORE_INDEX, 0, SYS_OK},
      {101, KL_BEFORE_INDEX, 2, SYS_OK},
      {102, KL_BEFORE_INDEX, 9, SYS_OK},          // == count: the tail
      {103, KL_BEFORE_INDEX, 11, SYS_ERR_INDEX},  // count + 1
      {104, -6, 0, SYS_ERR_POSITION},
      {104, 3, 0, SYS_ERR_POSITION},
  };
  for (const auto &s : steps)
    EXPECT_EQ(KeyedList_InsertAt(list, s.key, 0, s.where, s.argument), s.status) << s.key;
  EXPECT_EQ(Keys(list), (V{100, 0, 101, 1, 19, 2, 20, 3, 30, 102}));
  // The plain insertion takes the head and the tail only.
  EXPECT_EQ(KeyedList_Insert(list, 9, 0, KL_AFTER_KEY), SYS_ERR_POSITION);
  EXPECT_EQ(KeyedList_Insert(list, 9, 0, 0), SYS_ERR_POSITION);
  uint32_t count = 0;
  EXPECT_EQ(KeyedList_Count(list, &count), SYS_OK);
  EXPECT_EQ(count, 10u);
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

TEST_F(KeyedListTest, GetAtCountsFromEitherEnd) {
  uintptr_t key = 0, value = 0;
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, nullptr), SYS_ERR_EMPTY);
  EXPECT_EQ(KeyedList_GetAt(list, KL_TAIL, &key, nullptr), SYS_ERR_EMPTY);
  EXPECT_EQ(KeyedList_GetAt(list, 0, &key, nullptr), SYS_ERR_INDEX);
  Fill(3);
  const struct {
    int32_t index;
    uint32_t status;
    uintptr_t key;
  } cases[] = {{KL_HEAD, SYS_OK, 1},
               {KL_TAIL, SYS_OK, 3},
               {1, SYS_OK, 2},
               {3, SYS_ERR_INDEX, 0},
               {-3, SYS_ERR_INDEX, 0}};
  for (const auto &c : cases) {
    key = 0;
    EXPECT_EQ(KeyedList_GetAt(list, c.index, &key, nullptr), c.status) << c.index;
    EXPECT_EQ(key, c.key) << c.index;
  }
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, &value), SYS_OK);
  EXPECT_EQ(value, 10u);
  EXPECT_EQ(KeyedList_Release(list, 1), SYS_OK);
}

TEST_F(KeyedListTest, HeldItemsOutliveTheirRemoval) {
  Fill(3);
  uintptr_t value = 0;
  EXPECT_EQ(KeyedList_Get(list, 2, &value), SYS_OK);
  EXPECT_EQ(value, 20u);
  EXPECT_EQ(KeyedList_Get(list, 9, &value), SYS_ERR_FAILED);
  uintptr_t key = 0;
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, &value), SYS_OK);
  // Without a value nothing is held.
  EXPECT_EQ(KeyedList_Get(list, 3, nullptr), SYS_OK);
  EXPECT_EQ(KeyedList_GetAt(list, KL_TAIL, &key, nullptr), SYS_OK);

  // Items 1 and 2 are held once more: removal takes them out of the list,
  // but they live until the holders give theirs back.
  for (uintptr_t k : {2, 1, 3}) EXPECT_EQ(KeyedList_Remove(list, k, false), SYS_OK);
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

TEST_F(KeyedListTest, EmptyAndMissingLists) {
  uintptr_t *keys = reinterpret_cast<uintptr_t *>(1);
  uint32_t count = 9;
  EXPECT_EQ(KeyedList_Keys(list, &keys, &count), SYS_OK);
  EXPECT_EQ(keys, nullptr);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(KeyedList_Insert(nullptr, 1, 1, KL_HEAD), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Count(nullptr, &count), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Destroy(nullptr, true, true), SYS_ERR_FAILED);
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

// ---------------------------------------------------------------- two threads

TEST_F(KeyedListTest, RemoveWithWaitReturnsAfterTheOtherThreadReleases) {
  Fill(1);
  HeldItem held(list, 1);
  held.Release(false);
  EXPECT_EQ(KeyedList_Remove(list, 1, true), SYS_OK);
  uint32_t returned = SYS_GetTickCount();
  EXPECT_EQ(g_callbacks.load(), 1);  // already released when Remove returns
  EXPECT_NE(held.release_tick, 0u);
  EXPECT_GE(int32_t(returned - held.release_tick), 0);
  EXPECT_EQ(Keys(list), (V{}));
}

TEST_F(KeyedListTest, ItemRemovedWhileHeldIsGoneForAllButItsHolder) {
  Fill(2);
  HeldItem held(list, 1);
  EXPECT_EQ(KeyedList_Remove(list, 1, false), SYS_OK);
  // No lookup finds it; a second removal neither waits nor takes the
  // holder's reference, and neither does destroying with release.
  uintptr_t key = 0;
  EXPECT_EQ(KeyedList_Get(list, 1, nullptr), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_GetAt(list, KL_HEAD, &key, nullptr), SYS_OK);
  EXPECT_EQ(key, 2u);
  EXPECT_EQ(Keys(list), (V{2}));
  EXPECT_EQ(KeyedList_Remove(list, 1, true), SYS_ERR_FAILED);
  EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
  list = nullptr;
  EXPECT_EQ(g_callbacks.load(), 1);  // item 2 only
  // The holder's release ends item 1 and, being the last, the list.
  held.Release();
  EXPECT_EQ(g_callbacks.load(), 2);
}

TEST_F(KeyedListTest, DestroyKeepsHeldItemsAliveUntilReleased) {
  Fill(3);
  HeldItem held(list, 2);
  EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
  list = nullptr;
  EXPECT_EQ(g_callbacks.load(), 2);  // items 1 and 3; item 2 is still held
  held.Release();
  EXPECT_EQ(g_callbacks.load(), 3);  // released once, by its holder
}

TEST_F(KeyedListTest, DestroyingRefusesInsertions) {
  Fill(1);
  HeldItem held(list, 1);
  // Destroy with wait blocks on the held item; meanwhile the list is closing.
  KeyedList *closing = list;
  list = nullptr;
  SYS_Handle destroyer = SYS_CreateThread(
      [](void *l) -> uint32_t {
        return KeyedList_Destroy(static_cast<KeyedList *>(l), true, true);
      },
      closing);
  uint32_t status = SYS_OK;
  int inserted = 0;
  for (int i = 0; i < 500 && status == SYS_OK; i++) {
    status = KeyedList_Insert(closing, 2, 20, KL_TAIL);
    if (status == SYS_OK) {
      inserted++;
      KeyedList_Remove(closing, 2, false);
    }
    SYS_Sleep(1);
  }
  EXPECT_EQ(status, SYS_ERR_CLOSING);
  EXPECT_EQ(KeyedList_InsertAt(closing, 2, 20, KL_HEAD, 0), SYS_ERR_CLOSING);
  EXPECT_EQ(SYS_WaitResult(destroyer, 50), SYS_ERR_TIMEOUT);  // still waiting for the holder
  held.Release();
  EXPECT_EQ(SYS_WaitResult(destroyer, 5000), SYS_OK);
  EXPECT_EQ(g_callbacks.load(), 1 + inserted);
  SYS_CloseHandle(destroyer);
}
