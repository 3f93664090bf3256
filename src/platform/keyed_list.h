// KeyedList: the shared locked container.
//
// A doubly linked list of (key, value) items guarded by one mutex, with a
// reference count per item and a release callback chosen at creation. Keys
// and values are pointer-sized; keys are compared as plain numbers and the
// lookups find the item nearest the head. Every operation returns a status
// code of platform.h: SYS_OK, the codes named at each call, and
// SYS_ERR_FAILED for a null list (or when its lock cannot be taken).
#pragma once

#include <cstdint>

struct KeyedList;

// Called once per item after its last reference is gone, outside the lock
// (so it may use the same list). Its result is ignored. SYS_ReleaseFreeKey
// (platform.h) is a ready-made one that frees the key as a pointer.
typedef uint32_t (*KeyedListReleaseFn)(uintptr_t key, uintptr_t value);

// Position codes.
enum : int32_t {
  KL_HEAD = -1,          // at the head
  KL_TAIL = -2,          // at the tail
  KL_AFTER_KEY = -3,     // after the first item whose key equals the argument
  KL_BEFORE_KEY = -4,    // before it
  KL_BEFORE_INDEX = -5,  // before the item at index argument (== count: at the tail)
};

KeyedList *KeyedList_Create(KeyedListReleaseFn release);

// KL_HEAD or KL_TAIL only (SYS_ERR_POSITION otherwise); SYS_ERR_CLOSING while
// the list is being destroyed, SYS_ERR_NOMEM. The new item holds one
// reference (the list's).
uint32_t KeyedList_Insert(KeyedList *list, uintptr_t key, uintptr_t value, int32_t position);
// Every position code; SYS_ERR_FAILED when the argument key is absent,
// SYS_ERR_INDEX when the index is beyond the count, else as KeyedList_Insert.
uint32_t KeyedList_InsertAt(KeyedList *list, uintptr_t key, uintptr_t value, int32_t position,
                            uintptr_t argument);
// Relinks the first item with that key by the same rules. A key that is not
// in the list gives SYS_OK; when the new position does not exist the item
// keeps its place and that status (as for KeyedList_InsertAt) is returned.
uint32_t KeyedList_Move(KeyedList *list, uintptr_t key, int32_t position, uintptr_t argument);

// SYS_ERR_FAILED when absent. With value given, adds a reference (give it
// back with KeyedList_Release) and returns the value.
uint32_t KeyedList_Get(KeyedList *list, uintptr_t key, uintptr_t *value);
// index KL_TAIL (-2), KL_HEAD (-1) (SYS_ERR_EMPTY when empty), or a count
// from the head (SYS_ERR_INDEX when index >= count). A reference is added
// only when value is given.
uint32_t KeyedList_GetAt(KeyedList *list, int32_t index, uintptr_t *key, uintptr_t *value);

// Drops one reference (SYS_ERR_FAILED when absent): of the first listed item with that
// key that someone holds, else of an item removed while held, else the
// list's own. At zero the item leaves the list, the callback runs, and a
// waiter in KeyedList_Remove is woken.
uint32_t KeyedList_Release(KeyedList *list, uintptr_t key);
// Drops the list's reference. An item still held leaves every lookup at
// once (a second remove finds nothing) and is freed on its holder's last
// release; with wait, returns only after that (SYS_ERR_EVENT when the
// wake-up event cannot be created). SYS_ERR_FAILED when absent.
uint32_t KeyedList_Remove(KeyedList *list, uintptr_t key, bool wait);

uint32_t KeyedList_Count(KeyedList *list, uint32_t *count);
// A fresh array of every key, head to tail, to be freed with SYS_Free; an
// empty list gives count 0 and a null array. SYS_ERR_NOMEM out of memory,
// SYS_ERR_BADARG without keys or count.
uint32_t KeyedList_Keys(KeyedList *list, uintptr_t **keys, uint32_t *count);
// The same for the values. No references are added: for a list whose items
// only the caller can remove (a list it owns), to walk it in one pass
// instead of one search per item.
uint32_t KeyedList_Values(KeyedList *list, uintptr_t **values, uint32_t *count);

// Refuses further insertions (SYS_ERR_CLOSING); with release_all removes every item
// (KeyedList_Remove with wait), then frees the list. Items still held
// elsewhere when not waiting stay alive, together with the list's memory,
// until their holders release them with KeyedList_Release; nothing else may
// be done with the list after this call. Without release_all the remaining
// items are discarded without callbacks.
uint32_t KeyedList_Destroy(KeyedList *list, bool release_all, bool wait);
