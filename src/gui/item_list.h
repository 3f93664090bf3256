// ItemList: the sorted, nested item model behind the tree view and the
// directory browser.
//
// A list holds text items (a label, a data string, a flag word, a group and a
// few user words), kept in display order by a selectable sort rule as they
// are inserted. Any item may own a child list, which makes the lists a tree.
// The records are packed back to back in one growable byte buffer (a header
// followed by the item's own 16-bit strings); a separate array of record
// pointers gives the display order. Records move when the buffer grows, so
// hold an item by (list, index), not by its record pointer, across
// insertions. Lists only grow; DestroyItemList frees a list and its subtree.
//
// The visible count of a list is its item count plus the visible counts of
// the child lists of its expanded items: the tree view's row count. The tree
// view keeps it right with AddVisible / SubVisible when it expands and
// collapses items. GUI thread only.
#pragma once

#include <cstddef>
#include <cstdint>

// List flags: bits 0-2 compare mode, then the sorting switches.
enum : uint32_t {
  IL_MODE_NONE = 0,
  IL_MODE_DATA = 1,      // data strings
  IL_MODE_LABEL = 2,     // labels
  IL_MODE_FLOAT = 3,     // number as 32-bit float
  IL_MODE_SIGNED = 4,    // number as signed 32-bit integer
  IL_MODE_UNSIGNED = 5,  // number as unsigned 32-bit integer
  IL_MODE_KEY = 6,       // key strings
  IL_MODE_MASK = 7,
  IL_SORTED = 8,
  IL_GROUPED = 16,
  IL_CASE = 32,
};

// Item flags.
enum : uint32_t {
  IF_EXPANDED = 1,
  IF_EXPANDABLE = 2,
  IF_SELECTED = 4,
  IF_LEAF = 8,
};

// Change callback events.
enum : uint32_t { IL_EVENT_REMOVED = 1, IL_EVENT_INSERTED = 2, IL_EVENT_MOVED = 3 };

struct ItemList;

// The header of a packed record; the label and then the data string follow
// it (each zero-terminated, present only when not empty). On the 32-bit
// target the header is 48 bytes.
struct ItemRecord {
  uint32_t flags;
  uint32_t group;     // primary sort key under IL_GROUPED
  uint32_t sequence;  // the list's count at insertion
  uint32_t position;  // index in the display order
  const uint16_t *data;
  const uint16_t *label;
  const uint16_t *key;  // compare mode 6; insertion leaves it null
  uintptr_t user;
  const void *number;  // compare modes 3-5 read the value it points to
  ItemList *child;
  ItemList *owner;
  uint32_t size;  // bytes of the whole record, padding included
};

typedef void (*ItemChangeFn)(ItemRecord *record, uint32_t event);

struct ItemList {
  uint32_t flags;
  uint8_t *buffer;     // records in insertion order
  ItemRecord **index;  // records in display order
  uint32_t buffer_capacity;
  uint32_t buffer_used;
  uint32_t buffer_step;
  uint32_t count;
  uint32_t index_capacity;
  uint32_t index_step;
  uint32_t visible;
  void *user;
  ItemList *parent_list;
  ItemRecord *parent_item;
  uint32_t walk_cursor;  // index + 1 of the item a tree walk is visiting
  ItemChangeFn on_change;
};

// A zero-filled list; with a parent item it hangs below that item's list and
// inherits its user pointer (the caller stores it in the item's child field).
// Null when out of memory.
ItemList *CreateItemList(ItemRecord *parent_item, uint32_t buffer_step, uint32_t index_step,
                         uint32_t flags);
// Inserts an item at its sorted place. Null or empty strings are stored as
// none. Returns the new record (valid until the next insertion), or null,
// with the list unchanged, when memory runs out or the list is full.
ItemRecord *InsertItem(ItemList *list, const uint16_t *label, const uint16_t *data, uintptr_t user,
                       const void *number, uint32_t group, uint32_t flags);
// Frees the list, its child lists and its records. Ignores null.
void DestroyItemList(ItemList *list);
// The first item in display order, depth first through expanded items, whose
// flags share a bit with mask: its list (and *index), or null.
ItemList *FindFlagged(ItemList *list, uint32_t mask, uint32_t *index);
// Stores the steps and flags; options bit 1 (value 2) does the same for every
// child list. Items already in place are not sorted again.
void SetListParams(ItemList *list, uint32_t buffer_step, uint32_t index_step, uint32_t flags,
                   uint32_t options);
void AddVisible(ItemList *list, uint32_t n);  // this list and every ancestor
void SubVisible(ItemList *list, uint32_t n);  // the same, never below 0

inline void *ListUser(const ItemList *list) {
  return list->user;
}
inline uint32_t ListCount(const ItemList *list) {
  return list->count;
}
inline uint32_t ListVisible(const ItemList *list) {
  return list->visible;
}
// The item at a display index, or null.
inline ItemRecord *ListItem(const ItemList *list, uint32_t index) {
  return list && index < list->count ? list->index[index] : nullptr;
}

// Whether the new item a sorts after the existing item b under the list's
// rule (equal items keep their insertion order).
bool ItemAfter(const ItemList *list, const ItemRecord *a, const ItemRecord *b);
// Length of a 16-bit string in characters (0 for null).
size_t ItemStrLen(const uint16_t *s);
