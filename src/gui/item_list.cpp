// ItemList: insertion at the sorted place, packed records, visible counts.
#include "gui/item_list.h"

#include "platform/platform.h"

namespace {

// Records start on this boundary so that their headers can be read in place.
const uint32_t kAlign = alignof(ItemRecord);
// Keeps every size computation well inside 32 bits.
const uint64_t kMaxBytes = 0x40000000u;

static_assert(sizeof(void *) != 4 || sizeof(ItemRecord) == 48, "48-byte header on 32-bit");

uint32_t iStrBytes(const uint16_t *s) {
  return uint32_t(ItemStrLen(s) * 2);
}

// New capacity: raised in whole steps (exactly to need for step 0) to hold
// need, and by at least half the old capacity, so that filling a folder of
// many thousand entries copies each byte only a few times. 0 when need is
// beyond the limit.
uint64_t iGrow(uint64_t capacity, uint64_t need, uint32_t step) {
  if (need > kMaxBytes) return 0;
  auto raise = [&](uint64_t want) {
    if (want < need) want = need;
    return step ? capacity + (want - capacity + step - 1) / step * step : want;
  };
  const uint64_t grown = raise(capacity + capacity / 2);
  if (grown <= kMaxBytes) return grown;
  const uint64_t least = raise(need);
  return least <= kMaxBytes ? least : 0;
}

// String rule: whether s sorts after t.
bool iStringAfter(const uint16_t *s, const uint16_t *t, bool match_case) {
  if (!s) return true;
  if (!t) return false;
  if (!*s) return true;
  if (!*t) return false;
  const size_t ls = ItemStrLen(s) * 2, lt = ItemStrLen(t) * 2;
  const size_t n = ls < lt ? ls : lt;
  for (size_t i = 0; i < n; ++i) {
    // Low byte first, then high byte; ASCII lower-case bytes fold to upper.
    uint8_t a = uint8_t(i & 1 ? s[i / 2] >> 8 : s[i / 2] & 0xFF);
    uint8_t b = uint8_t(i & 1 ? t[i / 2] >> 8 : t[i / 2] & 0xFF);
    if (!match_case) {
      if (a >= 97 && a <= 122) a = uint8_t(a - 32);
      if (b >= 97 && b <= 122) b = uint8_t(b - 32);
    }
    if (a != b) return a > b;
  }
  return ls >= lt;
}

template <class T>
T iNumber(const void *p) {
  T v;
  SYS_Copy(&v, p, sizeof v);
  return v;
}

uint32_t iInsertPosition(const ItemList *list, const ItemRecord *item) {
  const uint32_t c = list->count;
  ItemRecord *const *ix = list->index;
  if (c == 0) return 0;
  if (c == 1) return ItemAfter(list, item, ix[0]) ? 1 : 0;
  if (ItemAfter(list, item, ix[c - 1])) return c;
  if (!ItemAfter(list, item, ix[0])) return 0;
  uint32_t lo = 0, hi = c;
  while (hi - lo != 1) {
    const uint32_t mid = (lo + hi) / 2;
    if (ItemAfter(list, item, ix[mid]))
      lo = mid;
    else
      hi = mid;
  }
  if (ItemAfter(list, item, ix[hi])) return hi + 1;
  return ItemAfter(list, item, ix[lo]) ? hi : lo;
}

// Points the record's strings at its own copies (label first, then data).
void iFixStrings(ItemRecord *r, bool has_label, bool has_data) {
  uint16_t *p = reinterpret_cast<uint16_t *>(reinterpret_cast<uint8_t *>(r) + sizeof(ItemRecord));
  r->label = has_label ? p : nullptr;
  if (has_label) p += ItemStrLen(p) + 1;
  r->data = has_data ? p : nullptr;
}

// Walks the records in storage order: index[position] = record, string and
// child-list pointers recomputed, moved records reported when asked. Returns the last.
ItemRecord *iReindex(ItemList *list, bool report) {
  ItemRecord *last = nullptr;
  uint32_t ordinal = 0;
  for (uint32_t used = 0; used < list->buffer_used; ++ordinal) {
    ItemRecord *r = reinterpret_cast<ItemRecord *>(list->buffer + used);
    list->index[r->position] = r;
    iFixStrings(r, r->label != nullptr, r->data != nullptr);
    if (r->child) r->child->parent_item = r;
    if (report && r->position != ordinal && list->on_change) list->on_change(r, IL_EVENT_MOVED);
    used += r->size;
    last = r;
  }
  return last;
}

}  // namespace

size_t ItemStrLen(const uint16_t *s) {
  size_t n = 0;
  if (s)
    while (s[n]) ++n;
  return n;
}

bool ItemAfter(const ItemList *list, const ItemRecord *a, const ItemRecord *b) {
  const uint32_t f = list->flags;
  if (!(f & IL_SORTED)) return a->sequence >= b->sequence;
  if (f & IL_GROUPED) {
    if (a->group > b->group) return true;
    if (a->group < b->group) return false;
  }
  const bool match_case = (f & IL_CASE) != 0;
  switch (f & IL_MODE_MASK) {
    case IL_MODE_DATA:
      return iStringAfter(a->data, b->data, match_case);
    case IL_MODE_LABEL:
      return iStringAfter(a->label, b->label, match_case);
    case IL_MODE_KEY:
      return iStringAfter(a->key, b->key, match_case);
    case IL_MODE_FLOAT:
    case IL_MODE_SIGNED:
    case IL_MODE_UNSIGNED:
      if (!a->number) return true;
      if (!b->number) return false;
      if ((f & IL_MODE_MASK) == IL_MODE_FLOAT)
        return iNumber<float>(a->number) >= iNumber<float>(b->number);
      if ((f & IL_MODE_MASK) == IL_MODE_SIGNED)
        return iNumber<int32_t>(a->number) >= iNumber<int32_t>(b->number);
      return iNumber<uint32_t>(a->number) >= iNumber<uint32_t>(b->number);
    default:
      return false;  // modes 0 and 7: the newest item goes first
  }
}

ItemList *CreateItemList(ItemRecord *parent_item, uint32_t buffer_step, uint32_t index_step,
                         uint32_t flags) {
  ItemList *list = static_cast<ItemList *>(SYS_Alloc(sizeof(ItemList), "ItemList"));
  if (!list) return nullptr;
  SYS_Zero(list, sizeof *list);
  list->buffer_step = buffer_step;
  list->index_step = index_step;
  list->flags = flags;
  if (parent_item) {
    list->parent_item = parent_item;
    list->parent_list = parent_item->owner;
    if (parent_item->owner) list->user = parent_item->owner->user;
  }
  return list;
}

ItemRecord *InsertItem(ItemList *list, const uint16_t *label, const uint16_t *data, uintptr_t user,
                       const void *number, uint32_t group, uint32_t flags) {
  if (!list) return nullptr;
  const uint32_t label_bytes = iStrBytes(label), data_bytes = iStrBytes(data);
  if (label_bytes > kMaxBytes / 4 || data_bytes > kMaxBytes / 4) return nullptr;
  uint32_t size = uint32_t(sizeof(ItemRecord)) + (label_bytes ? label_bytes + 2 : 0) +
                  (data_bytes ? data_bytes + 2 : 0);
  size = (size + kAlign - 1) / kAlign * kAlign;

  ItemRecord head = {};
  head.flags = flags;
  head.group = group;
  head.sequence = list->count;
  head.user = user;
  head.number = number;
  head.owner = list;
  head.size = size;
  head.label = label_bytes ? label : nullptr;
  head.data = data_bytes ? data : nullptr;

  // Make room first, so that a failed allocation leaves the list as it was.
  bool moved = false;
  const uint64_t need = uint64_t(list->buffer_used) + size;
  if (need > list->buffer_capacity) {
    const uint64_t cap = iGrow(list->buffer_capacity, need, list->buffer_step);
    uint8_t *grown = cap ? static_cast<uint8_t *>(SYS_Alloc(size_t(cap), "ItemList buffer")) : 0;
    if (!grown) return nullptr;
    if (list->buffer_used) SYS_Copy(grown, list->buffer, list->buffer_used);
    SYS_FreeSafe(list->buffer);
    list->buffer = grown;
    list->buffer_capacity = uint32_t(cap);
    moved = true;
  }
  if (uint64_t(list->count) + 1 > list->index_capacity) {
    const uint64_t cap = iGrow(list->index_capacity, uint64_t(list->count) + 1, list->index_step);
    ItemRecord **grown = cap ? static_cast<ItemRecord **>(
                                   SYS_Alloc(size_t(cap) * sizeof(ItemRecord *), "ItemList index"))
                             : nullptr;
    if (!grown) return nullptr;
    SYS_FreeSafe(list->index);
    list->index = grown;
    list->index_capacity = uint32_t(cap);
    moved = true;
  }
  // Records or the index may have moved: point the index, the strings and
  // the child lists at where they are now before the sort reads them.
  if (moved) iReindex(list, false);

  // The strings are still the caller's; the sort needs only the header.
  const uint32_t p = iInsertPosition(list, &head);
  for (uint32_t i = p; i < list->count; ++i) list->index[i]->position += 1;
  head.position = p;

  uint8_t *at = list->buffer + list->buffer_used;
  SYS_Copy(at, &head, sizeof head);
  uint8_t *s = at + sizeof head;
  if (label_bytes) {
    SYS_Copy(s, label, label_bytes + 2);
    s += label_bytes + 2;
  }
  if (data_bytes) SYS_Copy(s, data, data_bytes + 2);
  list->buffer_used += size;
  list->count += 1;

  ItemRecord *added = reinterpret_cast<ItemRecord *>(at);
  if (list->on_change) {
    // The full walk reports every record whose place changed.
    iReindex(list, true);
  } else {
    // Everything else is in place already: open the index at p.
    for (uint32_t i = list->count - 1; i > p; --i) list->index[i] = list->index[i - 1];
    list->index[p] = added;
    iFixStrings(added, label_bytes != 0, data_bytes != 0);
  }

  list->visible += 1;
  if (list->parent_item && (list->parent_item->flags & IF_EXPANDED))
    AddVisible(list->parent_list, 1);
  if (list->on_change) list->on_change(added, IL_EVENT_INSERTED);
  return added;
}

void DestroyItemList(ItemList *list) {
  if (!list) return;
  for (uint32_t i = 0; i < list->count; ++i) {
    ItemRecord *r = list->index[i];
    DestroyItemList(r->child);
    r->child = nullptr;
    if (list->on_change) list->on_change(r, IL_EVENT_REMOVED);
  }
  SYS_FreeSafe(list->index);
  SYS_FreeSafe(list->buffer);
  SYS_Free(list);
}

ItemList *FindFlagged(ItemList *list, uint32_t mask, uint32_t *index) {
  if (!list) return nullptr;
  for (uint32_t i = 0; i < list->count; ++i) {
    ItemRecord *r = list->index[i];
    if (r->flags & mask) {
      if (index) *index = i;
      return list;
    }
    if ((r->flags & IF_EXPANDED) && r->child) {
      if (ItemList *found = FindFlagged(r->child, mask, index)) return found;
    }
  }
  return nullptr;
}

void SetListParams(ItemList *list, uint32_t buffer_step, uint32_t index_step, uint32_t flags,
                   uint32_t options) {
  if (!list) return;
  list->buffer_step = buffer_step;
  list->index_step = index_step;
  list->flags = flags;
  if (!(options & 2)) return;
  for (uint32_t i = 0; i < list->count; ++i)
    SetListParams(list->index[i]->child, buffer_step, index_step, flags, options);
}

void AddVisible(ItemList *list, uint32_t n) {
  for (; list; list = list->parent_list) list->visible += n;
}

void SubVisible(ItemList *list, uint32_t n) {
  for (; list; list = list->parent_list) list->visible = list->visible > n ? list->visible - n : 0;
}
