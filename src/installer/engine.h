// The install engine: copies the demo's files out of a volume archive into
// the install folder on a worker thread.
//
// INST_StartVolume mounts a volume archive, lists its store folder into the
// install list (plus, on volume 1, the running program as the uninstaller
// and the installer's archive copy), checks every destination name, and
// starts INST_InstallWorker, which copies the list in 1 MiB pieces and
// publishes its progress in an InstallProgress under the engine's mutex.
// The worker writes; a reader thread of its own opens, reads and decodes the
// items ahead of it into a small queue of pieces, so that the decoding of
// one piece overlaps the writing of the one before; on a volume with a hash
// list, the worker hashes each piece it has written.
// The GUI polls with INST_ReadProgress on its tick and calls INST_EngineStep,
// which runs the finishing step once the worker is done and says which
// notification to send. Everything here works without widgets; the wizard's
// progress page puts bars and labels on top.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/keyed_list.h"
#include "platform/platform.h"

// Install status, as the progress page sees it.
enum : uint32_t {
  INSTALL_IDLE = 0,       // no worker started (the volume could not be mounted)
  INSTALL_RUNNING = 1,    // copying (also after a cancel was seen)
  INSTALL_DONE = 2,       // every file copied
  INSTALL_FAILED = 3,     // a file could not be opened, created, read or written
  INSTALL_FINISHING = 4,  // the GUI has taken the end into account (set by the GUI only)
};

// Notifications the progress page sends to its handlers.
enum : uint32_t {
  INST_NOTIFY_DONE = 0x8000000C,       // files copied and finishing step done
  INST_NOTIFY_FAILED = 0x8000000D,     // copy or finishing step failed
  INST_NOTIFY_CANCELLED = 0x8000000E,  // the user refused to insert a volume
};

// One read, write and progress publication of the worker. As large as the
// archive writer's blocks, so that each read decodes straight into the copy
// buffer, and a large file takes few writes.
static const uint32_t INST_COPY_BLOCK = 1 << 20;
// Pieces the worker's reader may decode ahead of the writing: with the
// store's own block buffers, the copy holds about this many MiB and 3 more.
static const uint32_t INST_QUEUE_PIECES = 4;

// One file to install; owned by the install list.
struct FileItem {
  char *source;       // full store name
  char *destination;  // relative to the install folder, lower case
  uint64_t size;
};

// Shared between the worker and the GUI, under the engine's mutex.
struct InstallProgress {
  char current_name[SYS_MAX_PATH];  // destination name of the file being copied
  uint32_t status;                  // INSTALL_*
  uint64_t current_size;
  uint64_t current_done;
  uint64_t total_size;
  uint64_t total_done;
  char error[2 * SYS_MAX_PATH];  // what failed and on which file, once FAILED
};

struct InstallEngine {
  KeyedList *list;             // handed to the worker, which destroys it
  SYS_Handle mutex;            // guards progress
  SYS_Handle start_event;      // the worker has taken its parameters
  uint32_t volume;             // starts at 1
  char archive[SYS_MAX_PATH];  // the volume archive last tried
  InstallProgress progress;
};

// The worker of the install in progress (0 when none) and the flag that
// stops it between blocks.
extern SYS_Handle InstallWorkerThread;
extern std::atomic<uint32_t> InstallCancel;
// Waits for the worker to end, if there is one, and closes its handle. The
// worker may be showing the "Disk error" box, owned by the GUI's window, so
// the calling (GUI) thread handles its messages meanwhile. With cancel the
// worker is first told to stop.
void INST_EndWorker(bool cancel);

// The install list of a store folder (recursive), in the store's order;
// destination names are the names below the folder in lower case. Returns 1.
int INST_BuildFileList(const char *store_folder, KeyedList **out, uint64_t *total_size);
uint32_t INST_AddFileItem(KeyedList *list, const char *source, const char *destination,
                          uint64_t size);
uint32_t INST_FreeFileItem(uintptr_t key, uintptr_t value);

// Room: the need is counted in whole MB (rounded up), as the folder page
// shows it; a drive has room when its free space is at least that.
static const uint64_t INST_MB = 1 << 20;
uint64_t INST_RoundUpToMB(uint64_t bytes);
// What installing volume 1 needs (its files, the uninstaller and the
// installer's archive), rounded up to whole MB; mounts volume 1's archive.
uint64_t INST_InstallNeed();
// The free space of the drive of a full path ("C:\..."); false when unknown.
bool INST_FreeSpace(const char *path, uint64_t *free_bytes);
// The line that names the need and the free space on path's drive, saying
// so when it is too little; free_bytes 0 when unknown.
void INST_FormatRoom(char *out, size_t size, const char *path, uint64_t need,
                     const uint64_t *free_bytes);

// Creates the mutex and the start event; volume 1. false when they cannot
// be made. INST_EngineRelease closes them once no worker runs.
bool INST_EngineInit(InstallEngine *engine);
void INST_EngineRelease(InstallEngine *engine);

// Volume N's archive beside the program ("disk01.cbf") and its store folder
// ("disk01"). Buffers of SYS_MAX_PATH bytes.
void INST_VolumeNames(uint32_t volume, char *archive, char *store_folder);
// Mounts the archive, lists the folder and starts the worker; returns once
// the worker has its parameters. 1 when started; 0 when the archive could
// not be mounted (nothing started; the caller prompts for volumes above 1).
int INST_StartVolume(InstallEngine *engine, const char *archive, const char *store_folder);
// INST_StartVolume with the names of the engine's current volume.
int INST_StartCurrentVolume(InstallEngine *engine);

// The worker's body; its argument is an InstallWorkerParams.
uint32_t INST_InstallWorker(void *params);

void INST_ReadProgress(InstallEngine *engine, InstallProgress *out);
// done / size in whole percent (0 for size 0).
uint32_t INST_Percent(uint64_t done, uint64_t size);
// After the worker ended: waits for it, marks the end as taken into account,
// runs the finishing step after a complete copy, and returns the
// notification to send (INST_NOTIFY_DONE or _FAILED) exactly once; 0 while
// the worker runs, before it started, and after the end was reported.
uint32_t INST_EngineStep(InstallEngine *engine);
// The user's Cancel: stops the worker between blocks, waits for it, and
// takes back what was installed (INST_Uninstall).
void INST_CancelInstall();
