// The store: the one way the program opens its data files.
//
// It merges the directories of mounted archives (lzw-packed or stored
// entries, see archive.h) with loose files in the current directory and the
// program's folder, under one case-insensitive name space of relative
// backslash paths. BF_Mount sets the store up once per process, BF_MountArchive
// adds archives, BF_OpenRetry hands out store handles for BF_Read, BF_Seek,
// BF_GetSize and BF_Close, and BF_FindFirst/BF_FindNext enumerate names by
// wildcard. When a name is missing or a read fails the store itself asks the
// user through the "Disk error" box (BF_DiskErrorBox) whether to try again.
//
// Every call is safe from several threads at once (one lock inside); the
// "Disk error" box is shown without holding it.
//
// The pieces, one file each: store_mount.cpp sets the state up and reads
// archive directories into the sorted index of store_index.cpp;
// store_handles.cpp resolves names against index and loose files and keeps
// the table of open handles; store_blocks.cpp reads open files, decoding
// packed entries block by block through a per-file cache; store_enum.cpp
// enumerates; store_disk_error.cpp asks the user. store_internal.h holds
// the state and the records they share.
#pragma once

#include <cstddef>
#include <cstdint>

typedef uintptr_t BF_Handle;  // store handle; 0 is never valid

struct BF_MountParams {
  const char *archive_pattern;  // carried, not used ("*.cbf")
  const char *root1;            // the program's folder, or 0
  const char *root2;            // a folder that takes part in enumeration only, or 0
  uint32_t loose_files;         // non-zero: loose files may be opened
  uint32_t loose_first;         // non-zero: loose files are tried before archives
  uint32_t keep_duplicates;     // non-zero: enumeration keeps repeated names
};

// Results of BF_Mount, which alone answers 1 for success.
enum : uint32_t { BF_MOUNT_FAILED = 0, BF_MOUNTED = 1 };

// Results of BF_MountArchive.
enum : uint32_t {
  BF_OK = 0,
  BF_ERR_MEMORY = 0x10000001,     // no memory for the directory or the handle
  BF_ERR_DIRECTORY = 0x10000003,  // an entry could not be added (empty name, full)
  BF_ERR_IO = 0x10000006,         // the directory could not be read
  BF_ERR_FORMAT = 0x10000007,     // bad header, magic or size; bad directory records
  BF_ERR_OPEN = 0xFFFFFFFFu,      // the archive file cannot be opened
};

// Answers of the "Disk error" box.
enum : uint32_t { BF_RETRY = 0x20000000, BF_CANCEL = 0x20000001 };

// BF_Open flags.
enum : uint32_t {
  BF_OPEN_READ = 0x80000000u,   // what most callers pass
  BF_OPEN_WRITE = 0x40000000u,  // forces a loose file
  BF_OPEN_SEQUENTIAL = 2,       // archive entry read through a handle of its own
};

static const uint64_t BF_BAD_POS = ~uint64_t(0);  // failed seek, unknown handle or size

// An enumeration in progress. Names live in a reserved 5 MB region as a
// length byte, the name and a zero byte each; base is 0 once it has ended.
struct BF_FindContext {
  uint8_t *base;
  size_t used;
  size_t committed;
  size_t read;
};

uint32_t BF_Mount(const BF_MountParams *params);  // BF_MOUNTED or BF_MOUNT_FAILED
void BF_Unmount();                                // closes every file and archive
// BF_OK or BF_ERR_*; BF_OK at once for a path mounted already. After BF_ERR_DIRECTORY the entries
// added before the failing one stay mounted and readable.
uint32_t BF_MountArchive(const char *path, uint32_t extra_flags);

BF_Handle BF_Open(const char *name, uint32_t flags, bool retry);
BF_Handle BF_OpenRetry(const char *name, uint32_t flags);  // BF_Open with retry on
// Bytes delivered: 0 at the end, on error or after Cancel.
uint32_t BF_Read(BF_Handle handle, void *buffer, uint32_t bytes);
// Reads exactly bytes; false when the file ends first, a read fails or the
// user cancels. A read may stop short at a block the store cannot deliver:
// reading on from there lets the store ask the user ("Disk error") first.
bool BF_ReadAll(BF_Handle handle, void *buffer, uint32_t bytes);
// origin 0: offset from the start; 1: from the position; 2: size - offset.
// Returns the new position or BF_BAD_POS (position unchanged).
uint64_t BF_Seek(BF_Handle handle, int64_t offset, uint32_t origin);
uint64_t BF_GetSize(BF_Handle handle);      // BF_BAD_POS for an unknown handle
uint64_t BF_GetFileSize(const char *name);  // opens with retry; BF_BAD_POS if absent
void BF_Close(BF_Handle handle);

// Names are upper case and stay valid until the enumeration has ended.
const char *BF_FindFirst(const char *pattern, bool recursive, BF_FindContext *context);
const char *BF_FindNext(BF_FindContext *context);
// Ends an enumeration early (releases its names); harmless when it has ended.
void BF_FindClose(BF_FindContext *context);

// Asks the user about a failed access; BF_RETRY (OK) or BF_CANCEL.
uint32_t BF_DiskErrorBox(BF_Handle handle, const char *name);
// The box's caption and its first line for the install folder and for
// other files, copied; a null one keeps the English text. Called once at
// start-up, before any other thread uses the store.
void BF_SetDiskErrorTexts(const char *caption, const char *install_dir, const char *file);
