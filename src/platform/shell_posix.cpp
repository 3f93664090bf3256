// Shell, programs and system of the POSIX backend, over the emulated
// machine: shortcuts are real shell link (.lnk) files, and whatever would
// leave the machine (starting a program, opening an address, probing a
// system library) is appended to the machine's log file instead.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/machine.h"
#include "platform/platform.h"
#include "platform/posix_machine.h"

using namespace machine;

namespace {

// ---------------------------------------------------------------- the log

std::mutex g_log_mutex;  // one line at a time, whole, from any thread

bool AppendLog(const std::string &line) {
  std::string root = Root();
  if (root.empty()) return false;
  std::lock_guard<std::mutex> lock(g_log_mutex);
  int fd = open((root + "/log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::string text = line + "\n";
  bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return close(fd) == 0 && ok;
}

// ---------------------------------------------------------------- shell links

// The shell's own limits: paths fit the 260-byte buffers, other texts
// (description, arguments) the 1024-character info-tip size.
const size_t kMaxText = 1024;

// Flags of the link header (LinkFlags).
enum : uint32_t {
  kHasLinkInfo = 0x02,
  kHasName = 0x04,
  kHasWorkingDir = 0x10,
  kHasArguments = 0x20,
  kHasIconLocation = 0x40,
  kIsUnicode = 0x80,
};

void Put16(std::string *out, uint32_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string *out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A counted 16-bit string of the link's string data. The program's texts
// are single-byte; each byte is widened to one unit, as everywhere else.
void PutCounted(std::string *out, const char *text) {
  size_t length = SYS_StrLen(text);
  Put16(out, static_cast<uint32_t>(length));
  for (size_t i = 0; i < length; i++) Put16(out, static_cast<unsigned char>(text[i]));
}

// LinkInfo with a volume (type of the target's drive, no serial, no label)
// and the target as the local base path; the common path suffix is empty.
std::string LinkInfo(const char *target) {
  uint32_t drive_type = SYS_DRIVE_UNKNOWN;
  if (target[0] && target[1] == ':') {
    const char root[] = {target[0], ':', '\\', 0};
    drive_type = SYS_GetDriveType(root);
  }
  const uint32_t header_size = 0x1C;
  const uint32_t volume_size = 0x10 + 1;  // fixed fields and an empty label
  const uint32_t base_offset = header_size + volume_size;
  const uint32_t suffix_offset = base_offset + static_cast<uint32_t>(SYS_StrLen(target)) + 1;
  std::string info;
  Put32(&info, suffix_offset + 1);  // LinkInfoSize
  Put32(&info, header_size);
  Put32(&info, 1);              // VolumeIDAndLocalBasePath
  Put32(&info, header_size);    // VolumeIDOffset
  Put32(&info, base_offset);    // LocalBasePathOffset
  Put32(&info, 0);              // no network location
  Put32(&info, suffix_offset);  // CommonPathSuffixOffset
  Put32(&info, volume_size);
  Put32(&info, drive_type);
  Put32(&info, 0);     // serial number
  Put32(&info, 0x10);  // label offset
  info.push_back(0);   // the label ""
  info.append(target);
  info.push_back(0);
  info.push_back(0);  // the suffix ""
  return info;
}

std::string ShellLink(const SYS_Shortcut &link) {
  static const unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  uint32_t flags = kHasLinkInfo | kIsUnicode;
  if (link.description) flags |= kHasName;
  if (link.working_dir) flags |= kHasWorkingDir;
  if (link.arguments) flags |= kHasArguments;
  if (link.icon_file) flags |= kHasIconLocation;

  std::string out;
  Put32(&out, 0x4C);  // HeaderSize
  out.append(reinterpret_cast<const char *>(kLinkClsid), sizeof kLinkClsid);
  Put32(&out, flags);
  Put32(&out, 0);               // file attributes
  out.append(3 * 8 + 4, '\0');  // creation, access, write times; file size
  Put32(&out, static_cast<uint32_t>(link.icon_file ? link.icon_index : 0));
  Put32(&out, 1);                   // SW_SHOWNORMAL
  out.append(2 + 2 + 4 + 4, '\0');  // hot key, reserved
  out += LinkInfo(link.target);
  // String data, in the order the format fixes.
  if (link.description) PutCounted(&out, link.description);
  if (link.working_dir) PutCounted(&out, link.working_dir);
  if (link.arguments) PutCounted(&out, link.arguments);
  if (link.icon_file) PutCounted(&out, link.icon_file);
  Put32(&out, 0);  // terminal block of the extra data
  return out;
}

bool Fits(const char *text, size_t limit) {
  return !text || SYS_StrLen(text) < limit;
}

const uint16_t kEnglishUs = 0x0409;

// The platform identifier a test set, valid for the root it was set under.
std::mutex g_platform_mutex;
uint32_t g_platform_id = 2;
uint64_t g_platform_generation = 0;
// The same for the user's interface language.
uint16_t g_ui_language = kEnglishUs;
uint64_t g_ui_language_generation = 0;

// Administrator rights as a test set them, valid for the root they were set
// under; in_place while an elevated part runs in this process.
struct Rights {
  SYS_Elevation mode = SYS_ELEVATION_ASKS;
  bool in_place = false;
  uint64_t generation = 0;
};
Rights g_rights;  // under g_platform_mutex

Rights CurrentRights() {
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  return g_rights.generation == Generation() ? g_rights : Rights();
}

// The mark of a start or open line made while the process counts as elevated.
std::string Mark() {
  return SYS_IsElevated() ? "\televated" : "";
}

// Hand-over offers: names, one entry per open offer.
std::mutex g_offers_mutex;
std::multiset<std::string> g_offers;

struct OfferObject : Object {
  explicit OfferObject(const std::string &n) : Object(Kind::Offer), name(n) {
    std::lock_guard<std::mutex> lock(g_offers_mutex);
    g_offers.insert(name);
  }
  ~OfferObject() override {
    std::lock_guard<std::mutex> lock(g_offers_mutex);
    g_offers.erase(g_offers.find(name));
  }
  std::string name;
};

// A started program as the emulation sees it: already ended.
struct ProcessObject : Object {
  ProcessObject() : Object(Kind::Process) {}
};

bool IsFile(const char *path) {
  uint32_t attributes = SYS_GetFileAttributes(path);
  return attributes != SYS_ATTR_INVALID && !(attributes & SYS_ATTR_DIRECTORY);
}

}  // namespace

bool SYS_CreateShortcut(const char *link_path, const SYS_Shortcut *link) {
  if (!link_path || !link || !link->target) return false;
  if (!Fits(link->target, SYS_MAX_PATH) || !Fits(link->working_dir, SYS_MAX_PATH) ||
      !Fits(link->icon_file, SYS_MAX_PATH) || !Fits(link->description, kMaxText) ||
      !Fits(link->arguments, kMaxText))
    return false;
  std::string bytes = ShellLink(*link);
  SYS_Handle f = SYS_FileCreate(link_path);  // refuses a missing folder or a bad path
  if (!f) return false;
  bool ok = SYS_FileWrite(f, bytes.data(), static_cast<uint32_t>(bytes.size())) == SYS_OK;
  SYS_FileClose(f);
  if (!ok) SYS_FileDelete(link_path);
  return ok;
}

SYS_Handle SYS_StartProgram(const char *program, const char *working_dir, bool /*show_window*/) {
  if (!program || !IsFile(program)) return 0;
  if (working_dir) {
    uint32_t attributes = SYS_GetFileAttributes(working_dir);
    if (attributes == SYS_ATTR_INVALID || !(attributes & SYS_ATTR_DIRECTORY)) return 0;
  }
  if (!AppendLog(std::string("start\t") + program + "\t" + (working_dir ? working_dir : "") +
                 Mark()))
    return 0;
  return reinterpret_cast<SYS_Handle>(new ProcessObject);
}

bool SYS_ShellOpen(const char *address) {
  return address && AppendLog(std::string("open\t") + address + Mark());
}

// The elevated part runs in the menu's own process here: the menu opens it,
// so the line carries no elevated mark.
bool SYS_ShellOpenAsUser(const char * /*offer_name*/, const char *address) {
  if (!CurrentRights().in_place) return SYS_ShellOpen(address);
  return SYS_IsWebAddress(address) && AppendLog(std::string("open\t") + address);
}

uint32_t SYS_GetPlatformId() {
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  return g_platform_generation == Generation() ? g_platform_id : 2;
}

void SYS_SetPlatformId(uint32_t id) {
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  g_platform_id = id;
  g_platform_generation = Generation();
}

SYS_Handle SYS_OfferHandOver(const char *name) {
  return name ? reinterpret_cast<SYS_Handle>(new OfferObject(name)) : 0;
}

bool SYS_HandOverOffered(const char *name) {
  std::lock_guard<std::mutex> lock(g_offers_mutex);
  return name && g_offers.count(name) > 0;
}

bool SYS_IsElevated() {
  const Rights rights = CurrentRights();
  return rights.mode == SYS_ELEVATION_ADMIN || rights.in_place;
}

void SYS_SetElevation(SYS_Elevation elevation) {
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  g_rights = Rights();
  g_rights.mode = elevation;
  g_rights.generation = Generation();
}

uint32_t SYS_StartElevated(const char *program, const char *argument, SYS_Handle *process) {
  *process = 0;
  if (!program || !IsFile(program) ||
      !AppendLog(std::string("elevate\t") + program + "\t" + (argument ? argument : "")))
    return SYS_ELEVATE_FAILED;
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  if (g_rights.generation != Generation()) g_rights = Rights();
  g_rights.generation = Generation();
  if (g_rights.mode == SYS_ELEVATION_REFUSED) return SYS_ELEVATE_REFUSED;
  g_rights.in_place = true;
  return SYS_ELEVATE_IN_PLACE;
}

void SYS_EndElevatedInPlace(uint32_t exit_code) {
  {
    std::lock_guard<std::mutex> lock(g_platform_mutex);
    if (g_rights.generation != Generation() || !g_rights.in_place) return;
    g_rights.in_place = false;
  }
  AppendLog("return\t" + std::to_string(exit_code));
}

uint16_t SYS_GetUILanguage() {
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  return g_ui_language_generation == Generation() ? g_ui_language : kEnglishUs;
}

void SYS_SetUILanguage(uint16_t language) {
  std::lock_guard<std::mutex> lock(g_platform_mutex);
  g_ui_language = language;
  g_ui_language_generation = Generation();
}

bool SYS_SystemLibraryPresent(const char *file_name) {
  if (!file_name || !*file_name) return false;
  for (const char *p = file_name; *p; p++)
    if (*p == '\\' || *p == '/' || *p == ':') return false;
  char system[SYS_MAX_PATH];
  if (!SYS_GetSystemDir(system, sizeof system)) return false;
  bool present = IsFile((std::string(system) + "\\" + file_name).c_str());
  AppendLog(std::string("probe\t") + file_name + "\t" + (present ? "1" : "0"));
  return present;
}

// The headless desktop has no system window: nothing to restrict or raise.
void SYS_RestrictLibrarySearch() {}
void SYS_EnableWindow(uintptr_t /*window*/, bool /*enable*/) {}
void SYS_RaiseWindow(uintptr_t /*window*/) {}
void SYS_ShowWindow(uintptr_t /*window*/, bool /*show*/) {}
bool SYS_GetWindowPosition(uintptr_t /*window*/, int32_t * /*x*/, int32_t * /*y*/) {
  return false;
}

// ---------------------------------------------------------------- one copy at a time

bool SYS_ClaimSingleInstance(const char *name) {
  const std::string root = Root();
  if (root.empty() || !name) return true;  // nothing to lock: do not block the start
  std::string path = root + "/instance-";
  for (const char *p = name; *p; ++p)
    path += (std::isalnum(static_cast<unsigned char>(*p)) || *p == '.' || *p == '-') ? *p : '_';
  path += ".lock";
  // fcntl locks belong to the process: claiming again from this process
  // succeeds, and the kernel drops the lock when the process ends. The
  // descriptor stays open, since closing any descriptor of the file would
  // drop the lock too.
  static std::mutex claims_mutex;
  static std::map<std::string, int> claims;
  std::lock_guard<std::mutex> guard(claims_mutex);
  if (claims.count(path)) return true;
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return true;
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_SETLK, &lock) != 0) {
    close(fd);
    return false;
  }
  claims[path] = fd;
  return true;
}

void SYS_ActivateOtherInstance(const char * /*window_caption*/) {}
