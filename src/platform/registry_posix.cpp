// HKEY_LOCAL_MACHINE of the POSIX backend: a tree in memory, mirrored in the
// text file "registry" of the machine root. Every change rewrites the file
// atomically; every operation first re-reads it when it changed on disk (or
// the root was switched), so the registry survives the process.
//
// File format (one line each, "; end" last):
//   [SOFTWARE\Halvorin\Ashgrove Demo]         a key, full path; %HH escapes
//   "InstallDir"=sz:"C:\\Games\\Ashgrove"      a REG_SZ value of the key above
//   "NoModify"=dword:00000001                 a REG_DWORD value, eight hex digits
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix_machine.h"

using namespace machine;

namespace {

const uint32_t kRegSz = 1;
const uint32_t kRegDword = 4;

struct Value {
  std::string name;
  uint32_t type;
  std::string data;  // REG_SZ: the text and its terminator; REG_DWORD: 4 bytes, little-endian
};

struct Key {
  std::string name;
  std::vector<std::unique_ptr<Key>> subkeys;  // sorted without regard to case
  std::vector<Value> values;                  // in creation order
};

struct KeyObject : Object {
  KeyObject() : Object(Kind::RegKey) {}
  std::vector<std::string> path;
};

struct Stamp {
  bool exists = false;
  uint64_t dev = 0, ino = 0, size = 0;
  int64_t mtime_ns = 0;
  bool operator==(const Stamp &o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
           mtime_ns == o.mtime_ns;
  }
};

std::mutex g_mutex;  // guards the tree and its bookkeeping
Key g_tree;
uint64_t g_generation = 0;
Stamp g_stamp;
uint64_t g_read_only_generation = 0;  // the root generation SYS_SetRegistryReadOnly applies to

bool Less(const std::string &a, const std::string &b) {
  return strcasecmp(a.c_str(), b.c_str()) < 0;
}
bool Same(const std::string &a, const std::string &b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string FileName() {
  return Root() + "/registry";
}

Stamp StampOf(const std::string &file) {
  Stamp s;
  struct stat st;
  if (stat(file.c_str(), &st) == 0) {
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = static_cast<uint64_t>(st.st_size);
    s.mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  }
  return s;
}

Key *Child(Key *key, const std::string &name) {
  for (auto &sub : key->subkeys)
    if (Same(sub->name, name)) return sub.get();
  return nullptr;
}

Key *AddChild(Key *key, const std::string &name) {
  if (Key *existing = Child(key, name)) return existing;
  auto at = std::lower_bound(
      key->subkeys.begin(), key->subkeys.end(), name,
      [](const std::unique_ptr<Key> &k, const std::string &n) { return Less(k->name, n); });
  std::unique_ptr<Key> sub(new Key);
  sub->name = name;
  return key->subkeys.insert(at, std::move(sub))->get();
}

Value *FindValue(Key *key, const std::string &name) {
  for (Value &v : key->values)
    if (Same(v.name, name)) return &v;
  return nullptr;
}

// "A\B\C" (one trailing backslash allowed; "" is HKEY_LOCAL_MACHINE itself).
bool ParsePath(const char *text, std::vector<std::string> *parts) {
  parts->clear();
  std::string path(text);
  if (!path.empty() && path.back() == '\\') path.pop_back();
  if (path.empty()) return text[0] == 0;
  std::istringstream split(path);
  std::string part;
  while (std::getline(split, part, '\\')) {
    if (part.empty() || part.size() > 255) return false;
    parts->push_back(part);
  }
  return true;
}

// ---------------------------------------------------------------- the file

std::string EscapeKeyName(const std::string &name) {
  std::string out;
  char hex[4];
  for (unsigned char c : name) {
    if (c < 0x20 || c == '%' || c == 0x7F) {
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Quote(const std::string &text) {
  std::string out = "\"";
  char hex[8];
  for (unsigned char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

uint32_t DwordOf(const std::string &data) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < data.size(); i++) v |= uint32_t(uint8_t(data[i])) << (8 * i);
  return v;
}

std::string DwordData(uint32_t v) {
  std::string data(4, '\0');
  for (size_t i = 0; i < 4; i++) data[i] = char(v >> (8 * i));
  return data;
}

void Serialize(const Key &key, const std::string &path, std::string *out) {
  if (!path.empty() || !key.values.empty()) *out += "[" + path + "]\n";
  for (const Value &v : key.values) {
    if (v.type == kRegDword) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08x", DwordOf(v.data));
      *out += Quote(v.name) + "=dword:" + hex + "\n";
      continue;
    }
    std::string text = v.data;
    if (!text.empty() && text.back() == 0) text.pop_back();
    *out += Quote(v.name) + "=sz:" + Quote(text) + "\n";
  }
  for (const auto &sub : key.subkeys)
    Serialize(*sub, (path.empty() ? "" : path + "\\") + EscapeKeyName(sub->name), out);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads a quoted text starting at line[*at] == '"'; *at ends behind it.
bool Unquote(const std::string &line, size_t *at, std::string *text) {
  if (*at >= line.size() || line[*at] != '"') return false;
  text->clear();
  for (size_t i = *at + 1; i < line.size(); i++) {
    char c = line[i];
    if (c == '"') {
      *at = i + 1;
      return true;
    }
    if (c == '\\' && i + 1 < line.size()) {
      c = line[++i];
      if (c == 'x' && i + 2 < line.size() && HexDigit(line[i + 1]) >= 0 &&
          HexDigit(line[i + 2]) >= 0) {
        c = static_cast<char>(HexDigit(line[i + 1]) * 16 + HexDigit(line[i + 2]));
        i += 2;
      }
    }
    *text += c;
  }
  return false;
}

void Parse(const std::string &content, Key *tree) {
  std::istringstream lines(content);
  std::string line;
  Key *current = tree;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.rfind(']');
      if (close == std::string::npos) continue;
      std::string path = line.substr(1, close - 1), part;
      current = tree;
      std::istringstream split(path);
      while (std::getline(split, part, '\\')) {
        std::string name;
        for (size_t i = 0; i < part.size(); i++) {
          if (part[i] == '%' && i + 2 < part.size() && HexDigit(part[i + 1]) >= 0 &&
              HexDigit(part[i + 2]) >= 0) {
            name += static_cast<char>(HexDigit(part[i + 1]) * 16 + HexDigit(part[i + 2]));
            i += 2;
          } else {
            name += part[i];
          }
        }
        if (!name.empty()) current = AddChild(current, name);
      }
    } else if (line[0] == '"') {
      size_t at = 0;
      Value v;
      v.type = kRegSz;
      if (!Unquote(line, &at, &v.name)) continue;
      if (line.compare(at, 7, "=dword:") == 0) {
        std::string hex = line.substr(at + 7);
        if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != hex.npos)
          continue;
        v.type = kRegDword;
        v.data = DwordData(uint32_t(std::stoul(hex, nullptr, 16)));
      } else if (line.compare(at, 4, "=sz:") == 0) {
        at += 4;
        if (!Unquote(line, &at, &v.data)) continue;
        v.data += '\0';
      } else {
        continue;
      }
      if (Value *old = FindValue(current, v.name))
        *old = v;
      else
        current->values.push_back(v);
    }
  }
}

// Brings the tree up to date with the file. Called with g_mutex held.
void Sync() {
  std::string file = FileName();
  Stamp now = StampOf(file);
  if (g_generation == Generation() && now == g_stamp) return;
  g_tree = Key();
  std::string content;
  if (now.exists && ReadHostFile(file, &content)) Parse(content, &g_tree);
  g_generation = Generation();
  g_stamp = now;
}

// Writes the tree out. Called with g_mutex held.
bool Save() {
  if (g_read_only_generation == Generation()) {
    g_generation = 0;  // forget the change: read the file again next time
    return false;
  }
  std::string content = "; demodisc machine registry: HKEY_LOCAL_MACHINE\n";
  Serialize(g_tree, "", &content);
  content += "; end\n";
  std::string file = FileName();
  if (!WriteAtomically(file, content)) {
    g_generation = 0;  // read the file again next time
    return false;
  }
  g_stamp = StampOf(file);
  return true;
}

Key *Walk(const std::vector<std::string> &path) {
  Key *key = &g_tree;
  for (const std::string &part : path)
    if (!(key = Child(key, part))) return nullptr;
  return key;
}

KeyObject *FromKey(SYS_RegKey key) {
  return static_cast<KeyObject *>(FromHandle(key, Kind::RegKey));
}

// The node of an open key, or null when it was deleted meanwhile.
Key *NodeOf(SYS_RegKey handle) {
  KeyObject *object = FromKey(handle);
  return object ? Walk(object->path) : nullptr;
}

SYS_RegKey NewHandle(const std::vector<std::string> &path) {
  KeyObject *object = new KeyObject;
  object->path = path;
  return reinterpret_cast<SYS_RegKey>(object);
}

}  // namespace

void SYS_SetRegistryReadOnly(bool read_only) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_read_only_generation = read_only ? Generation() : 0;
}

SYS_RegKey SYS_RegCreateKey(const char *path) {
  std::vector<std::string> parts;
  if (!path || !ParsePath(path, &parts)) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  if (Walk(parts)) return NewHandle(parts);
  Key *key = &g_tree;
  for (const std::string &part : parts) key = AddChild(key, part);
  if (!Save()) return 0;
  return NewHandle(parts);
}

SYS_RegKey SYS_RegOpenKey(const char *path) {
  std::vector<std::string> parts;
  if (!path || !ParsePath(path, &parts)) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  return Walk(parts) ? NewHandle(parts) : 0;
}

uint32_t SYS_RegDeleteKey(const char *path) {
  std::vector<std::string> parts;
  if (!path || !ParsePath(path, &parts) || parts.empty()) return SYS_ERR_OS;
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  std::string name = parts.back();
  parts.pop_back();
  Key *parent = Walk(parts);
  Key *key = parent ? Child(parent, name) : nullptr;
  if (!key || !key->subkeys.empty()) return SYS_ERR_OS;
  auto &subs = parent->subkeys;
  subs.erase(std::find_if(subs.begin(), subs.end(),
                          [key](const std::unique_ptr<Key> &k) { return k.get() == key; }));
  return Save() ? SYS_OK : SYS_ERR_OS;
}

static uint32_t SetValue(SYS_RegKey handle, const char *name, uint32_t type,
                         const std::string &data) {
  if (!name) return SYS_ERR_BADARG;
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  Key *key = NodeOf(handle);
  if (!key) return SYS_ERR_OS;
  if (Value *old = FindValue(key, name)) {
    old->type = type;
    old->data = data;
  } else {
    key->values.push_back(Value{name, type, data});
  }
  return Save() ? SYS_OK : SYS_ERR_OS;
}

uint32_t SYS_RegSetText(SYS_RegKey handle, const char *name, const char *text) {
  return SetValue(handle, name, kRegSz, std::string(text ? text : "") + '\0');
}

uint32_t SYS_RegSetDword(SYS_RegKey handle, const char *name, uint32_t value) {
  return SetValue(handle, name, kRegDword, DwordData(value));
}

uint32_t SYS_RegQueryValue(SYS_RegKey handle, const char *name, void *buffer, uint32_t *size) {
  if (!size) return SYS_ERR_OS;
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  Key *key = NodeOf(handle);
  Value *value = key ? FindValue(key, name ? name : "") : nullptr;
  if (!value) return SYS_ERR_OS;
  uint32_t needed = static_cast<uint32_t>(value->data.size());
  if (!buffer) {
    *size = needed;
    return SYS_OK;
  }
  if (*size < needed) {
    *size = needed;
    return SYS_ERR_OS;
  }
  std::copy(value->data.begin(), value->data.end(), static_cast<char *>(buffer));
  *size = needed;
  return SYS_OK;
}

uint32_t SYS_RegDeleteValue(SYS_RegKey handle, const char *name) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  Key *key = NodeOf(handle);
  Value *value = key ? FindValue(key, name ? name : "") : nullptr;
  if (!value) return SYS_ERR_OS;
  key->values.erase(key->values.begin() + (value - key->values.data()));
  return Save() ? SYS_OK : SYS_ERR_OS;
}

void SYS_RegCloseKey(SYS_RegKey handle) {
  if (KeyObject *object = FromKey(handle)) Unref(object);
}

static uint32_t EnumName(const std::string *name, char *out, size_t size) {
  if (!name) return SYS_REG_NO_MORE;
  if (!out || name->size() >= size) return SYS_ERR_OS;
  SYS_StrCopy(out, size, name->c_str());
  return SYS_OK;
}

uint32_t SYS_RegEnumKey(SYS_RegKey handle, uint32_t index, char *name, size_t size) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  Key *key = NodeOf(handle);
  if (!key) return SYS_ERR_OS;
  return EnumName(index < key->subkeys.size() ? &key->subkeys[index]->name : nullptr, name, size);
}

uint32_t SYS_RegEnumValue(SYS_RegKey handle, uint32_t index, char *name, size_t size) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Sync();
  Key *key = NodeOf(handle);
  if (!key) return SYS_ERR_OS;
  return EnumName(index < key->values.size() ? &key->values[index].name : nullptr, name, size);
}
