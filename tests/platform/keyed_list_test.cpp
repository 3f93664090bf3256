// KeyedList as the program uses it: insertion at either end, lookups that
// hold an item, removal and destruction while another thread holds one.
#include "platform/keyed_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace {

using V = std::vector<uintptr_t>;
using Pairs = std::vector<std::pair<uintptr_t, uintptr_t>>;
Pairs g_released;
std::mutex g_released_lock;  // the callback also runs on the holder's thread

uint32_t Record(uintptr_t key, uintptr_t value) {
  std::lock_guard<std::mutex> lock(g_released_lock);
  g_released.push_back({key, value});
  return 0;
}

size_t ReleasedCount() {
  std::lock_guard<std::mutex> lock(g_released_lock);
  return g_released.size();
}

V Collect(KeyedList *list, bool values) {
  uintptr_t *array = nullptr;
  uint32_t count = 0;
  EXPECT_EQ(values ? KeyedList_Values(list, &array, &count) : KeyedList_Keys(list, &array, &count),
            SYS_OK);
  V out(array, array + count);
  SYS_FreeSafe(array);
  return out;
}

class KeyedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_released.clear();
    list = KeyedList_Create(Record);
    ASSERT_NE(list, nullptr);
    for (uintptr_t k = 1; k <= 3; k++)
      ASSERT_EQ(KeyedList_Insert(list, k, k * 10, KL_TAIL), SYS_OK);
  }
  void TearDown() override {
    if (list) {
      EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
    }
  }
  KeyedList *list = nullptr;
};

}  // namespace

TEST_F(KeyedListTest, HeldItemsOutliveTheirRemoval) {
  uintptr_t value = 0;
  EXPECT_EQ(KeyedList_Get(list, 2, &value), SYS_OK);
  EXPECT_EQ(value, 20u);
  EXPECT_EQ(KeyedList_Get(list, 1, &value), SYS_OK);
  EXPECT_EQ(KeyedList_Get(list, 3, nullptr), SYS_OK);  // without a value nothing is held
  // Removal takes every item out of the list; the held ones live until
  // their holders give them back.
  for (uintptr_t k : {2, 1, 3}) EXPECT_EQ(KeyedList_Remove(list, k, false), SYS_OK);
  EXPECT_EQ(Collect(list, false), V{});
  EXPECT_EQ(g_released, (Pairs{{3, 30}}));
  // A new item under a held key: the holder's release still ends the old one.
  EXPECT_EQ(KeyedList_Insert(list, 1, 11, KL_TAIL), SYS_OK);
  EXPECT_EQ(KeyedList_Release(list, 1), SYS_OK);
  EXPECT_EQ(KeyedList_Release(list, 2), SYS_OK);
  EXPECT_EQ(g_released, (Pairs{{3, 30}, {1, 10}, {2, 20}}));
  EXPECT_EQ(Collect(list, false), V{1});
  EXPECT_EQ(KeyedList_Release(list, 2), SYS_ERR_FAILED);
}

// Another thread holds item 1 while this one removes it and destroys the
// list: nobody else finds it, and it ends, with the list, on the holder's
// release.
TEST_F(KeyedListTest, ItemRemovedWhileHeldIsGoneForAllButItsHolder) {
  struct Holder {
    KeyedList *list;
    SYS_Handle holding = SYS_CreateEvent(), go = SYS_CreateEvent();
  } h{list};
  SYS_Handle thread = SYS_CreateThread(
      [](void *arg) -> uint32_t {
        Holder *h = static_cast<Holder *>(arg);
        uintptr_t value;
        if (KeyedList_Get(h->list, 1, &value) != SYS_OK) return 1;
        SYS_SetEvent(h->holding, true);
        SYS_WaitResult(h->go, SYS_INFINITE);
        return KeyedList_Release(h->list, 1);
      },
      &h);
  ASSERT_EQ(SYS_WaitResult(h.holding, 5000), SYS_OK);
  EXPECT_EQ(KeyedList_Remove(list, 1, false), SYS_OK);
  EXPECT_EQ(KeyedList_Get(list, 1, nullptr), SYS_ERR_FAILED);
  EXPECT_EQ(Collect(list, false), (V{2, 3}));
  EXPECT_EQ(KeyedList_Remove(list, 1, false), SYS_ERR_FAILED);  // not the holder's reference
  EXPECT_EQ(KeyedList_Destroy(list, true, false), SYS_OK);
  list = nullptr;
  EXPECT_EQ(ReleasedCount(), 2u);  // items 2 and 3
  SYS_SetEvent(h.go, true);
  EXPECT_EQ(SYS_WaitResult(thread, 5000), SYS_OK);
  EXPECT_EQ(ReleasedCount(), 3u);  // item 1, by its holder, and the list with it
  for (SYS_Handle handle : {thread, h.holding, h.go}) SYS_CloseHandle(handle);
}
