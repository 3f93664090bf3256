#include "installer/engine.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "installer/content_check.h"
#include "installer/files.h"
#include "installer/scoped.h"
#include "installer/state.h"
#include "installer/system.h"
#include "installer/texts.h"
#include "installer/uninstall.h"
#include "platform/startup.h"
#include "store/store.h"

SYS_Handle InstallWorkerThread;
std::atomic<uint32_t> InstallCancel;

namespace {

// What the worker is handed; it copies this before signalling the start
// event, so the block may live on the creator's stack.
struct InstallWorkerParams {
  SYS_Handle start_event;
  SYS_Handle mutex;
  const char *install_folder;
  const char *store_folder;
  KeyedList *list;
  InstallProgress *progress;
};

char *CopyText(const char *text) {
  size_t n = SYS_StrLen(text);
  char *copy = static_cast<char *>(SYS_Alloc(n + 1, "FileItem"));
  if (copy) SYS_Copy(copy, text, n + 1);
  return copy;
}

// One piece of an item's content on its way from the reader to the writer.
struct Piece {
  uint8_t *data;      // a buffer of the queue, INST_COPY_BLOCK bytes
  uint32_t size;      // bytes of content in it
  bool last;          // the item's content ends with this piece
  const char *error;  // the reader's failure on this item, or 0 (then data is 0)
};

// Decoded pieces in list order from the reader to the writer, and the fixed
// set of buffers they travel in: the reader works ahead by at most
// INST_QUEUE_PIECES pieces, which bounds the memory the copy holds.
class PieceQueue {
 public:
  ~PieceQueue() {
    for (uint8_t *b : buffers_) SYS_Free(b);
  }
  bool Init() {
    for (uint32_t i = 0; i < INST_QUEUE_PIECES; i++) {
      uint8_t *b = static_cast<uint8_t *>(SYS_Alloc(INST_COPY_BLOCK, "Copy block"));
      if (!b) return false;
      buffers_.push_back(b);
      free_.push_back(b);
    }
    return true;
  }
  // Reader: a free buffer, waiting for one; 0 once the writer has stopped.
  uint8_t *TakeFree() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || !free_.empty(); });
    if (stopped_) return nullptr;
    uint8_t *b = free_.back();
    free_.pop_back();
    return b;
  }
  // The writer is done with b (the reader too, for a buffer it never pushed).
  void GiveBack(uint8_t *b) {
    if (!b) return;
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(b);
    changed_.notify_all();
  }
  void Push(const Piece &p) {
    std::lock_guard<std::mutex> lock(mutex_);
    filled_.push_back(p);
    changed_.notify_all();
  }
  // The reader has pushed everything it will.
  void ReaderDone() {
    std::lock_guard<std::mutex> lock(mutex_);
    reader_done_ = true;
    changed_.notify_all();
  }
  // The writer's next piece in order; false when the reader ended without one.
  bool Pop(Piece *p) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return reader_done_ || !filled_.empty(); });
    if (filled_.empty()) return false;
    *p = filled_.front();
    filled_.pop_front();
    return true;
  }
  // Writer: no more pieces wanted; the reader stops at its next buffer.
  void Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint8_t *> buffers_, free_;  // every buffer; those free now
  std::deque<Piece> filled_;
  bool stopped_ = false, reader_done_ = false;
};

// Opens, reads and decodes the list's items in order into the queue, on a
// thread of its own, so that decoding the next piece overlaps writing the
// last. It stops between pieces on a cancel or when the writer stops it, and
// ends after the first item it cannot deliver, with that item's failure as
// its last piece.
class Reader {
 public:
  Reader(FileItem **items, uint32_t count, PieceQueue *queue)
      : items_(items), count_(count), queue_(queue) {}

  static uint32_t ThreadMain(void *self) {
    static_cast<Reader *>(self)->Run();
    return 1;
  }

 private:
  void Run() {
    for (uint32_t i = 0; i < count_ && !InstallCancel && ReadItem(i); i++) {
    }
    queue_->ReaderDone();
  }

  // false when the reader is to stop.
  bool ReadItem(uint32_t i) {
    const FileItem &item = *items_[i];
    ScopedStoreFile source;
    source.h = item.size == BF_BAD_POS ? 0 : BF_OpenRetry(item.source, 0);
    if (!source.h) return Failed(INST_GetText(TEXT_CANNOT_OPEN));
    uint64_t remaining = item.size;
    do {
      uint32_t n = remaining < INST_COPY_BLOCK ? uint32_t(remaining) : INST_COPY_BLOCK;
      uint8_t *buffer = queue_->TakeFree();
      if (!buffer) return false;
      if (!BF_ReadAll(source.h, buffer, n)) {
        queue_->GiveBack(buffer);
        return Failed(INST_GetText(TEXT_CANNOT_READ));
      }
      remaining -= n;
      queue_->Push({buffer, n, remaining == 0, nullptr});
    } while (remaining > 0 && !InstallCancel);
    return true;
  }

  bool Failed(const char *what) {
    queue_->Push({nullptr, 0, true, what});
    return false;
  }

  FileItem **items_;
  uint32_t count_;
  PieceQueue *queue_;
};

// The writer: takes the pieces from the reader's queue in order and writes
// them into the install folder, publishing its progress after each piece.
class Worker {
 public:
  explicit Worker(const InstallWorkerParams &p) : p_(p) {}

  uint32_t Run() {
    InstallProgress &progress = *p_.progress;
    // The creator waits on the start event, so these need no lock.
    progress.current_name[0] = 0;
    progress.error[0] = 0;
    progress.status = INSTALL_RUNNING;
    progress.total_done = progress.current_done = progress.current_size = 0;
    InstallCancel = 0;
    // The list is the worker's alone now: one pass takes every item.
    uintptr_t *values = nullptr;
    bool listed = KeyedList_Values(p_.list, &values, &count_) == SYS_OK;
    items_ = reinterpret_cast<FileItem **>(values);
    progress.total_size = TotalSize();
    SYS_StrCopy(store_folder_, sizeof store_folder_, p_.store_folder);
    bool prefix_ok = INST_JoinPath(prefix_, sizeof prefix_, p_.install_folder, "");
    const FileItem *unsafe = FirstUnsafeItem();
    const FileItem *too_long = prefix_ok ? FirstTooLongItem() : nullptr;
    SYS_SetEvent(p_.start_event, true);

    bool ok = true;
    if (!listed) {
      ok = Fail(INST_GetText(TEXT_CANNOT_READ_LIST), "");
    } else if (unsafe) {
      ok = Fail(INST_GetText(TEXT_UNSAFE_NAME), unsafe->destination);
    } else if (too_long) {
      ok = Fail(INST_GetText(TEXT_PATH_TOO_LONG), too_long->destination);
    } else if (!prefix_ok) {
      ok = Fail(INST_GetText(TEXT_CANNOT_PREPARE_FOLDER), p_.install_folder);
    } else if (!check_.Load(store_folder_)) {
      ok = Fail(INST_GetText(TEXT_DAMAGED_FILE),
                (std::string(store_folder_) + BF_HASH_LIST_SUFFIX).c_str());
    } else if (!queue_.Init()) {
      ok = Fail(INST_GetText(TEXT_CANNOT_PREPARE_FOLDER), p_.install_folder);
    }
    ok = ok && RoomLeft();
    SYS_Handle reader_thread = 0;
    Reader reader(items_, count_, &queue_);
    if (ok && count_ > 0) {
      reader_thread = SYS_CreateThread(Reader::ThreadMain, &reader);
      if (!reader_thread) ok = Fail(INST_GetText(TEXT_CANNOT_PREPARE_FOLDER), p_.install_folder);
    }
    for (uint32_t i = 0; ok && i < count_ && !InstallCancel; i++) ok = CopyItem(i);
    queue_.Stop();
    if (reader_thread) {
      SYS_WaitResult(reader_thread, SYS_INFINITE);
      SYS_CloseHandle(reader_thread);
    }
    // The end is published once the reader has stopped, so that the GUI,
    // which then waits for this thread, never waits on a read.
    if (!ok || !InstallCancel) {
      SYS_MutexLock lock(p_.mutex);
      if (ok) {
        progress.status = INSTALL_DONE;
      } else {
        SYS_StrCopy(progress.error, sizeof progress.error, error_);
        progress.status = INSTALL_FAILED;
      }
    }
    // After a cancel the status stays INSTALL_RUNNING: the wizard has left.
    SYS_FreeSafe(values);
    KeyedList_Destroy(p_.list, true, false);
    return 1;
  }

 private:
  uint64_t TotalSize() const {
    uint64_t total = 0;
    for (uint32_t i = 0; i < count_; i++)
      if (items_[i]->size != BF_BAD_POS) total += items_[i]->size;
    return total;
  }

  // Every destination is checked before anything is written: an archive
  // that names a file outside the install folder installs nothing at all.
  const FileItem *FirstUnsafeItem() const {
    for (uint32_t i = 0; i < count_; i++)
      if (!SYS_IsSafeRelativePath(items_[i]->destination)) return items_[i];
    return nullptr;
  }

  // The same for the length: a file whose path, or whose folder's path,
  // is longer than the system makes is refused before the first file,
  // never cut.
  const FileItem *FirstTooLongItem() const {
    char path[SYS_MAX_PATH], folder[SYS_MAX_PATH];
    for (uint32_t i = 0; i < count_; i++) {
      if (!INST_JoinPath(path, sizeof path, prefix_, items_[i]->destination)) return items_[i];
      // The folder part ends in its backslash.
      if (SYS_DirPart(folder, sizeof folder, path) > SYS_MAX_FOLDER) return items_[i];
    }
    return nullptr;
  }

  // Whether the drive of a full path has less room left than bytes: a write
  // of that many that failed failed for want of space.
  static bool DriveFull(const char *path, uint32_t bytes) {
    uint64_t free_bytes;
    return INST_FreeSpace(path, &free_bytes) && free_bytes < bytes;
  }

  // Checked again just before the first write: another program may have
  // filled the drive since the folder page. Fails as a full disk does.
  bool RoomLeft() {
    const uint64_t need = INST_RoundUpToMB(p_.progress->total_size);
    uint64_t free_bytes;
    if (!INST_FreeSpace(prefix_, &free_bytes) || free_bytes >= need) return true;
    INST_FormatRoom(error_, sizeof error_, prefix_, need, &free_bytes);
    return false;
  }

  // Records the install's one failure; Run publishes it at the end.
  bool Fail(const char *what, const char *name) {
    SYS_Format(error_, sizeof error_, INST_GetText(TEXT_ERROR_DETAIL), what, name);
    return false;
  }

  // Writes one piece of the current file: every byte the install puts into
  // the install folder goes through here.
  bool WritePiece(SYS_Handle target, const char *destination, const Piece &piece) {
    if (SYS_FileWrite(target, piece.data, piece.size) == SYS_OK) return true;
    return Fail(
        INST_GetText(DriveFull(destination, piece.size) ? TEXT_DISK_FULL : TEXT_CANNOT_WRITE),
        destination);
  }

  // Takes item i's pieces off the queue and writes them; false on a failure.
  bool CopyItem(uint32_t i) {
    const FileItem &item = *items_[i];
    {
      SYS_MutexLock lock(p_.mutex);
      p_.progress->current_done = 0;
      p_.progress->current_size = item.size;
      SYS_StrCopy(p_.progress->current_name, SYS_MAX_PATH, item.destination);
    }
    char destination[SYS_MAX_PATH];
    if (!INST_JoinPath(destination, sizeof destination, prefix_, item.destination))
      return Fail(INST_GetText(TEXT_PATH_TOO_LONG), item.destination);
    Piece piece;
    // The reader ends early only on a cancel, which the caller sees.
    if (!queue_.Pop(&piece))
      return InstallCancel ? true : Fail(INST_GetText(TEXT_CANNOT_READ), item.source);
    if (piece.error) return Fail(piece.error, item.source);
    ScopedDiskFile target;
    target.h = INST_CreateFileWithFolders(destination);
    if (!target.h) {
      queue_.GiveBack(piece.data);
      return Fail(INST_GetText(TEXT_CANNOT_CREATE), destination);
    }
    uint64_t done = 0;
    check_.Begin(item);
    for (;;) {
      bool written = WritePiece(target.h, destination, piece);
      // Hashed by the writer itself, while the piece is still in the cache: a
      // thread of its own would only compete with the reader, the writer and
      // the system's own work for the same cores, and need one more hand-over.
      if (written) check_.Piece(piece.data, piece.size);
      queue_.GiveBack(piece.data);
      if (!written) return false;
      done += piece.size;
      {
        SYS_MutexLock lock(p_.mutex);
        p_.progress->total_done += piece.size;
        p_.progress->current_done = done;
      }
      if (InstallCancel) return true;
      if (piece.last) break;  // the file is complete
      if (!queue_.Pop(&piece))
        return InstallCancel ? true : Fail(INST_GetText(TEXT_CANNOT_READ), item.source);
      if (piece.error) return Fail(piece.error, item.source);
    }
    if (!check_.End()) {
      // A damaged copy is not left to pass for the game's file.
      SYS_FileClose(target.h);
      target.h = 0;
      SYS_FileDelete(destination);
      return Fail(INST_GetText(TEXT_DAMAGED_FILE), item.destination);
    }
    return true;
  }

  InstallWorkerParams p_;
  FileItem **items_ = nullptr;
  uint32_t count_ = 0;
  PieceQueue queue_;
  char prefix_[SYS_MAX_PATH];
  char store_folder_[SYS_MAX_PATH];
  ContentCheck check_;
  char error_[2 * SYS_MAX_PATH] = {};
};

}  // namespace

uint32_t INST_AddFileItem(KeyedList *list, const char *source, const char *destination,
                          uint64_t size) {
  FileItem *item = static_cast<FileItem *>(SYS_Alloc(sizeof(FileItem), "FileItem"));
  if (!item) return SYS_ERR_NOMEM;
  item->source = CopyText(source);
  item->destination = CopyText(destination);
  item->size = size;
  uint32_t count = 0;
  KeyedList_Count(list, &count);
  uint32_t result = item->source && item->destination
                        ? KeyedList_Insert(list, count, reinterpret_cast<uintptr_t>(item), KL_TAIL)
                        : uint32_t(SYS_ERR_NOMEM);
  if (result != SYS_OK) INST_FreeFileItem(0, reinterpret_cast<uintptr_t>(item));
  return result;
}

uint32_t INST_FreeFileItem(uintptr_t, uintptr_t value) {
  FileItem *item = reinterpret_cast<FileItem *>(value);
  if (!item) return 1;
  SYS_FreeSafe(item->source);
  SYS_FreeSafe(item->destination);
  SYS_Free(item);
  return 1;
}

int INST_BuildFileList(const char *store_folder, KeyedList **out, uint64_t *total_size) {
  KeyedList *list = KeyedList_Create(INST_FreeFileItem);
  uint64_t total = 0;
  char pattern[SYS_MAX_PATH];
  if (list && INST_JoinPath(pattern, sizeof pattern, store_folder, "*.*")) {
    size_t prefix = SYS_StrLen(pattern) - 3;
    BF_FindContext context;
    for (const char *found = BF_FindFirst(pattern, true, &context); found;
         found = BF_FindNext(&context)) {
      char *name = const_cast<char *>(found);
      uint64_t size = BF_GetFileSize(name);
      char *destination = name + prefix;
      SYS_StrLower(destination);
      if (INST_AddFileItem(list, name, destination, size) == SYS_OK && size != BF_BAD_POS)
        total += size;
    }
  }
  *out = list;
  if (total_size) *total_size = total;
  return 1;
}

bool INST_EngineInit(InstallEngine *engine) {
  SYS_Zero(engine, sizeof *engine);
  engine->volume = 1;
  engine->mutex = SYS_CreateMutex(false);
  engine->start_event = SYS_CreateEvent();
  return engine->mutex && engine->start_event;
}

void INST_EngineRelease(InstallEngine *engine) {
  if (engine->mutex) SYS_CloseHandle(engine->mutex);
  if (engine->start_event) SYS_CloseHandle(engine->start_event);
  engine->mutex = engine->start_event = 0;
}

void INST_VolumeNames(uint32_t volume, char *archive, char *store_folder) {
  char folder[SYS_MAX_PATH];
  SYS_StrCopy(folder, AppPaths.folder_length + 1, AppPaths.program_folder);
  SYS_Format(archive, SYS_MAX_PATH, "%s%s%02u.%s", folder, "disk", volume, "cbf");
  SYS_Format(store_folder, SYS_MAX_PATH, "%s%02u", "disk", volume);
}

// The install list of a volume: its store folder and, on volume 1, the
// running program as the uninstaller and the installer's archive copy.
static KeyedList *VolumeList(uint32_t volume, const char *store_folder, uint64_t *total) {
  KeyedList *list = nullptr;
  INST_BuildFileList(store_folder, &list, total);
  if (!list || volume != 1) return list;
  uint64_t size = BF_GetFileSize(AppPaths.program_path);
  if (size != BF_BAD_POS && INST_AddFileItem(list, AppPaths.program_path,
                                             INST_GetText(TEXT_UNINSTALLER_EXE), size) == SYS_OK)
    *total += size;
  size = TempArchivePath[0] ? BF_GetFileSize(TempArchivePath) : BF_BAD_POS;
  if (size != BF_BAD_POS && INST_AddFileItem(list, TempArchivePath, "setup.cbf", size) == SYS_OK)
    *total += size;
  return list;
}

uint64_t INST_InstallNeed() {
  char archive[SYS_MAX_PATH], folder[SYS_MAX_PATH];
  INST_VolumeNames(1, archive, folder);
  BF_MountArchive(archive, 0);  // without it, only the installer's own files count
  uint64_t total = 0;
  KeyedList *list = VolumeList(1, folder, &total);
  if (list) KeyedList_Destroy(list, true, false);
  return INST_RoundUpToMB(total);
}

uint64_t INST_RoundUpToMB(uint64_t bytes) {
  return (bytes + INST_MB - 1) / INST_MB * INST_MB;
}

bool INST_FreeSpace(const char *path, uint64_t *free_bytes) {
  if (!path[0] || path[1] != ':' || path[2] != '\\') return false;
  const char root[4] = {path[0], ':', '\\', 0};
  return SYS_GetDiskFreeSpace(root, free_bytes);
}

void INST_FormatRoom(char *out, size_t size, const char *path, uint64_t need,
                     const uint64_t *free_bytes) {
  const std::string mb = std::to_string(need / INST_MB);
  const char drive[2] = {path[0], 0};
  if (!free_bytes) {
    SYS_Format(out, size, INST_GetText(TEXT_SPACE_NEEDED), mb.c_str());
    return;
  }
  // Short enough for the folder page's one line with a drive of terabytes.
  const std::string free_mb = std::to_string(*free_bytes / INST_MB);
  if (*free_bytes >= need)
    SYS_Format(out, size, INST_GetText(TEXT_SPACE_NEEDED_FREE), mb.c_str(), drive, free_mb.c_str());
  else
    SYS_Format(out, size, INST_GetText(TEXT_SPACE_SHORT), mb.c_str(), free_mb.c_str());
}

int INST_StartVolume(InstallEngine *engine, const char *archive, const char *store_folder) {
  SYS_StrCopy(engine->archive, sizeof engine->archive, archive);
  if (BF_MountArchive(archive, 0) != BF_OK) return 0;
  if (engine->list) KeyedList_Destroy(engine->list, true, false);
  uint64_t total = 0;
  engine->list = VolumeList(engine->volume, store_folder, &total);
  if (!engine->list) return 0;
  InstallWorkerParams params = {engine->start_event, engine->mutex, InstallDir,
                                store_folder,        engine->list,  &engine->progress};
  SYS_SetEvent(engine->start_event, false);
  InstallWorkerThread = SYS_CreateThread(INST_InstallWorker, &params);
  if (!InstallWorkerThread) return 0;
  engine->list = nullptr;  // the worker owns it now
  SYS_WaitResult(engine->start_event, SYS_INFINITE);
  return 1;
}

int INST_StartCurrentVolume(InstallEngine *engine) {
  char archive[SYS_MAX_PATH], folder[SYS_MAX_PATH];
  INST_VolumeNames(engine->volume, archive, folder);
  return INST_StartVolume(engine, archive, folder);
}

uint32_t INST_InstallWorker(void *params) {
  Worker worker(*static_cast<InstallWorkerParams *>(params));
  return worker.Run();
}

void INST_ReadProgress(InstallEngine *engine, InstallProgress *out) {
  SYS_MutexLock lock(engine->mutex);
  *out = engine->progress;
}

uint32_t INST_Percent(uint64_t done, uint64_t size) {
  if (size == 0) return 0;
  return uint32_t(double(done) / double(size) * 100.0);
}

void INST_EndWorker(bool cancel) {
  if (cancel) InstallCancel = 1;
  if (!InstallWorkerThread) return;
  SYS_WaitHandlingMessages(InstallWorkerThread, SYS_INFINITE);
  SYS_CloseHandle(InstallWorkerThread);
  InstallWorkerThread = 0;
}

uint32_t INST_EngineStep(InstallEngine *engine) {
  uint32_t status;
  uint64_t total;
  {
    SYS_MutexLock lock(engine->mutex);
    status = engine->progress.status;
    total = engine->progress.total_size;
    if (status == INSTALL_DONE || status == INSTALL_FAILED)
      engine->progress.status = INSTALL_FINISHING;
  }
  if (status != INSTALL_DONE && status != INSTALL_FAILED) return 0;
  INST_EndWorker(false);
  if (status == INSTALL_FAILED) return INST_NOTIFY_FAILED;
  Installer.installed_bytes = total;
  char key[SYS_MAX_PATH];
  if (INST_FinishInstall(key)) return INST_NOTIFY_DONE;
  SYS_MutexLock lock(engine->mutex);
  SYS_Format(engine->progress.error, sizeof engine->progress.error,
             INST_GetText(TEXT_REGISTRY_FAILED), key);
  return INST_NOTIFY_FAILED;
}

void INST_CancelInstall() {
  INST_EndWorker(true);
  INST_Uninstall();
}
