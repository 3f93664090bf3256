// ItemList: sort rules, insertion order, buffer growth, visible counts.
#include "gui/item_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string W(const char *s) {
  std::u16string out;
  for (; *s; ++s) out += char16_t(uint8_t(*s));
  return out;
}

const uint16_t *P(const std::u16string &s) {
  return reinterpret_cast<const uint16_t *>(s.c_str());
}

std::string Narrow(const uint16_t *s) {
  std::string out;
  for (; s && *s; ++s) out += char(*s & 0xFF);
  return out;
}

// Owns a list; items are added by label or data string.
struct List {
  explicit List(uint32_t flags, uint32_t buffer_step = 256, uint32_t index_step = 4)
      : list(CreateItemList(nullptr, buffer_step, index_step, flags)) {}
  ~List() { DestroyItemList(list); }
  ItemRecord *Data(const char *data, uint32_t group = 0) {
    return InsertItem(list, nullptr, P(W(data)), 0, nullptr, group, 0);
  }
  ItemRecord *Label(const char *label, uint32_t group = 0) {
    return InsertItem(list, P(W(label)), nullptr, 0, nullptr, group, 0);
  }
  ItemRecord *Number(const void *number, const char *label) {
    return InsertItem(list, P(W(label)), nullptr, 0, number, 0, 0);
  }
  // Labels (or data strings when an item has no label) in display order.
  std::string Order() const {
    std::string out;
    for (uint32_t i = 0; i < ListCount(list); ++i) {
      const ItemRecord *r = ListItem(list, i);
      if (!out.empty()) out += ",";
      out += Narrow(r->label ? r->label : r->data);
    }
    return out;
  }
  ItemList *list;
};

TEST(ItemListSort, GroupedDataModeFoldersFirstThenNameWithoutCase) {
  List l(IL_SORTED | IL_GROUPED | IL_MODE_DATA);
  l.Data("b", 1);
  l.Data("A", 1);
  l.Data("z", 0);
  EXPECT_EQ(l.Order(), "z,A,b");
  // A higher group goes after everything of a lower one, whatever its name.
  l.Data("0", 1);
  l.Data("zz", 0);
  EXPECT_EQ(l.Order(), "z,zz,0,A,b");
}

TEST(ItemListSort, CaseRules) {
  List folded(IL_SORTED | IL_MODE_DATA);
  folded.Data("abc");
  folded.Data("ABC");
  EXPECT_EQ(folded.Order(), "abc,ABC");  // equal without case: insertion order
  List exact(IL_SORTED | IL_MODE_DATA | IL_CASE);
  exact.Data("abc");
  exact.Data("ABC");
  EXPECT_EQ(exact.Order(), "ABC,abc");
  // Only ASCII letters fold: "ax" compares as "AX" (65), before "[" (91) and "_" (95).
  List punct(IL_SORTED | IL_MODE_LABEL);
  punct.Label("_x");
  punct.Label("ax");
  punct.Label("[x");
  EXPECT_EQ(punct.Order(), "ax,[x,_x");
}

TEST(ItemListSort, PrefixAndEmptyStrings) {
  List l(IL_SORTED | IL_MODE_LABEL);
  l.Label("abc");
  l.Label("");
  l.Label("ab");
  l.Label("b");
  EXPECT_EQ(l.Order(), "ab,abc,b,");
  // An empty label is stored as none.
  EXPECT_EQ(ListItem(l.list, 3)->label, nullptr);
}

TEST(ItemListSort, HighByteComparedAfterLowByte) {
  // 0x0142 and 0x0241: the low bytes (0x42 < 0x41 is false) decide first.
  List l(IL_SORTED | IL_MODE_LABEL | IL_CASE);
  const uint16_t a[] = {0x0142, 0}, b[] = {0x0241, 0};
  InsertItem(l.list, a, nullptr, 1, nullptr, 0, 0);
  InsertItem(l.list, b, nullptr, 2, nullptr, 0, 0);
  EXPECT_EQ(ListItem(l.list, 0)->user, 2u);
  EXPECT_EQ(ListItem(l.list, 1)->user, 1u);
}

TEST(ItemListSort, UnsortedKeepsInsertionOrderModeNoneNewestFirst) {
  List plain(IL_MODE_LABEL);  // no IL_SORTED: the mode is not used
  for (const char *s : {"c", "a", "b"}) plain.Label(s);
  EXPECT_EQ(plain.Order(), "c,a,b");
  List newest(IL_SORTED | IL_MODE_NONE);
  for (const char *s : {"c", "a", "b"}) newest.Label(s);
  EXPECT_EQ(newest.Order(), "b,a,c");
  List seven(IL_SORTED | 7);
  for (const char *s : {"c", "a", "b"}) seven.Label(s);
  EXPECT_EQ(seven.Order(), "b,a,c");
  // Grouped with mode 0: newest first inside each group.
  List grouped(IL_SORTED | IL_GROUPED);
  grouped.Data("x1", 1);
  grouped.Data("y0", 0);
  grouped.Data("x2", 1);
  grouped.Data("y1", 0);
  EXPECT_EQ(grouped.Order(), "y1,y0,x2,x1");
}

TEST(ItemListSort, NumericModesWithMissingNumbersLast) {
  const float f[] = {2.5f, -1.0f, 2.5f};
  List lf(IL_SORTED | IL_MODE_FLOAT);
  lf.Number(&f[0], "a");
  lf.Number(nullptr, "none");
  lf.Number(&f[1], "b");
  lf.Number(&f[2], "c");
  EXPECT_EQ(lf.Order(), "b,a,c,none");

  const int32_t s[] = {5, -7, 0};
  List ls(IL_SORTED | IL_MODE_SIGNED);
  ls.Number(nullptr, "none");
  for (int i = 0; i < 3; ++i) ls.Number(&s[i], std::to_string(s[i]).c_str());
  EXPECT_EQ(ls.Order(), "-7,0,5,none");

  // The same bits unsigned: -7 is the largest.
  List lu(IL_SORTED | IL_MODE_UNSIGNED);
  for (int i = 0; i < 3; ++i) lu.Number(&s[i], std::to_string(s[i]).c_str());
  lu.Number(nullptr, "none");
  EXPECT_EQ(lu.Order(), "0,5,-7,none");
}

TEST(ItemListSort, KeyModeReadsTheKeyString) {
  List l(IL_SORTED | IL_MODE_KEY);
  // Insertion leaves keys null: every item sorts as "no key", after the rest.
  l.Label("b");
  l.Label("a");
  EXPECT_EQ(l.Order(), "b,a");
  const std::u16string k = W("m");
  ListItem(l.list, 1)->key = P(k);  // "a" gets a key
  ItemRecord probe = {};
  probe.key = nullptr;
  EXPECT_TRUE(ItemAfter(l.list, &probe, ListItem(l.list, 1)));
  EXPECT_FALSE(ItemAfter(l.list, ListItem(l.list, 1), &probe));
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
    InsertItem(l.list, nullptr, P(W(name.c_str())), n, nullptr, group, 0);
    std::string folded = name;
    for (char &c : folded) c = char(toupper(c));
    expect.push_back({{group, folded}, n});
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
    ASSERT_NE(InsertItem(l.list, P(W(label.c_str())), P(W(data.c_str())), n, nullptr, 0, 0),
              nullptr);
  }
  EXPECT_GE(l.list->buffer_capacity, l.list->buffer_used);
  EXPECT_EQ(l.list->buffer_capacity % 100, 0u);
  EXPECT_GE(l.list->index_capacity, 200u);
  uint32_t used = 0;
  for (uint32_t i = 0; i < 200; ++i) {
    const ItemRecord *r = ListItem(l.list, i);
    EXPECT_EQ(Narrow(r->label), "item" + std::to_string(1000 + i));
    EXPECT_EQ(Narrow(r->data), "data" + std::to_string(i));
    const uint8_t *begin = reinterpret_cast<const uint8_t *>(r);
    EXPECT_GE(reinterpret_cast<const uint8_t *>(r->label), begin);
    EXPECT_LT(reinterpret_cast<const uint8_t *>(r->data), begin + r->size);
    EXPECT_EQ(r->label, reinterpret_cast<const uint16_t *>(begin + sizeof(ItemRecord)));
    EXPECT_EQ(r->owner, l.list);
    used += r->size;
  }
  EXPECT_EQ(used, l.list->buffer_used);
}

TEST(ItemListStorage, RecordSizeCountsBothStringsAndTerminators) {
  List l(0);
  const ItemRecord *both = InsertItem(l.list, P(W("abc")), P(W("de")), 0, nullptr, 0, 0);
  const uint32_t expect = uint32_t(sizeof(ItemRecord)) + 8 + 6;
  const uint32_t align = alignof(ItemRecord);
  EXPECT_EQ(both->size, (expect + align - 1) / align * align);
  const ItemRecord *none = InsertItem(l.list, nullptr, P(W("")), 0, nullptr, 0, 0);
  EXPECT_EQ(none->size, sizeof(ItemRecord));
  EXPECT_EQ(none->label, nullptr);
  EXPECT_EQ(none->data, nullptr);
}

TEST(ItemListStorage, ZeroStepsStillGrow) {
  List l(0, 0, 0);
  for (int n = 0; n < 5; ++n) ASSERT_NE(l.Label("x"), nullptr);
  EXPECT_EQ(ListCount(l.list), 5u);
  EXPECT_GE(l.list->index_capacity, 5u);
}

std::vector<std::pair<uint32_t, uint32_t>> g_events;
void Record(ItemRecord *r, uint32_t event) {
  g_events.push_back({event, uint32_t(r->user)});
}

TEST(ItemListStorage, ChangeCallbackEvents) {
  g_events.clear();
  ItemList *list = CreateItemList(nullptr, 256, 4, IL_SORTED | IL_MODE_LABEL);
  list->on_change = Record;
  InsertItem(list, P(W("b")), nullptr, 1, nullptr, 0, 0);
  InsertItem(list, P(W("a")), nullptr, 2, nullptr, 0, 0);  // b moves to position 1
  DestroyItemList(list);
  const std::vector<std::pair<uint32_t, uint32_t>> expect = {
      {IL_EVENT_INSERTED, 1}, {IL_EVENT_MOVED, 1},   {IL_EVENT_MOVED, 2},
      {IL_EVENT_INSERTED, 2}, {IL_EVENT_REMOVED, 2}, {IL_EVENT_REMOVED, 1}};
  EXPECT_EQ(g_events, expect);
}

TEST(ItemListTree, VisibleCountsThroughNestedExpandAndCollapse) {
  List root(0);
  root.Label("A");
  root.Label("B");
  ItemRecord *a = ListItem(root.list, 0);
  ItemList *ca = CreateItemList(a, 64, 4, 0);
  a->child = ca;
  EXPECT_EQ(ca->parent_list, root.list);
  // Children of a collapsed item do not count upwards.
  InsertItem(ca, P(W("a1")), nullptr, 0, nullptr, 0, 0);
  InsertItem(ca, P(W("a2")), nullptr, 0, nullptr, 0, 0);
  EXPECT_EQ(ListVisible(ca), 2u);
  EXPECT_EQ(ListVisible(root.list), 2u);
  // Expand A the way the tree view does.
  a = ListItem(root.list, 0);
  a->flags |= IF_EXPANDED;
  AddVisible(root.list, ListVisible(ca));
  EXPECT_EQ(ListVisible(root.list), 4u);
  // A grandchild list under expanded a1: insertions climb to the root.
  ItemRecord *a1 = ListItem(ca, 0);
  ItemList *ca1 = CreateItemList(a1, 64, 4, 0);
  a1->child = ca1;
  a1->flags |= IF_EXPANDED;
  InsertItem(ca1, P(W("x")), nullptr, 0, nullptr, 0, 0);
  EXPECT_EQ(ListVisible(ca1), 1u);
  EXPECT_EQ(ListVisible(ca), 3u);
  EXPECT_EQ(ListVisible(root.list), 5u);
  // Collapse A: its whole subtree leaves the root's count.
  ListItem(root.list, 0)->flags &= ~IF_EXPANDED;
  SubVisible(root.list, ListVisible(ca));
  EXPECT_EQ(ListVisible(root.list), 2u);
  // Never below zero.
  SubVisible(ca1, 10);
  EXPECT_EQ(ListVisible(ca1), 0u);
  EXPECT_EQ(ListVisible(root.list), 0u);
}

TEST(ItemListTree, ParentItemFollowsItsRecordWhenTheBufferGrows) {
  List root(IL_SORTED | IL_MODE_LABEL, 8, 1);
  root.Label("m");
  ItemRecord *m = ListItem(root.list, 0);
  ItemList *child = CreateItemList(m, 64, 4, 0);
  m->child = child;
  for (const char *s : {"a", "z", "b", "y"}) root.Label(s);  // the buffer moves
  const ItemRecord *moved = ListItem(root.list, 2);
  EXPECT_EQ(Narrow(moved->label), "m");
  EXPECT_EQ(moved->child, child);
  EXPECT_EQ(child->parent_item, moved);
}

TEST(ItemListTree, FindFlaggedDepthFirstThroughExpandedItemsOnly) {
  List root(0);
  root.Label("A");
  root.Label("B");
  ItemRecord *a = ListItem(root.list, 0);
  a->child = CreateItemList(a, 64, 4, 0);
  ItemList *ca = a->child;
  InsertItem(ca, P(W("a1")), nullptr, 0, nullptr, 0, IF_SELECTED);
  ListItem(root.list, 1)->flags |= IF_SELECTED;
  uint32_t index = 99;
  // A is collapsed: its child is skipped.
  EXPECT_EQ(FindFlagged(root.list, IF_SELECTED, &index), root.list);
  EXPECT_EQ(index, 1u);
  ListItem(root.list, 0)->flags |= IF_EXPANDED;
  EXPECT_EQ(FindFlagged(root.list, IF_SELECTED, &index), ca);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(FindFlagged(root.list, IF_LEAF, &index), nullptr);
}

TEST(ItemListTree, SetListParamsRecursesOnlyWithOption2AndDoesNotResort) {
  List root(0);
  root.Label("b");
  root.Label("a");
  ItemRecord *b = ListItem(root.list, 0);
  b->child = CreateItemList(b, 64, 4, 0);
  SetListParams(root.list, 10, 2, IL_SORTED | IL_MODE_LABEL, 0);
  EXPECT_EQ(ListItem(root.list, 0)->child->flags, 0u);
  EXPECT_EQ(root.Order(), "b,a");
  SetListParams(root.list, 10, 2, IL_SORTED | IL_MODE_LABEL, 2);
  EXPECT_EQ(ListItem(root.list, 0)->child->flags, uint32_t(IL_SORTED | IL_MODE_LABEL));
  EXPECT_EQ(ListItem(root.list, 0)->child->buffer_step, 10u);
  root.Label("c");
  EXPECT_EQ(root.Order(), "b,a,c");
}

}  // namespace
