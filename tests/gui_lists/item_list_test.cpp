// ItemList: sort rules, insertion order, buffer growth, visible counts.
#include "gui/item_list.h"

#include <algorithm>

#include "gui_test_util.h"

namespace {

// Owns a list; Add gives an item the same label and data string.
struct List {
  explicit List(uint32_t flags, uint32_t buffer_step = 256, uint32_t index_step = 4)
      : list(CreateItemList(nullptr, buffer_step, index_step, flags)) {}
  ~List() { DestroyItemList(list); }
  ItemRecord *Add(const std::string &text, uint32_t group = 0, const void *number = nullptr,
                  uintptr_t user = 0) {
    return InsertItem(list, P(Wide(text)), P(Wide(text)), user, number, group, 0);
  }
  // Labels in display order.
  std::string Order() const {
    std::string out;
    for (uint32_t i = 0; i < ListCount(list); ++i)
      out += (i ? "," : "") + Narrow(ListItem(list, i)->label);
    return out;
  }
  ItemList *list;
};

TEST(ItemListSort, StringRulesGroupsAndInsertionOrder) {
  const struct {
    const char *what;
    uint32_t flags;
    std::vector<std::pair<const char *, uint32_t>> items;  // text, group
    const char *want;
  } cases[] = {
      // Groups and the insertion order of equal items: see the large list below.
      {"with case", IL_SORTED | IL_MODE_DATA | IL_CASE, {{"abc", 0}, {"ABC", 0}}, "ABC,abc"},
      // "ax" compares as "AX" (65), before "[" (91) and "_" (95).
      {"only ASCII letters fold",
       IL_SORTED | IL_MODE_LABEL,
       {{"_x", 0}, {"ax", 0}, {"[x", 0}},
       "ax,[x,_x"},
      {"prefix first, empty last",
       IL_SORTED | IL_MODE_LABEL,
       {{"abc", 0}, {"", 0}, {"ab", 0}, {"b", 0}},
       "ab,abc,b,"},
      {"unsorted: the mode is not used", IL_MODE_LABEL, {{"c", 0}, {"a", 0}, {"b", 0}}, "c,a,b"},
      {"mode none: newest first",
       IL_SORTED | IL_MODE_NONE,
       {{"c", 0}, {"a", 0}, {"b", 0}},
       "b,a,c"},
      {"mode 7: newest first", IL_SORTED | 7, {{"c", 0}, {"a", 0}, {"b", 0}}, "b,a,c"},
      {"mode none grouped: newest first per group",
       IL_SORTED | IL_GROUPED,
       {{"x1", 1}, {"y0", 0}, {"x2", 1}, {"y1", 0}},
       "y1,y0,x2,x1"},
  };
  for (const auto &c : cases) {
    List l(c.flags);
    for (const auto &item : c.items) ASSERT_NE(l.Add(item.first, item.second), nullptr) << c.what;
    EXPECT_EQ(l.Order(), c.want) << c.what;
  }
  // An empty string is stored as none.
  List l(0);
  EXPECT_EQ(l.Add("")->label, nullptr);
}

TEST(ItemListSort, HighByteComparedAfterLowByte) {
  // 0x0142 and 0x0241: the low bytes (0x42 < 0x41 is false) decide first.
  List l(IL_SORTED | IL_MODE_LABEL | IL_CASE);
  const uint16_t a[] = {0x0142, 0}, b[] = {0x0241, 0};
  InsertItem(l.list, a, nullptr, 1, nullptr, 0, 0);
  InsertItem(l.list, b, nullptr, 2, nullptr, 0, 0);
  EXPECT_EQ(ListItem(l.list, 0)->user, 2u);
}

TEST(ItemListSort, NumericModesWithMissingNumbersLast) {
  const float f[] = {2.5f, -1.0f, 2.5f};
  List lf(IL_SORTED | IL_MODE_FLOAT);
  lf.Add("a", 0, &f[0]);
  lf.Add("none");
  lf.Add("b", 0, &f[1]);
  lf.Add("c", 0, &f[2]);
  EXPECT_EQ(lf.Order(), "b,a,c,none");
  // The same bits signed and unsigned: -7 is the largest unsigned.
  const int32_t s[] = {5, -7, 0};
  const struct {
    uint32_t mode;
    const char *want;
  } cases[] = {{IL_MODE_SIGNED, "-7,0,5,none"}, {IL_MODE_UNSIGNED, "0,5,-7,none"}};
  for (const auto &c : cases) {
    List l(IL_SORTED | c.mode);
    l.Add("none");
    for (const int32_t &v : s) l.Add(std::to_string(v), 0, &v);
    EXPECT_EQ(l.Order(), c.want);
  }
}

TEST(ItemListSort, KeyModeReadsTheKeyString) {
  List l(IL_SORTED | IL_MODE_KEY);
  // Insertion leaves keys null: every item sorts as "no key", after the rest.
  l.Add("b");
  l.Add("a");
  EXPECT_EQ(l.Order(), "b,a");
  const std::u16string k = Wide("m");
  ListItem(l.list, 1)->key = P(k);
  ItemRecord keyless = {};
  EXPECT_TRUE(ItemAfter(l.list, &keyless, ListItem(l.list, 1)));
  EXPECT_FALSE(ItemAfter(l.list, ListItem(l.list, 1), &keyless));
}

TEST(ItemListSort, LargeSortedListMatchesAStableSort) {
  List l(IL_SORTED | IL_GROUPED | IL_MODE_DATA, 64, 3);
  std::vector<std::pair<std::pair<uint32_t, std::string>, uint32_t>> expect;
  uint32_t seed = 12345;
  for (uint32_t n = 0; n < 300; ++n) {
    seed = seed * 1103515245u + 12345u;
    std::string name(1 + (seed >> 8) % 3, 'a');
    for (char &c : name) {
      seed = seed * 1103515245u + 12345u;
      c = "aBcAbC"[(seed >> 16) % 6];
    }
    const uint32_t group = (seed >> 4) % 2;
    l.Add(name, group, nullptr, n);
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    expect.push_back({{group, name}, n});
  }
  std::stable_sort(expect.begin(), expect.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  ASSERT_EQ(ListCount(l.list), 300u);
  for (uint32_t i = 0; i < 300; ++i) {
    const ItemRecord *r = ListItem(l.list, i);
    EXPECT_EQ(r->user, expect[i].second) << i;
    EXPECT_EQ(r->position, i);
    EXPECT_EQ(r->sequence, expect[i].second);
  }
}

TEST(ItemListStorage, GrowthKeepsEveryStringInsideItsRecord) {
  List l(IL_SORTED | IL_MODE_LABEL, 100, 1);  // grows on almost every insertion
  for (int n = 0; n < 200; ++n) {
    const std::string label = "item" + std::to_string(1000 + n);
    const std::string data = "data" + std::to_string(n);
    ASSERT_NE(InsertItem(l.list, P(Wide(label)), P(Wide(data)), n, nullptr, 0, 0), nullptr);
  }
  uint32_t used = 0;
  for (uint32_t i = 0; i < 200; ++i) {
    const ItemRecord *r = ListItem(l.list, i);
    EXPECT_EQ(Narrow(r->label) + Narrow(r->data),
              "item" + std::to_string(1000 + i) + "data" + std::to_string(i));
    const uint8_t *begin = reinterpret_cast<const uint8_t *>(r);
    EXPECT_EQ(r->label, reinterpret_cast<const uint16_t *>(begin + sizeof(ItemRecord)));
    EXPECT_LT(reinterpret_cast<const uint8_t *>(r->data), begin + r->size);
    EXPECT_EQ(r->owner, l.list);
    used += r->size;
  }
  EXPECT_EQ(used, l.list->buffer_used);
  // Steps of 0 still grow.
  List zero(0, 0, 0);
  for (int n = 0; n < 5; ++n) ASSERT_NE(zero.Add("x"), nullptr);
  EXPECT_GE(zero.list->index_capacity, 5u);
}

TEST(ItemListStorage, RecordSizeCountsBothStringsAndTerminators) {
  List l(0);
  const ItemRecord *both = InsertItem(l.list, P(Wide("abc")), P(Wide("de")), 0, nullptr, 0, 0);
  const uint32_t expect = uint32_t(sizeof(ItemRecord)) + 8 + 6;
  const uint32_t align = alignof(ItemRecord);
  EXPECT_EQ(both->size, (expect + align - 1) / align * align);
  const ItemRecord *none = l.Add("");
  EXPECT_EQ(none->size, sizeof(ItemRecord));
  EXPECT_EQ(none->data, nullptr);
}

std::vector<std::pair<uint32_t, uint32_t>> g_events;
void Record(ItemRecord *r, uint32_t event) {
  g_events.push_back({event, uint32_t(r->user)});
}

TEST(ItemListStorage, ChangeCallbackEvents) {
  g_events.clear();
  List l(IL_SORTED | IL_MODE_LABEL);
  l.list->on_change = Record;
  l.Add("b", 0, nullptr, 1);
  l.Add("a", 0, nullptr, 2);  // b moves to position 1
  DestroyItemList(l.list);
  l.list = nullptr;
  const std::vector<std::pair<uint32_t, uint32_t>> expect = {
      {IL_EVENT_INSERTED, 1}, {IL_EVENT_MOVED, 1},   {IL_EVENT_MOVED, 2},
      {IL_EVENT_INSERTED, 2}, {IL_EVENT_REMOVED, 2}, {IL_EVENT_REMOVED, 1}};
  EXPECT_EQ(g_events, expect);
}

TEST(ItemListTree, VisibleCountsThroughNestedExpandAndCollapse) {
  List root(0);
  root.Add("A");
  root.Add("B");
  ItemRecord *a = ListItem(root.list, 0);
  ItemList *ca = a->child = CreateItemList(a, 64, 4, 0);
  // Children of a collapsed item do not count upwards.
  InsertItem(ca, P(Wide("a1")), nullptr, 0, nullptr, 0, 0);
  InsertItem(ca, P(Wide("a2")), nullptr, 0, nullptr, 0, 0);
  EXPECT_EQ(ListVisible(ca) * 10 + ListVisible(root.list), 22u);
  // Expand A the way the tree view does; then a grandchild list under an
  // expanded a1: insertions climb to the root.
  a->flags |= IF_EXPANDED;
  AddVisible(root.list, ListVisible(ca));
  ItemRecord *a1 = ListItem(ca, 0);
  ItemList *ca1 = a1->child = CreateItemList(a1, 64, 4, 0);
  a1->flags |= IF_EXPANDED;
  InsertItem(ca1, P(Wide("x")), nullptr, 0, nullptr, 0, 0);
  EXPECT_EQ(ListVisible(ca) * 10 + ListVisible(root.list), 35u);
  // Collapse A: its whole subtree leaves the root's count; never below zero.
  a->flags &= ~IF_EXPANDED;
  SubVisible(root.list, ListVisible(ca));
  EXPECT_EQ(ListVisible(root.list), 2u);
  SubVisible(ca1, 10);
  EXPECT_EQ(ListVisible(ca1) + ListVisible(root.list), 0u);
}

TEST(ItemListTree, ParentItemFollowsItsRecordWhenTheBufferGrows) {
  List root(IL_SORTED | IL_MODE_LABEL, 8, 1);
  root.Add("m");
  ItemRecord *m = ListItem(root.list, 0);
  ItemList *child = CreateItemList(m, 64, 4, 0);
  m->child = child;
  for (const char *s : {"a", "z", "b", "y"}) root.Add(s);  // the buffer moves
  const ItemRecord *moved = ListItem(root.list, 2);
  EXPECT_EQ(Narrow(moved->label), "m");
  EXPECT_EQ(moved->child, child);
  EXPECT_EQ(child->parent_item, moved);
}

TEST(ItemListTree, FindFlaggedDepthFirstThroughExpandedItemsOnly) {
  List root(0);
  root.Add("A");
  root.Add("B");
  ItemRecord *a = ListItem(root.list, 0);
  a->child = CreateItemList(a, 64, 4, 0);
  ItemList *ca = a->child;
  InsertItem(ca, P(Wide("a1")), nullptr, 0, nullptr, 0, IF_SELECTED);
  ListItem(root.list, 1)->flags |= IF_SELECTED;
  uint32_t index = 99;
  EXPECT_EQ(FindFlagged(root.list, IF_SELECTED, &index), root.list);  // A is collapsed
  EXPECT_EQ(index, 1u);
  ListItem(root.list, 0)->flags |= IF_EXPANDED;
  EXPECT_EQ(FindFlagged(root.list, IF_SELECTED, &index), ca);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(FindFlagged(root.list, IF_LEAF, &index), nullptr);
}

TEST(ItemListTree, SetListParamsRecursesOnlyWithOption2AndDoesNotResort) {
  List root(0);
  root.Add("b");
  root.Add("a");
  ItemRecord *b = ListItem(root.list, 0);
  b->child = CreateItemList(b, 64, 4, 0);
  SetListParams(root.list, 10, 2, IL_SORTED | IL_MODE_LABEL, 0);
  EXPECT_EQ(ListItem(root.list, 0)->child->flags, 0u);
  EXPECT_EQ(root.Order(), "b,a");
  SetListParams(root.list, 10, 2, IL_SORTED | IL_MODE_LABEL, 2);
  EXPECT_EQ(ListItem(root.list, 0)->child->flags, uint32_t(IL_SORTED | IL_MODE_LABEL));
  EXPECT_EQ(ListItem(root.list, 0)->child->buffer_step, 10u);
  root.Add("c");
  EXPECT_EQ(root.Order(), "b,a,c");
}

}  // namespace
