// ReadShortcut natively: parses the shell link file (header, optional ID
// list, LinkInfo's local base path and suffix, the counted strings, the
// extra data blocks up to the terminal one). Every offset and count is
// checked against the file's size.
#include <cstring>
#include <utility>

#include "platform/platform.h"
#include "support/shortcut.h"

namespace {

const size_t kMaxLinkFile = 1 << 20;

enum : uint32_t {
  kHasIdList = 0x01,
  kHasLinkInfo = 0x02,
  kHasName = 0x04,
  kHasRelativePath = 0x08,
  kHasWorkingDir = 0x10,
  kHasArguments = 0x20,
  kHasIconLocation = 0x40,
  kIsUnicode = 0x80,
};

bool ReadAll(const char *path, std::string *bytes) {
  SYS_Handle f = SYS_FileOpenRead(path, 0);
  if (!f) return false;
  bytes->clear();
  char buffer[4096];
  uint32_t n;
  while (bytes->size() <= kMaxLinkFile && (n = SYS_FileRead(f, buffer, sizeof buffer)) > 0)
    bytes->append(buffer, n);
  SYS_FileClose(f);
  return bytes->size() <= kMaxLinkFile;
}

class Reader {
 public:
  explicit Reader(const std::string &bytes) : b_(bytes) {}
  bool U16(size_t at, uint32_t *v) const {
    if (at > b_.size() || b_.size() - at < 2) return false;
    *v = Byte(at) | Byte(at + 1) << 8;
    return true;
  }
  bool U32(size_t at, uint32_t *v) const {
    uint32_t lo, hi;
    if (!U16(at, &lo) || !U16(at + 2, &hi)) return false;
    *v = lo | hi << 16;
    return true;
  }
  // A zero-terminated single-byte text starting at 'at', ending before 'end'.
  bool Text(size_t at, size_t end, std::string *out) const {
    if (end > b_.size()) return false;
    for (size_t i = at; i < end; i++) {
      if (b_[i] == 0) {
        *out = b_.substr(at, i - at);
        return true;
      }
    }
    return false;
  }
  // A counted string at *at (16-bit units or bytes); moves *at past it.
  // Units above 255 cannot be single bytes and read as '?'.
  bool Counted(size_t *at, bool unicode, std::string *out) const {
    uint32_t count;
    if (!U16(*at, &count)) return false;
    size_t unit = unicode ? 2 : 1, start = *at + 2;
    if (start + count * unit > b_.size()) return false;
    out->clear();
    for (size_t i = 0; i < count; i++) {
      uint32_t c = Byte(start + i * unit);
      if (unicode && Byte(start + i * unit + 1)) c = '?';
      out->push_back(static_cast<char>(c));
    }
    *at = start + count * unit;
    return true;
  }
  bool Clsid(size_t at, const unsigned char *id) const {
    return b_.size() >= at + 16 && std::memcmp(b_.data() + at, id, 16) == 0;
  }

 private:
  uint32_t Byte(size_t at) const { return static_cast<unsigned char>(b_[at]); }
  const std::string &b_;
};

}  // namespace

bool ReadShortcut(const char *windows_link_path, ShortcutFields *out) {
  static const unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  std::string bytes;
  if (!out || !ReadAll(windows_link_path, &bytes)) return false;
  Reader r(bytes);
  uint32_t header_size, flags, icon_index;
  if (!r.U32(0, &header_size) || header_size != 0x4C || !r.Clsid(4, kLinkClsid) ||
      !r.U32(20, &flags) || !r.U32(56, &icon_index) || bytes.size() < 0x4C)
    return false;
  ShortcutFields f;
  f.icon_index = static_cast<int>(icon_index);

  size_t at = 0x4C;
  if (flags & kHasIdList) {
    uint32_t size;
    if (!r.U16(at, &size)) return false;
    at += 2 + size;
  }
  if (flags & kHasLinkInfo) {
    uint32_t size, info_flags, base_offset, suffix_offset;
    if (!r.U32(at, &size) || size < 0x1C || at + size > bytes.size() ||
        !r.U32(at + 8, &info_flags) || !r.U32(at + 16, &base_offset) ||
        !r.U32(at + 24, &suffix_offset))
      return false;
    if (info_flags & 1) {  // a local path: base path and suffix
      std::string base, suffix;
      if (!r.Text(at + base_offset, at + size, &base) ||
          !r.Text(at + suffix_offset, at + size, &suffix))
        return false;
      f.target = base + suffix;
    }
    at += size;
  }
  bool unicode = (flags & kIsUnicode) != 0;
  std::string relative_path;
  const std::pair<uint32_t, std::string *> strings[] = {
      {kHasName, &f.description},       {kHasRelativePath, &relative_path},
      {kHasWorkingDir, &f.working_dir}, {kHasArguments, &f.arguments},
      {kHasIconLocation, &f.icon_file},
  };
  for (const auto &s : strings)
    if ((flags & s.first) && !r.Counted(&at, unicode, s.second)) return false;
  // Extra data blocks up to the terminal block (a size below 4).
  for (uint32_t size; r.U32(at, &size); at += size)
    if (size < 4) {
      *out = f;
      return true;
    }
  return false;
}
