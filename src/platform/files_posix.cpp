// Files, folders, file search and drives of the POSIX backend, over the
// emulated machine of machine_posix.cpp.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/platform.h"
#include "platform/posix_machine.h"

using namespace machine;

namespace {

const uint32_t kStoredBits =
    SYS_ATTR_READONLY | SYS_ATTR_HIDDEN | SYS_ATTR_SYSTEM | SYS_ATTR_ARCHIVE;

struct FileObject : Object {
  FileObject(int f, const struct stat &st, char d)
      : Object(Kind::File), fd(f), drive(d), dev(st.st_dev), ino(st.st_ino) {
    HoldOpenFile(dev, ino, +1);
  }
  ~FileObject() override {
    HoldOpenFile(dev, ino, -1);
    close(fd);
  }
  int fd;
  char drive;  // whose free space the file's growth uses
  uint64_t dev, ino;
};

struct FindObject : Object {
  FindObject() : Object(Kind::Find) {}
  std::vector<SYS_FindData> entries;
  size_t next = 0;
};

// Attributes of an existing host entry as Windows reports them.
uint32_t AttributesOf(const std::string &relative, const struct stat &st) {
  uint32_t stored = 0;
  bool has_record = StoredAttributes(relative, &stored);
  stored &= kStoredBits;
  if (S_ISDIR(st.st_mode)) return SYS_ATTR_DIRECTORY | stored;
  if (!has_record) return SYS_ATTR_ARCHIVE;
  return stored ? stored : SYS_ATTR_NORMAL;
}

// Whether the mapped entry's drive takes changes: a CD-ROM does not.
bool Writable(const Mapped &m) {
  uint32_t type;
  uint64_t free_bytes;
  return !DriveRecord(m.drive, &type, &free_bytes) || type != SYS_DRIVE_CDROM;
}

bool IsOpen(const struct stat &st) {
  return IsFileOpen(st.st_dev, st.st_ino);
}

FileObject *File(SYS_Handle h) {
  return static_cast<FileObject *>(FromHandle(h, Kind::File));
}

size_t CopyOut(char *buffer, size_t size, const std::string &text) {
  if (!buffer || text.size() >= size) return 0;
  return SYS_StrCopy(buffer, size, text.c_str());
}

// The drive letter a root string (or any path starting with one) names; the
// current drive for a null root.
char DriveOf(const char *root) {
  if (!root) return CurrentDir()[0];
  const char c = SYS_ToUpper(root[0]);
  return c >= 'A' && c <= 'Z' && root[1] == ':' ? c : 0;
}

std::string DriveFolder(char drive) {
  return Root() + "/drive_" + SYS_ToLower(drive);
}

bool IsHostDir(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ValidPattern(const std::string &pattern) {
  for (unsigned char c : pattern)
    if (c < 0x20 || std::string("<>:\"|/\\").find(static_cast<char>(c)) != std::string::npos)
      return false;
  return !pattern.empty();
}

}  // namespace

// ---------------------------------------------------------------- files

SYS_Handle SYS_FileOpenRead(const char *name, uint32_t flags) {
  Mapped m;
  struct stat st;
  if (!MapPath(name, &m) || stat(m.host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  bool write = (flags & SYS_ACCESS_WRITE) != 0;
  if (write && (!Writable(m) || (AttributesOf(m.relative, st) & SYS_ATTR_READONLY))) return 0;
  int fd = open(m.host.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return 0;
  if (flags & SYS_OPEN_SEQUENTIAL) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fstat(fd, &st);
  return reinterpret_cast<SYS_Handle>(new FileObject(fd, st, m.drive));
}

SYS_Handle SYS_FileCreate(const char *name) {
  Mapped m;
  if (!MapPath(name, &m) || !Writable(m)) return 0;
  struct stat st;
  bool existed = lstat(m.host.c_str(), &st) == 0;
  if (existed) {
    // As CreateFile with CREATE_ALWAYS and FILE_ATTRIBUTE_NORMAL refuses.
    const uint32_t refused =
        SYS_ATTR_READONLY | SYS_ATTR_HIDDEN | SYS_ATTR_SYSTEM | SYS_ATTR_DIRECTORY;
    if (S_ISDIR(st.st_mode) || (AttributesOf(m.relative, st) & refused)) return 0;
  }
  FolderChange change(m.host);
  int fd = open(m.host.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 0;
  if (!existed) {
    change.Created();
    ForgetAttributes(m.relative);
  }
  fstat(fd, &st);
  return reinterpret_cast<SYS_Handle>(new FileObject(fd, st, m.drive));
}

uint32_t SYS_FileRead(SYS_Handle f, void *buffer, uint32_t bytes) {
  FileObject *file = File(f);
  if (!file || !buffer) return 0;
  uint32_t done = 0;
  while (done < bytes) {
    ssize_t n = read(file->fd, static_cast<char *>(buffer) + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t SYS_FileWrite(SYS_Handle f, const void *buffer, uint32_t bytes) {
  FileObject *file = File(f);
  if (!file || (!buffer && bytes)) return SYS_ERR_FAILED;
  // The bytes that land past the end make the file longer: they must fit
  // in the drive's free space.
  struct stat st;
  off_t at = lseek(file->fd, 0, SEEK_CUR);
  if (at < 0 || fstat(file->fd, &st) != 0) return SYS_ERR_FAILED;
  const uint64_t end = uint64_t(at) + bytes, size = uint64_t(st.st_size);
  if (end > size && !UseDriveSpace(file->drive, end - size)) return SYS_ERR_FAILED;
  uint32_t done = 0;
  while (done < bytes) {
    ssize_t n = write(file->fd, static_cast<const char *>(buffer) + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return SYS_ERR_FAILED;
    done += static_cast<uint32_t>(n);
  }
  return SYS_OK;
}

uint64_t SYS_FileSeek(SYS_Handle f, int64_t offset, uint32_t origin) {
  FileObject *file = File(f);
  static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (!file || origin > 2) return SYS_BAD_POS;
  off_t pos = lseek(file->fd, static_cast<off_t>(offset), whence[origin]);
  return pos < 0 ? SYS_BAD_POS : static_cast<uint64_t>(pos);
}

uint64_t SYS_FileSize(SYS_Handle f) {
  FileObject *file = File(f);
  struct stat st;
  if (!file || fstat(file->fd, &st) != 0) return SYS_BAD_POS;
  return static_cast<uint64_t>(st.st_size);
}

void SYS_FileClose(SYS_Handle f) {
  if (FileObject *file = File(f)) Unref(file);
}

uint32_t SYS_FileDelete(const char *name) {
  Mapped m;
  // A path that cannot be mapped names nothing (a missing drive, say),
  // unless it is no path at all or too long for one.
  if (!MapPath(name, &m))
    return !name || SYS_StrLen(name) >= SYS_MAX_PATH ? SYS_ERR_OS : SYS_ERR_NOFILE;
  struct stat st;
  if (lstat(m.host.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? SYS_ERR_NOFILE : SYS_ERR_OS;
  if (S_ISDIR(st.st_mode) || IsOpen(st) || !Writable(m) ||
      (AttributesOf(m.relative, st) & SYS_ATTR_READONLY))
    return SYS_ERR_OS;
  if (unlink(m.host.c_str()) != 0) return SYS_ERR_OS;
  ForgetAttributes(m.relative);
  return SYS_OK;
}

// ---------------------------------------------------------------- attributes and folders

uint32_t SYS_GetFileAttributes(const char *path) {
  Mapped m;
  struct stat st;
  if (!MapPath(path, &m) || stat(m.host.c_str(), &st) != 0) return SYS_ATTR_INVALID;
  return AttributesOf(m.relative, st);
}

bool SYS_SetFileAttributes(const char *path, uint32_t attributes) {
  Mapped m;
  struct stat st;
  if (!MapPath(path, &m) || !Writable(m) || stat(m.host.c_str(), &st) != 0) return false;
  return StoreAttributes(m.relative, attributes & kStoredBits);
}

bool SYS_CreateDirectory(const char *path) {
  Mapped m;
  if (!MapPath(path, &m) || m.windows.size() >= SYS_MAX_FOLDER || !Writable(m)) return false;
  FolderChange change(m.host);
  if (mkdir(m.host.c_str(), 0755) != 0) return false;
  change.Created();
  ForgetAttributes(m.relative);
  return true;
}

bool SYS_RemoveDirectory(const char *path) {
  Mapped m;
  struct stat st;
  if (!MapPath(path, &m) || !Writable(m) || m.relative.find('/') == std::string::npos) return false;
  if (lstat(m.host.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // A junction: removing it removes the link, never what it points to.
    return IsHostDir(m.host) && unlink(m.host.c_str()) == 0;
  }
  if (lstat(m.host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (AttributesOf(m.relative, st) & SYS_ATTR_READONLY) return false;
  if (rmdir(m.host.c_str()) != 0) return false;
  ForgetAttributes(m.relative);
  return true;
}

static bool CopyHostFile(const std::string &from, const std::string &to) {
  std::string content;
  return ReadHostFile(from, &content) && WriteAtomically(to, content);
}

bool SYS_MoveFile(const char *from, const char *to, bool delay_until_reboot) {
  Mapped src;
  if (!MapPath(from, &src) || !Writable(src)) return false;
  if (delay_until_reboot) {
    if (!to) return RecordPendingMove("D\t" + src.windows);
    Mapped dst;
    return MapPath(to, &dst) && RecordPendingMove("M\t" + src.windows + "\t" + dst.windows);
  }
  Mapped dst;
  struct stat s, d;
  if (!to || !MapPath(to, &dst) || !Writable(dst) || lstat(src.host.c_str(), &s) != 0 || IsOpen(s))
    return false;
  if (lstat(dst.host.c_str(), &d) == 0) {
    if (d.st_dev == s.st_dev && d.st_ino == s.st_ino) {
      // The same entry under another case: take the new spelling.
      size_t slash = dst.host.rfind('/');
      size_t back = dst.windows.rfind('\\');
      dst.host = dst.host.substr(0, slash + 1) + dst.windows.substr(back + 1);
      dst.relative =
          dst.relative.substr(0, dst.relative.rfind('/') + 1) + dst.windows.substr(back + 1);
    } else if (S_ISDIR(d.st_mode) || S_ISDIR(s.st_mode) || IsOpen(d) ||
               (AttributesOf(dst.relative, d) & SYS_ATTR_READONLY)) {
      return false;
    }
  }
  if (rename(src.host.c_str(), dst.host.c_str()) != 0) {
    if (errno != EXDEV || S_ISDIR(s.st_mode) || !CopyHostFile(src.host, dst.host)) return false;
    unlink(src.host.c_str());
  }
  MoveAttributes(src.relative, dst.relative);
  return true;
}

// ---------------------------------------------------------------- search

SYS_Handle SYS_FindFirst(const char *pattern, SYS_FindData *out) {
  if (!pattern || !out || SYS_StrLen(pattern) >= SYS_MAX_PATH) return 0;
  std::string p(pattern);
  std::replace(p.begin(), p.end(), '/', '\\');
  size_t cut = p.rfind('\\');
  std::string folder, name;
  if (cut != std::string::npos) {
    folder = p.substr(0, cut + 1);
    name = p.substr(cut + 1);
  } else if (p.size() >= 2 && p[1] == ':') {
    folder = p.substr(0, 2);
    name = p.substr(2);
  } else {
    folder = ".";
    name = p;
  }
  Mapped m;
  if (!ValidPattern(name) || !MapPath(folder.c_str(), &m) || !IsHostDir(m.host)) return 0;

  std::vector<std::string> names;
  bool at_root = m.relative.find('/') == std::string::npos;
  if (!at_root) names = {".", ".."};
  if (DIR *dir = opendir(m.host.c_str())) {
    std::vector<std::string> found;
    while (struct dirent *e = readdir(dir))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        found.push_back(e->d_name);
    closedir(dir);
    std::sort(found.begin(), found.end(), [](const std::string &a, const std::string &b) {
      return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    names.insert(names.end(), found.begin(), found.end());
  }

  FindObject *find = new FindObject;
  for (const std::string &entry : names) {
    if (entry.size() >= SYS_MAX_PATH ||
        !SYS_WildMatch(entry.c_str(), name.c_str(), SYS_WILD_SYSTEM))
      continue;
    std::string host = entry == "." || entry == ".." ? m.host : m.host + "/" + entry;
    struct stat st;
    if (stat(host.c_str(), &st) != 0) continue;
    SYS_FindData data;
    data.attributes = entry == "." || entry == ".." ? uint32_t(SYS_ATTR_DIRECTORY)
                                                    : AttributesOf(m.relative + "/" + entry, st);
    data.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    // A host symbolic link to a folder stands for a junction: a link that
    // removers must not descend through.
    struct stat link;
    if (S_ISDIR(st.st_mode) && lstat(host.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
      data.attributes |= SYS_ATTR_REPARSE_POINT;
    SYS_StrCopy(data.name, sizeof data.name, entry.c_str());
    find->entries.push_back(data);
  }
  if (!SYS_FindNext(reinterpret_cast<SYS_Handle>(find), out)) {
    Unref(find);
    return 0;
  }
  return reinterpret_cast<SYS_Handle>(find);
}

bool SYS_FindNext(SYS_Handle h, SYS_FindData *out) {
  FindObject *find = static_cast<FindObject *>(FromHandle(h, Kind::Find));
  if (!find || !out || find->next >= find->entries.size()) return false;
  *out = find->entries[find->next++];
  return true;
}

void SYS_FindClose(SYS_Handle h) {
  if (Object *find = FromHandle(h, Kind::Find)) Unref(find);
}

// ---------------------------------------------------------------- folders

size_t SYS_GetCurrentDir(char *buffer, size_t size) {
  return CopyOut(buffer, size, CurrentDir());
}

bool SYS_SetCurrentDir(const char *path) {
  Mapped m;
  if (!MapPath(path, &m) || !IsHostDir(m.host)) return false;
  SetCurrentDirPath(m.windows);
  return true;
}

size_t SYS_GetTempDir(char *buffer, size_t size) {
  return Root().empty() ? 0 : CopyOut(buffer, size, "C:\\WINDOWS\\TEMP\\");
}

size_t SYS_CreateRunFolder(const char *prefix, char *buffer, size_t size) {
  char temp[SYS_MAX_PATH];
  if (!prefix || !SYS_GetTempDir(temp, sizeof temp)) return 0;
  std::random_device random;
  for (int tries = 0; tries < 16; tries++) {
    char path[SYS_MAX_PATH];
    SYS_Format(path, sizeof path, "%s%s%08x", temp, prefix, unsigned(random()));
    // An existing folder is never taken over: creating it must succeed.
    if (SYS_CreateDirectory(path)) return CopyOut(buffer, size, std::string(path) + "\\");
  }
  return 0;
}

size_t SYS_GetSystemDir(char *buffer, size_t size) {
  return Root().empty() ? 0 : CopyOut(buffer, size, "C:\\WINDOWS\\SYSTEM32");
}

size_t SYS_GetSpecialFolder(SYS_SpecialFolder which, char *buffer, size_t size) {
  static const char *const kFolders[SYS_FOLDER_COUNT] = {
      "C:\\Documents and Settings\\User\\Desktop",
      "C:\\Documents and Settings\\User\\Start Menu\\Programs",
      "C:\\Documents and Settings\\User\\Start Menu",
      "C:\\Documents and Settings\\User",
      "C:\\WINDOWS",
      "C:\\WINDOWS\\SYSTEM32",
      "C:\\Program Files",
      "C:\\Program Files (x86)",
      "C:\\Documents and Settings\\All Users\\Desktop",
      "C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
      "C:\\Documents and Settings\\All Users\\Start Menu",
  };
  if (which < 0 || which >= SYS_FOLDER_COUNT || Root().empty()) return 0;
  return CopyOut(buffer, size, kFolders[which]);
}

// ---------------------------------------------------------------- drives

size_t SYS_GetLogicalDrives(char *buffer, size_t size) {
  std::string list;
  for (char drive = 'A'; drive <= 'Z'; drive++)
    if (IsHostDir(DriveFolder(drive))) list += std::string(1, drive) + ":\\" + '\0';
  list += '\0';
  if (buffer && list.size() <= size) std::memcpy(buffer, list.data(), list.size());
  return list.size();
}

uint32_t SYS_GetDriveType(const char *root) {
  char drive = DriveOf(root);
  if (!drive) return SYS_DRIVE_NO_ROOT;
  if (root && root[2] != 0 && !(root[2] == '\\' && root[3] == 0)) return SYS_DRIVE_NO_ROOT;
  if (!IsHostDir(DriveFolder(drive))) return SYS_DRIVE_NO_ROOT;
  uint32_t type;
  uint64_t free_bytes;
  return DriveRecord(drive, &type, &free_bytes) ? type : uint32_t(SYS_DRIVE_FIXED);
}

bool SYS_GetDiskFreeSpace(const char *root, uint64_t *free_bytes) {
  char drive = DriveOf(root);
  if (!drive || !free_bytes) return false;
  std::string folder = DriveFolder(drive);
  if (!IsHostDir(folder)) return false;
  uint32_t type;
  uint64_t recorded;
  if (DriveRecord(drive, &type, &recorded) && recorded != SYS_FREE_FROM_HOST) {
    if (recorded == SYS_FREE_FAILS) return false;
    *free_bytes = recorded;
    return true;
  }
  struct statvfs vfs;
  if (statvfs(folder.c_str(), &vfs) != 0) return false;
  *free_bytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return true;
}
