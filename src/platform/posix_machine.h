// Shared state of the POSIX backend files (platform_posix.cpp,
// files_posix.cpp, registry_posix.cpp, shell_posix.cpp). Not for use outside them.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace machine {

// Handles are pointers to objects of this kind. The last Unref deletes.
enum class Kind : uint32_t { Any = 0, File, Event, Mutex, Thread, Find, RegKey, Process, Offer };
struct Object {
  static const uint32_t kMagic = 0x4F534D44;  // "DMSO"
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() { magic = 0; }
  uint32_t magic = kMagic;
  Kind kind;
  std::atomic<int> refs{1};
};
// The object behind a handle when it is one of that kind (Kind::Any: of any
// kind), else null.
Object *FromHandle(uintptr_t handle, Kind kind);
void Unref(Object *object);

// Host folder of the root, set up on first use; "" when that failed.
std::string Root();
// Counts root switches, so that caches know when to start again.
uint64_t Generation();

// A Windows path made full ("C:\A\B", no trailing backslash except at a root)
// and its host path; the drive folder must exist, entries are found without
// regard to case, missing ones keep the given spelling.
struct Mapped {
  char drive;            // 'C'
  std::string windows;   // full Windows path
  std::string host;      // host path
  std::string relative;  // host path below the root, as the attribute table keys it
};
bool MapPath(const char *windows_path, Mapped *out);

// Wraps the creation of one entry (file or folder) at a mapped host path,
// so that the folder listing the path lookup keeps stays current without
// reading the folder again:
//   FolderChange change(m.host); ...create...; if (ok) change.Created();
class FolderChange {
 public:
  explicit FolderChange(const std::string &host_path);
  void Created();

 private:
  std::string folder_, name_;
  bool current_;  // the listing was up to date before the change
};

// Whole-file helpers on host paths. WriteAtomically writes a temporary file
// beside the target, flushes it and renames it over the target.
bool ReadHostFile(const std::string &path, std::string *content);
bool WriteAtomically(const std::string &path, const std::string &content);

}  // namespace machine

namespace machine {

// The emulated current directory (a full Windows path).
std::string CurrentDir();
void SetCurrentDirPath(const std::string &windows_full);

// Attribute table, keyed by Mapped::relative. Entries without a record read
// as SYS_ATTR_ARCHIVE (files) or 0 (folders).
bool StoredAttributes(const std::string &relative, uint32_t *attributes);
bool StoreAttributes(const std::string &relative, uint32_t attributes);
// Forgets the record of an entry and of everything below it, or moves them.
void ForgetAttributes(const std::string &relative);
void MoveAttributes(const std::string &from, const std::string &to);

// Drive records written by SYS_SetDrive; false when the drive has none.
// A recorded free space comes less the bytes UseDriveSpace has taken.
bool DriveRecord(char letter, uint32_t *type, uint64_t *free_bytes);
// Takes bytes off a drive's recorded free space before a write grows a file;
// false, taking nothing, when they do not fit (the drive is full). Drives
// without a recorded figure never run out.
bool UseDriveSpace(char letter, uint64_t bytes);

// Appends one line to pending_moves.
bool RecordPendingMove(const std::string &line);

// Files held open through handles (by host identity): Windows refuses to
// delete or move them, and so does the emulation.
void HoldOpenFile(uint64_t dev, uint64_t ino, int delta);
bool IsFileOpen(uint64_t dev, uint64_t ino);

}  // namespace machine
