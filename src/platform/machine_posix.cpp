// The emulated Windows machine of the POSIX backend: the machine root, the
// mapping of Windows paths onto host paths, the current directory, and the
// small record files kept in the root (attributes, drives, pending moves).
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/machine.h"
#include "platform/platform.h"
#include "platform/posix_machine.h"

namespace machine {
namespace {

std::mutex g_mutex;  // guards everything in this block
std::string g_root;  // "" until the first use or after a switch to the default
std::string g_cwd = "C:\\";
std::atomic<uint64_t> g_generation{1};
uint64_t g_attr_generation = 0;
std::map<std::string, uint32_t> g_attrs;
uint64_t g_drive_generation = 0;
std::map<char, std::pair<uint32_t, uint64_t>> g_drives;
// Bytes that writes have added to files on a drive since its record was set
// (or the root switched); they come off the recorded free space.
std::map<char, uint64_t> g_drive_used;
std::map<std::pair<uint64_t, uint64_t>, int> g_open_files;

const char *const kStandardFolders[] = {
    "drive_c/WINDOWS/SYSTEM32",
    "drive_c/WINDOWS/TEMP",
    "drive_c/Documents and Settings/User/Desktop",
    "drive_c/Documents and Settings/User/Start Menu/Programs",
};

bool IsDir(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirs(const std::string &path) {
  for (size_t i = 1; i <= path.size(); i++) {
    if (i < path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && !IsDir(part)) return false;
  }
  return true;
}

bool SetUp(const std::string &folder) {
  if (folder.empty() || !MakeDirs(folder)) return false;
  for (const char *sub : kStandardFolders)
    if (!MakeDirs(folder + "/" + sub)) return false;
  return true;
}

// Called with g_mutex held.
const std::string &RootLocked() {
  if (g_root.empty()) {
    std::string folder;
    const char *env = std::getenv("SETUP_MACHINE_ROOT");
    const char *home = std::getenv("HOME");
    if (env && *env)
      folder = env;
    else if (home && *home)
      folder = std::string(home) + "/.local/share/demodisc/machine";
    if (SetUp(folder)) g_root = folder;
  }
  return g_root;
}

bool ValidComponent(const std::string &name) {
  for (unsigned char c : name)
    if (c < 0x20 || std::string("<>:\"|?*").find(static_cast<char>(c)) != std::string::npos)
      return false;
  return true;
}

// The last folder whose entries the case-insensitive lookup read, by their
// lower-case names. Installing thousands of new files into one folder would
// otherwise read the whole folder once per file. The listing holds while
// the folder's modification time and identity are unchanged; the
// emulation's own creations in it keep it current (FolderChange).
struct Listing {
  std::string folder;
  struct stat stamp;
  std::unordered_map<std::string, std::string> by_lower;
};
std::mutex g_listing_mutex;
Listing g_listing;

std::string Lower(std::string text) {
  for (char &c : text) c = SYS_ToLower(c);
  return text;
}

bool SameStamp(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The entry of folder whose name equals name without regard to ASCII case
// (an exact match first); the given spelling when there is none.
std::string ResolveEntry(const std::string &folder, const std::string &name) {
  struct stat st;
  std::string exact = folder + "/" + name;
  if (lstat(exact.c_str(), &st) == 0) return name;
  if (stat(folder.c_str(), &st) != 0) return name;
  std::lock_guard<std::mutex> lock(g_listing_mutex);
  if (g_listing.folder != folder || !SameStamp(g_listing.stamp, st)) {
    g_listing.folder = folder;
    g_listing.stamp = st;  // taken before reading: a change meanwhile reads again
    g_listing.by_lower.clear();
    if (DIR *dir = opendir(folder.c_str())) {
      while (struct dirent *e = readdir(dir))
        g_listing.by_lower.emplace(Lower(e->d_name), e->d_name);
      closedir(dir);
    }
  }
  auto found = g_listing.by_lower.find(Lower(name));
  return found == g_listing.by_lower.end() ? name : found->second;
}

void LoadAttributesLocked() {
  uint64_t generation = g_generation.load();
  if (g_attr_generation == generation) return;
  g_attrs.clear();
  g_attr_generation = generation;
  std::string content;
  if (!ReadHostFile(RootLocked() + "/attributes", &content)) return;
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    g_attrs[line.substr(tab + 1)] = static_cast<uint32_t>(std::strtoul(line.c_str(), nullptr, 16));
  }
}

bool SaveAttributesLocked() {
  std::string content;
  char hex[16];
  for (const auto &entry : g_attrs) {
    std::snprintf(hex, sizeof hex, "%08x\t", entry.second);
    content += hex + entry.first + "\n";
  }
  return WriteAtomically(RootLocked() + "/attributes", content);
}

bool IsBelow(const std::string &path, const std::string &folder) {
  return path == folder ||
         (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          path[folder.size()] == '/');
}

void LoadDrivesLocked() {
  uint64_t generation = g_generation.load();
  if (g_drive_generation == generation) return;
  g_drives.clear();
  g_drive_used.clear();
  g_drive_generation = generation;
  std::string content;
  if (!ReadHostFile(RootLocked() + "/drives", &content)) return;
  std::istringstream lines(content);
  char letter;
  uint32_t type;
  std::string free_text;
  while (lines >> letter >> type >> free_text) {
    uint64_t free_bytes =
        free_text == "host" ? SYS_FREE_FROM_HOST : std::strtoull(free_text.c_str(), nullptr, 10);
    g_drives[SYS_ToUpper(letter)] = {type, free_bytes};
  }
}

}  // namespace

std::string Root() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return RootLocked();
}

uint64_t Generation() {
  return g_generation.load();
}

std::string CurrentDir() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_cwd;
}

void SetCurrentDirPath(const std::string &windows_full) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_cwd = windows_full;
}

bool MapPath(const char *windows_path, Mapped *out) {
  if (!windows_path) return false;
  std::string path(windows_path);
  if (path.empty() || path.size() >= SYS_MAX_PATH) return false;
  for (char &c : path)
    if (c == '/') c = '\\';
  if (path.compare(0, 2, "\\\\") == 0) return false;  // UNC: no network here

  std::string root, cwd;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    root = RootLocked();
    cwd = g_cwd;
  }
  if (root.empty()) return false;

  // Make the path full: drive letter and the folders below it.
  char drive;
  std::string rest;
  if (path.size() >= 2 && path[1] == ':') {
    drive = SYS_ToUpper(path[0]);
    if (drive < 'A' || drive > 'Z') return false;
    rest = path.substr(2);
    if (rest.empty() || rest[0] != '\\')  // drive-relative
      rest = (drive == cwd[0] ? cwd.substr(2) : std::string()) + "\\" + rest;
  } else if (path[0] == '\\') {
    drive = cwd[0];
    rest = path;
  } else {
    drive = cwd[0];
    rest = cwd.substr(2) + "\\" + path;
  }

  std::vector<std::string> parts;
  std::istringstream split(rest);
  std::string part;
  while (std::getline(split, part, '\\')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (!ValidComponent(part)) return false;
    parts.push_back(part);
  }

  Mapped m;
  m.drive = drive;
  m.windows = std::string(1, drive) + ":\\";
  for (size_t i = 0; i < parts.size(); i++) m.windows += (i ? "\\" : "") + parts[i];
  if (m.windows.size() >= SYS_MAX_PATH) return false;

  m.relative = std::string("drive_") + SYS_ToLower(drive);
  std::string host = root + "/" + m.relative;
  if (!IsDir(host)) return false;
  for (const std::string &p : parts) {
    std::string name = ResolveEntry(host, p);
    host += "/" + name;
    m.relative += "/" + name;
  }
  m.host = host;
  *out = m;
  return true;
}

FolderChange::FolderChange(const std::string &host_path) {
  size_t slash = host_path.rfind('/');
  folder_ = host_path.substr(0, slash);
  name_ = host_path.substr(slash + 1);
  struct stat st;
  std::lock_guard<std::mutex> lock(g_listing_mutex);
  current_ = g_listing.folder == folder_ && stat(folder_.c_str(), &st) == 0 &&
             SameStamp(g_listing.stamp, st);
}

void FolderChange::Created() {
  struct stat st;
  if (!current_ || stat(folder_.c_str(), &st) != 0) return;
  std::lock_guard<std::mutex> lock(g_listing_mutex);
  if (g_listing.folder != folder_) return;
  g_listing.stamp = st;
  g_listing.by_lower.emplace(Lower(name_), name_);
}

bool ReadHostFile(const std::string &path, std::string *content) {
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  content->clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content->append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteAtomically(const std::string &path, const std::string &content) {
  static std::atomic<unsigned> counter{0};
  std::string temp = path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < content.size();) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0)
      ok = false;
    else
      done += static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool StoredAttributes(const std::string &relative, uint32_t *attributes) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadAttributesLocked();
  auto it = g_attrs.find(relative);
  if (it == g_attrs.end()) return false;
  *attributes = it->second;
  return true;
}

bool StoreAttributes(const std::string &relative, uint32_t attributes) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadAttributesLocked();
  g_attrs[relative] = attributes;
  return SaveAttributesLocked();
}

void ForgetAttributes(const std::string &relative) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadAttributesLocked();
  bool changed = false;
  for (auto it = g_attrs.begin(); it != g_attrs.end();) {
    if (IsBelow(it->first, relative)) {
      it = g_attrs.erase(it);
      changed = true;
    } else {
      ++it;
    }
  }
  if (changed) SaveAttributesLocked();
}

void MoveAttributes(const std::string &from, const std::string &to) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadAttributesLocked();
  std::map<std::string, uint32_t> moved;
  for (auto it = g_attrs.begin(); it != g_attrs.end();) {
    if (IsBelow(it->first, to)) {  // the replaced target's records go
      it = g_attrs.erase(it);
    } else if (IsBelow(it->first, from)) {
      moved[to + it->first.substr(from.size())] = it->second;
      it = g_attrs.erase(it);
    } else {
      ++it;
    }
  }
  g_attrs.insert(moved.begin(), moved.end());
  SaveAttributesLocked();
}

bool DriveRecord(char letter, uint32_t *type, uint64_t *free_bytes) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadDrivesLocked();
  auto it = g_drives.find(SYS_ToUpper(letter));
  if (it == g_drives.end()) return false;
  *type = it->second.first;
  *free_bytes = it->second.second;
  if (*free_bytes != SYS_FREE_FROM_HOST && *free_bytes != SYS_FREE_FAILS)
    *free_bytes -= g_drive_used[it->first];
  return true;
}

bool UseDriveSpace(char letter, uint64_t bytes) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadDrivesLocked();
  auto it = g_drives.find(SYS_ToUpper(letter));
  if (it == g_drives.end() || bytes == 0) return true;
  const uint64_t recorded = it->second.second;
  if (recorded == SYS_FREE_FROM_HOST || recorded == SYS_FREE_FAILS) return true;
  uint64_t &used = g_drive_used[it->first];
  if (bytes > recorded - used) return false;
  used += bytes;
  return true;
}

bool RecordPendingMove(const std::string &line) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::string &root = RootLocked();
  if (root.empty()) return false;
  std::string content;
  ReadHostFile(root + "/pending_moves", &content);
  return WriteAtomically(root + "/pending_moves", content + line + "\n");
}

void HoldOpenFile(uint64_t dev, uint64_t ino, int delta) {
  std::lock_guard<std::mutex> lock(g_mutex);
  int &count = g_open_files[{dev, ino}];
  count += delta;
  if (count <= 0) g_open_files.erase({dev, ino});
}

bool IsFileOpen(uint64_t dev, uint64_t ino) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_open_files.count({dev, ino}) != 0;
}

}  // namespace machine

using namespace machine;

bool SYS_SetMachineRoot(const char *host_folder) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::string folder;
  if (host_folder) {
    if (!SetUp(host_folder)) return false;
    char *real = realpath(host_folder, nullptr);
    folder = real ? real : host_folder;
    std::free(real);
  }
  g_root = folder;
  g_cwd = "C:\\";
  g_generation++;
  return true;
}

const char *SYS_GetMachineRoot() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return RootLocked().c_str();
}

size_t SYS_MapPath(const char *windows_path, char *host, size_t size) {
  Mapped m;
  if (!host || !MapPath(windows_path, &m) || m.host.size() >= size) return 0;
  return SYS_StrCopy(host, size, m.host.c_str());
}

bool SYS_SetDrive(char letter, uint32_t type, uint64_t free_bytes) {
  letter = SYS_ToUpper(letter);
  if (letter < 'A' || letter > 'Z') return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::string &root = RootLocked();
  if (root.empty()) return false;
  if (!MakeDirs(root + "/drive_" + SYS_ToLower(letter))) return false;
  LoadDrivesLocked();
  g_drive_used.erase(letter);
  if (type == SYS_DRIVE_NO_ROOT)
    g_drives.erase(letter);
  else
    g_drives[letter] = {type, free_bytes};
  std::string content;
  for (const auto &d : g_drives) {
    content += std::string(1, d.first) + " " + std::to_string(d.second.first) + " " +
               (d.second.second == SYS_FREE_FROM_HOST ? std::string("host")
                                                      : std::to_string(d.second.second)) +
               "\n";
  }
  return WriteAtomically(root + "/drives", content);
}

bool SYS_CancelPendingDeletes(const char *folder) {
  Mapped m;
  if (!MapPath(folder, &m)) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::string &root = RootLocked();
  std::string content, kept;
  if (root.empty() || !ReadHostFile(root + "/pending_moves", &content)) return !root.empty();
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line))
    if (line.compare(0, 2, "D\t") != 0 || !SYS_PathIsInside(line.c_str() + 2, m.windows.c_str()))
      kept += line + "\n";
  return kept == content || WriteAtomically(root + "/pending_moves", kept);
}

bool SYS_RunPendingMoves() {
  std::string file = Root() + "/pending_moves";
  std::string content;
  if (!ReadHostFile(file, &content)) return true;
  unlink(file.c_str());
  bool ok = true;
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    std::string field;
    while (std::getline(split, field, '\t')) fields.push_back(field);
    if (fields.size() == 2 && fields[0] == "D") {
      uint32_t attributes = SYS_GetFileAttributes(fields[1].c_str());
      bool done = attributes != SYS_ATTR_INVALID && (attributes & SYS_ATTR_DIRECTORY)
                      ? SYS_RemoveDirectory(fields[1].c_str())
                      : SYS_FileDelete(fields[1].c_str()) == SYS_OK;
      ok = ok && done;
    } else if (fields.size() == 3 && fields[0] == "M") {
      ok = SYS_MoveFile(fields[1].c_str(), fields[2].c_str(), false) && ok;
    } else {
      ok = false;
    }
  }
  return ok;
}
