// KeyedList: a mutex-guarded doubly linked list of reference
// counted (key, value) items. Built on the platform's own mutex and events,
// so it is the same code on every backend.
//
// An item removed while someone else holds it leaves every lookup at once
// (so nobody can take it, or remove it, again) and waits on a chain of its
// own for its holders' KeyedList_Release calls; the last one ends it.
#include "platform/keyed_list.h"

#include "platform/platform.h"

namespace {

struct Item {
  Item *next;
  Item *prev;
  uint32_t refs;
  SYS_Handle event;  // set only while someone waits in KeyedList_Remove
  uintptr_t key;
  uintptr_t value;
  bool removed;  // on the removed chain
};

struct Chain {
  Item *head;
  Item *tail;
  uint32_t count;
};

}  // namespace

struct KeyedList {
  SYS_Handle mutex;
  Chain items;  // what every lookup sees
  // Items removed while others still held them: only their holders'
  // releases reach them, so they cannot be taken or removed again.
  Chain removed;
  bool closing;    // KeyedList_Destroy has begun: insertions refused
  bool destroyed;  // KeyedList_Destroy has ended: the last release frees the list
  KeyedListReleaseFn release;
};

namespace {

// Takes the list's mutex: 0, or the failed wait's status.
uint32_t Lock(KeyedList *list) {
  return SYS_WaitResult(list->mutex, SYS_INFINITE);
}
void Unlock(KeyedList *list) {
  SYS_ReleaseMutex(list->mutex);
}

void FreeList(KeyedList *list) {
  SYS_CloseHandle(list->mutex);
  SYS_Free(list);
}

Item *Find(const Chain &chain, uintptr_t key) {
  for (Item *it = chain.head; it; it = it->next)
    if (it->key == key) return it;
  return nullptr;
}

// The item a holder's KeyedList_Release gives its reference back to: the
// first listed one that someone holds besides the list, else a removed one,
// else the first listed one (its release drops the list's own reference).
Item *FindHeld(KeyedList *list, uintptr_t key) {
  for (Item *it = list->items.head; it; it = it->next)
    if (it->key == key && it->refs > 1) return it;
  Item *removed = Find(list->removed, key);
  return removed ? removed : Find(list->items, key);
}

void LinkAfter(Chain *chain, Item *item, Item *prev) {
  Item *next = prev ? prev->next : chain->head;
  item->prev = prev;
  item->next = next;
  (prev ? prev->next : chain->head) = item;
  (next ? next->prev : chain->tail) = item;
  chain->count++;
}

void Unlink(Chain *chain, Item *item) {
  (item->prev ? item->prev->next : chain->head) = item->next;
  (item->next ? item->next->prev : chain->tail) = item->prev;
  item->next = item->prev = nullptr;
  chain->count--;
}

// Links an unlinked item at the place a position code names.
uint32_t Link(Chain *items, Item *item, int32_t position, uintptr_t argument) {
  switch (position) {
    case KL_HEAD:
      LinkAfter(items, item, nullptr);
      return SYS_OK;
    case KL_TAIL:
      LinkAfter(items, item, items->tail);
      return SYS_OK;
    case KL_AFTER_KEY:
    case KL_BEFORE_KEY: {
      Item *at = Find(*items, argument);
      if (!at) return SYS_ERR_FAILED;
      LinkAfter(items, item, position == KL_AFTER_KEY ? at : at->prev);
      return SYS_OK;
    }
    case KL_BEFORE_INDEX: {
      if (argument > items->count) return SYS_ERR_INDEX;
      Item *prev = nullptr;
      for (uintptr_t i = 0; i < argument; i++) prev = prev ? prev->next : items->head;
      LinkAfter(items, item, prev);
      return SYS_OK;
    }
    default:
      return SYS_ERR_POSITION;
  }
}

// Drops one reference of an item while the mutex is held, and releases the
// mutex. At zero: unlink, callback outside the lock, free, wake the waiter.
void ReleaseLocked(KeyedList *list, Item *item) {
  if (--item->refs > 0) {
    Unlock(list);
    return;
  }
  Unlink(item->removed ? &list->removed : &list->items, item);
  bool free_list = list->destroyed && list->items.count == 0 && list->removed.count == 0;
  KeyedListReleaseFn release = list->release;
  Unlock(list);
  if (release) release(item->key, item->value);
  SYS_Handle event = item->event;
  SYS_Free(item);
  if (event) SYS_SetEvent(event, true);
  if (free_list) FreeList(list);
}

// Frees a chain's items without callbacks, waking their waiters.
void DiscardItems(const Chain &chain) {
  for (Item *it = chain.head, *next; it; it = next) {
    next = it->next;
    if (it->event) SYS_SetEvent(it->event, true);
    SYS_Free(it);
  }
}

uint32_t InsertItem(KeyedList *list, uintptr_t key, uintptr_t value, int32_t position,
                    uintptr_t argument) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  if (list->closing) {
    Unlock(list);
    return SYS_ERR_CLOSING;
  }
  Item *item = static_cast<Item *>(SYS_Alloc(sizeof(Item), "KeyedList item"));
  if (!item) {
    Unlock(list);
    return SYS_ERR_NOMEM;
  }
  *item = Item{nullptr, nullptr, 1, 0, key, value, false};
  status = Link(&list->items, item, position, argument);
  if (status != SYS_OK) SYS_Free(item);
  Unlock(list);
  return status;
}

}  // namespace

KeyedList *KeyedList_Create(KeyedListReleaseFn release) {
  KeyedList *list = static_cast<KeyedList *>(SYS_Alloc(sizeof(KeyedList), "KeyedList"));
  if (!list) return nullptr;
  *list = KeyedList{SYS_CreateMutex(false), {}, {}, false, false, release};
  if (!list->mutex) {
    SYS_Free(list);
    return nullptr;
  }
  return list;
}

uint32_t KeyedList_Insert(KeyedList *list, uintptr_t key, uintptr_t value, int32_t position) {
  if (position != KL_HEAD && position != KL_TAIL) return SYS_ERR_POSITION;
  return InsertItem(list, key, value, position, 0);
}

uint32_t KeyedList_InsertAt(KeyedList *list, uintptr_t key, uintptr_t value, int32_t position,
                            uintptr_t argument) {
  return InsertItem(list, key, value, position, argument);
}

uint32_t KeyedList_Move(KeyedList *list, uintptr_t key, int32_t position, uintptr_t argument) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  Item *item = Find(list->items, key);
  if (item) {
    Item *old_prev = item->prev;
    Unlink(&list->items, item);
    status = Link(&list->items, item, position, argument);
    if (status != SYS_OK) LinkAfter(&list->items, item, old_prev);
  }
  Unlock(list);
  return status;
}

uint32_t KeyedList_Get(KeyedList *list, uintptr_t key, uintptr_t *value) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  Item *item = Find(list->items, key);
  if (!item) {
    status = SYS_ERR_FAILED;
  } else if (value) {
    item->refs++;
    *value = item->value;
  }
  Unlock(list);
  return status;
}

uint32_t KeyedList_GetAt(KeyedList *list, int32_t index, uintptr_t *key, uintptr_t *value) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  Item *item = nullptr;
  if (index == KL_HEAD || index == KL_TAIL) {
    item = index == KL_HEAD ? list->items.head : list->items.tail;
    if (!item) status = SYS_ERR_EMPTY;
  } else if (index < 0 || static_cast<uint32_t>(index) >= list->items.count) {
    status = SYS_ERR_INDEX;
  } else {
    item = list->items.head;
    for (int32_t i = 0; i < index; i++) item = item->next;
  }
  if (item) {
    if (key) *key = item->key;
    if (value) {
      item->refs++;
      *value = item->value;
    }
  }
  Unlock(list);
  return status;
}

uint32_t KeyedList_Release(KeyedList *list, uintptr_t key) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  Item *item = FindHeld(list, key);
  if (!item) {
    Unlock(list);
    return SYS_ERR_FAILED;
  }
  ReleaseLocked(list, item);
  return SYS_OK;
}

uint32_t KeyedList_Remove(KeyedList *list, uintptr_t key, bool wait) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  Item *item = Find(list->items, key);
  if (!item) {
    Unlock(list);
    return SYS_ERR_FAILED;
  }
  SYS_Handle event = 0;
  if (wait) {
    event = SYS_CreateEvent();
    if (!event) {
      Unlock(list);
      return SYS_ERR_EVENT;
    }
    item->event = event;
  }
  if (item->refs > 1) {
    // Held elsewhere: out of every lookup from now on, until its holders
    // have given their references back.
    Unlink(&list->items, item);
    LinkAfter(&list->removed, item, list->removed.tail);
    item->removed = true;
  }
  ReleaseLocked(list, item);
  if (!event) return SYS_OK;
  status = SYS_WaitResult(event, SYS_INFINITE);
  SYS_CloseHandle(event);
  return status;
}

uint32_t KeyedList_Count(KeyedList *list, uint32_t *count) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  if (count) *count = list->items.count;
  Unlock(list);
  return SYS_OK;
}

// A fresh array of every item's key (values false) or value, head to tail.
static uint32_t Collect(KeyedList *list, bool values, uintptr_t **out, uint32_t *count) {
  if (!list) return SYS_ERR_FAILED;
  if (!out || !count) return SYS_ERR_BADARG;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  *out = nullptr;
  *count = 0;
  if (list->items.count > 0) {
    uintptr_t *array = static_cast<uintptr_t *>(
        SYS_Alloc(list->items.count * sizeof(uintptr_t), "KeyedList keys"));
    if (!array) {
      status = SYS_ERR_NOMEM;
    } else {
      uint32_t n = 0;
      for (Item *it = list->items.head; it; it = it->next)
        array[n++] = values ? it->value : it->key;
      *out = array;
      *count = n;
    }
  }
  Unlock(list);
  return status;
}

uint32_t KeyedList_Keys(KeyedList *list, uintptr_t **keys, uint32_t *count) {
  return Collect(list, false, keys, count);
}

uint32_t KeyedList_Values(KeyedList *list, uintptr_t **values, uint32_t *count) {
  return Collect(list, true, values, count);
}

uint32_t KeyedList_Destroy(KeyedList *list, bool release_all, bool wait) {
  if (!list) return SYS_ERR_FAILED;
  uint32_t status = Lock(list);
  if (status != SYS_OK) return status;
  list->closing = true;
  Unlock(list);

  if (release_all) {
    uintptr_t *keys = nullptr;
    uint32_t count = 0;
    status = KeyedList_Keys(list, &keys, &count);
    if (status != SYS_OK) return status;
    for (uint32_t i = 0; i < count; i++) KeyedList_Remove(list, keys[i], wait);
    SYS_FreeSafe(keys);
  }

  status = Lock(list);
  if (status != SYS_OK) return status;
  if (release_all && (list->items.count > 0 || list->removed.count > 0)) {
    // Still held elsewhere: the last KeyedList_Release frees the list.
    list->destroyed = true;
    Unlock(list);
    return SYS_OK;
  }
  DiscardItems(list->items);
  DiscardItems(list->removed);
  Unlock(list);
  FreeList(list);
  return SYS_OK;
}
