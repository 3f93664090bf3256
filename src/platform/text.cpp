// Text, path and number operations: single-byte text, ASCII case rules,
// null pointers tolerated.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "platform/platform.h"

size_t SYS_StrLen(const char *s) {
  size_t n = 0;
  if (s)
    while (s[n]) n++;
  return n;
}

size_t SYS_StrCopy(char *dst, size_t size, const char *src) {
  if (!dst || size == 0) return 0;
  size_t n = 0;
  if (src)
    for (; n + 1 < size && src[n]; n++) dst[n] = src[n];
  dst[n] = 0;
  return n;
}

int SYS_StrCmp(const char *a, const char *b) {
  const unsigned char *x = reinterpret_cast<const unsigned char *>(a ? a : "");
  const unsigned char *y = reinterpret_cast<const unsigned char *>(b ? b : "");
  for (;; x++, y++) {
    if (*x != *y) return *x < *y ? -1 : 1;
    if (*x == 0) return 0;
  }
}

size_t SYS_StrUpper(char *s) {
  size_t n = 0;
  if (s)
    for (; s[n]; n++) s[n] = SYS_ToUpper(s[n]);
  return n;
}

size_t SYS_StrLower(char *s) {
  size_t n = 0;
  if (s)
    for (; s[n]; n++) s[n] = SYS_ToLower(s[n]);
  return n;
}

bool SYS_IsWebAddress(const char *text) {
  if (!text) return false;
  for (const char *scheme : {"http://", "https://"}) {
    size_t i = 0;
    while (scheme[i] && SYS_ToLower(text[i]) == scheme[i]) i++;
    if (!scheme[i] && text[i]) return true;
  }
  return false;
}

// Index just behind the last backslash, 0 when there is none.
static size_t AfterLastBackslash(const char *path) {
  size_t cut = 0;
  for (size_t i = 0; path[i]; i++)
    if (path[i] == '\\') cut = i + 1;
  return cut;
}

// Copies `length` characters of `from` and a terminator when they fit;
// otherwise writes "" and gives 0, since a cut path would name another place.
static size_t CopyPart(char *dst, size_t size, const char *from, size_t length) {
  if (!dst || size == 0) return 0;
  if (length >= size) length = 0;
  for (size_t i = 0; i < length; i++) dst[i] = from[i];
  dst[length] = 0;
  return length;
}

size_t SYS_DirPart(char *dst, size_t size, const char *path) {
  return CopyPart(dst, size, path, path ? AfterLastBackslash(path) : 0);
}

size_t SYS_FilePart(char *dst, size_t size, const char *path) {
  if (!path) return CopyPart(dst, size, "", 0);
  const char *file = path + AfterLastBackslash(path);
  return CopyPart(dst, size, file, SYS_StrLen(file));
}

// Matches name from n against pattern from p; last_dot is the name's last
// '.' or 0. Only the system's '*' tries more than one way.
static bool WildFrom(const char *p, const char *n, const char *last_dot, bool system) {
  for (; *p; p++) {
    char next = p[1];
    if (*p == '*' && !system) {
      while (*n && *n != '.') n++;
    } else if (*p == '*') {
      for (const char *m = n;; m++) {
        if (WildFrom(p + 1, m, last_dot, system)) return true;
        if (!*m || (next == '.' && m == last_dot)) return false;
      }
    } else if (*p == '?' && !system) {
      if (!*n) return false;
      n++;
    } else if (*p == '?') {
      if (*n && *n != '.') n++;
    } else if (*p == '.' && system && (next == '?' || next == '*' || next == 0)) {
      if (*n == '.')
        n++;
      else if (*n)
        return false;
    } else {
      if (SYS_ToUpper(*p) != SYS_ToUpper(*n)) return false;
      n++;
    }
  }
  return *n == 0;
}

bool SYS_WildMatch(const char *name, const char *pattern, SYS_WildRules rules) {
  if (!name || !pattern) return false;
  const char *last_dot = nullptr;
  for (const char *c = name; *c; c++)
    if (*c == '.') last_dot = c;
  return WildFrom(pattern, name, last_dot, rules == SYS_WILD_SYSTEM);
}

int SYS_FormatV(char *dst, size_t size, const char *format, va_list args) {
  if (!dst || size == 0) return 0;
  if (!format) {
    dst[0] = 0;
    return 0;
  }
  int n = std::vsnprintf(dst, size, format, args);
  if (n < 0) {
    dst[0] = 0;
    return 0;
  }
  dst[size - 1] = 0;
  return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}

int SYS_Format(char *dst, size_t size, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = SYS_FormatV(dst, size, format, args);
  va_end(args);
  return n;
}

// An optional '-' and decimal digits; 32-bit arithmetic that wraps.
uint32_t SYS_StrToInt(int32_t *out, const char *text) {
  if (!text) return SYS_ERR_BADARG;
  bool negative = *text == '-';
  if (negative) text++;
  uint32_t value = 0;
  for (; *text; text++) {
    if (*text < '0' || *text > '9') return SYS_ERR_BADARG;
    value = value * 10u + static_cast<uint32_t>(*text - '0');
  }
  if (negative) value = 0u - value;
  if (out) *out = static_cast<int32_t>(value);
  return SYS_OK;
}

size_t SYS_WStrLen(const uint16_t *s) {
  size_t n = 0;
  if (s)
    while (s[n]) n++;
  return n;
}

size_t SYS_WStrSize(const uint16_t *s) {
  return SYS_WStrLen(s) * 2;
}

size_t SYS_Widen(uint16_t *dst, const char *s) {
  if (!dst) return 0;
  size_t n = 0;
  if (s)
    for (; s[n]; n++) dst[n] = static_cast<unsigned char>(s[n]);
  dst[n] = 0;
  return n;
}

uint32_t SYS_ReleaseFreeKey(uintptr_t key, uintptr_t /*value*/) {
  SYS_FreeSafe(reinterpret_cast<void *>(key));
  return SYS_OK;
}

double SYS_Trunc(double v) {
  return std::trunc(v);
}

// Round to nearest with halves to even, whatever the floating-point mode.
// Values outside the 32-bit range and NaN give 0x80000000, as the
// processor's integer conversion does.
int32_t SYS_Round(double v) {
  if (!(v > -2147483648.5 && v < 2147483647.5)) return INT32_MIN;
  double f = std::floor(v);
  double diff = v - f;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
  if (f > 2147483647.0) return INT32_MIN;
  return static_cast<int32_t>(f);
}

bool SYS_PathIsInside(const char *path, const char *folder) {
  if (!path || !folder) return false;
  size_t n = SYS_StrLen(folder);
  while (n > 0 && folder[n - 1] == '\\') n--;
  if (n == 0) return false;
  for (size_t i = 0; i < n; i++) {
    const char a = SYS_ToUpper(path[i]), b = SYS_ToUpper(folder[i]);
    if (a != b || a == 0) return false;
  }
  return path[n] == 0 || path[n] == '\\';
}

bool SYS_IsFolder(const char *path) {
  char copy[SYS_MAX_PATH];
  if (SYS_StrLen(path) >= sizeof copy) return false;  // a cut path names another place
  const size_t n = SYS_StrCopy(copy, sizeof copy, path);
  if (n > 3 && copy[n - 1] == '\\') copy[n - 1] = 0;
  const uint32_t a = SYS_GetFileAttributes(copy);
  return a != SYS_ATTR_INVALID && (a & SYS_ATTR_DIRECTORY);
}

bool SYS_IsSafeRelativePath(const char *name) {
  if (!name || !name[0]) return false;
  size_t part = 0;  // where the current part starts
  for (size_t i = 0;; i++) {
    const char c = name[i];
    if (c == ':' || c == '/') return false;
    if (c != '\\' && c != 0) continue;
    const size_t length = i - part;
    if (length == 0 ||
        (name[part] == '.' && (length == 1 || (length == 2 && name[part + 1] == '.'))))
      return false;
    if (c == 0) return true;
    part = i + 1;
  }
}
