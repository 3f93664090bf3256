// ItemList storage: strings stay inside their records and child lists
// follow their parent records while the buffer grows; visible counts never
// go below zero.
#include "gui/item_list.h"

#include "gui_test_util.h"

namespace {

ItemRecord *Add(ItemList *list, const std::string &text) {
  return InsertItem(list, P(Wide(text)), P(Wide(text)), 0, nullptr, 0, 0);
}

TEST(ItemList, GrowthKeepsEveryStringInsideItsRecord) {
  ItemList *list = CreateItemList(nullptr, 100, 1, IL_SORTED | IL_MODE_LABEL);  // grows often
  for (int n = 0; n < 200; ++n) {
    const std::string label = "item" + std::to_string(1000 + n);
    const std::string data = "data" + std::to_string(n);
    ASSERT_NE(InsertItem(list, P(Wide(label)), P(Wide(data)), n, nullptr, 0, 0), nullptr);
  }
  uint32_t used = 0;
  for (uint32_t i = 0; i < 200; ++i) {
    const ItemRecord *r = ListItem(list, i);
    EXPECT_EQ(Narrow(r->label) + Narrow(r->data),
              "item" + std::to_string(1000 + i) + "data" + std::to_string(i));
    const uint8_t *begin = reinterpret_cast<const uint8_t *>(r);
    EXPECT_EQ(r->label, reinterpret_cast<const uint16_t *>(begin + sizeof(ItemRecord)));
    EXPECT_LT(reinterpret_cast<const uint8_t *>(r->data), begin + r->size);
    used += r->size;
  }
  EXPECT_EQ(used, list->buffer_used);
  DestroyItemList(list);
  // Steps of 0 still grow.
  list = CreateItemList(nullptr, 0, 0, 0);
  for (int n = 0; n < 5; ++n) ASSERT_NE(Add(list, "x"), nullptr);
  DestroyItemList(list);
}

TEST(ItemList, ChildListsFollowTheirParentAndCountsStayAboveZero) {
  ItemList *root = CreateItemList(nullptr, 8, 1, IL_SORTED | IL_MODE_LABEL);
  Add(root, "m");
  ItemRecord *m = ListItem(root, 0);
  ItemList *child = m->child = CreateItemList(m, 64, 4, 0);
  for (const char *s : {"a", "z", "b", "y"}) Add(root, s);  // the buffer moves
  const ItemRecord *moved = ListItem(root, 2);
  EXPECT_EQ(Narrow(moved->label), "m");
  EXPECT_EQ(moved->child, child);
  EXPECT_EQ(child->parent_item, moved);
  // Expanded, the child's items count at the root; collapsing takes them
  // off, and no count goes below zero.
  ListItem(root, 2)->flags |= IF_EXPANDED;
  Add(child, "c1");
  Add(child, "c2");
  EXPECT_EQ(ListVisible(root), 7u);
  ListItem(root, 2)->flags &= ~IF_EXPANDED;
  SubVisible(root, ListVisible(child));
  EXPECT_EQ(ListVisible(root), 5u);
  SubVisible(child, 10);  // climbs to the root, stopping at zero on the way
  EXPECT_EQ(ListVisible(child) + ListVisible(root), 0u);
  DestroyItemList(root);
}

}  // namespace
