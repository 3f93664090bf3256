#include "platform/startup.h"

#include <cstring>

AppPathsRecord AppPaths;
AppHandOverRecord AppHandOver;
char TempArchivePath[SYS_MAX_PATH];
std::atomic<uint32_t> AppRunning;

namespace {

// Appends a backslash unless text already ends in one. False when it would
// not fit.
bool EnsureTrailingBackslash(char *text, size_t size) {
  size_t n = SYS_StrLen(text);
  if (n > 0 && text[n - 1] == '\\') return true;
  if (n + 2 > size) return false;
  text[n] = '\\';
  text[n + 1] = 0;
  return true;
}

bool Fail() {
  SYS_Zero(&AppPaths, sizeof(AppPaths));
  SYS_Zero(&AppHandOver, sizeof(AppHandOver));
  return false;
}

const char kHandOver[] = "/handover:";

// A decimal number of at most 6 digits, with an optional minus sign when
// allowed; advances text past it.
bool ReadNumber(const char **text, bool sign, int32_t *out) {
  const char *p = *text;
  const bool minus = sign && *p == '-';
  if (minus) ++p;
  int32_t value = 0, digits = 0;
  for (; *p >= '0' && *p <= '9' && digits < 6; ++p, ++digits) value = value * 10 + (*p - '0');
  if (digits == 0 || (*p >= '0' && *p <= '9')) return false;
  *out = minus ? -value : value;
  *text = p;
  return true;
}

// The rest of the command line after the program's token: exactly one
// hand-over argument naming page 1 or 15, or nothing is taken from it.
void ParseHandOver(const char *rest) {
  SYS_Zero(&AppHandOver, sizeof(AppHandOver));
  while (*rest == ' ' || *rest == '\t') ++rest;
  if (strncmp(rest, kHandOver, sizeof(kHandOver) - 1) != 0) return;
  const char *p = rest + sizeof(kHandOver) - 1;
  int32_t page = 0, x = 0, y = 0;
  if (!ReadNumber(&p, false, &page) || *p++ != ',' || !ReadNumber(&p, true, &x) || *p++ != ',' ||
      !ReadNumber(&p, true, &y))
    return;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p || (page != 1 && page != 15)) return;
  AppHandOver = {uint32_t(page), x, y};
}

}  // namespace

size_t AppHandOverArgument(char *out, size_t size, uint32_t page, int32_t x, int32_t y) {
  char text[64];
  const int n = SYS_Format(text, sizeof text, "%s%u,%d,%d", kHandOver, page, x, y);
  if (n <= 0 || size_t(n) >= size) return 0;
  return SYS_StrCopy(out, size, text);
}

bool ParseCommandLine(const char *command_line) {
  SYS_Zero(&AppPaths, sizeof(AppPaths));
  SYS_Zero(&AppHandOver, sizeof(AppHandOver));
  const char *line = command_line ? command_line : "";

  // The first token: quoted up to the closing quote, otherwise up to the
  // first space; without a delimiter it runs to the end of the line.
  const char *start = line;
  char delimiter = ' ';
  if (*line == '"') {
    start = line + 1;
    delimiter = '"';
  }
  const char *end = strchr(start, delimiter);
  size_t length = end ? size_t(end - start) : strlen(start);
  ParseHandOver(end ? end + 1 : "");
  if (length >= SYS_MAX_PATH) return Fail();
  char token[SYS_MAX_PATH];
  memcpy(token, start, length);
  token[length] = 0;

  AppPathsRecord &p = AppPaths;
  if (length >= 2 && (token[1] == ':' || token[1] == '\\')) {
    // A drive path, or a rooted or UNC path: the token is the program path.
    SYS_StrCopy(p.program_path, sizeof p.program_path, token);
    SYS_DirPart(p.program_folder, sizeof p.program_folder, token);
    if (!EnsureTrailingBackslash(p.program_folder, sizeof(p.program_folder))) return Fail();
  } else {
    // A relative token: the folder is the current directory, whatever folders
    // the token itself names.
    if (SYS_GetCurrentDir(p.program_folder, sizeof(p.program_folder)) == 0) return Fail();
    if (!EnsureTrailingBackslash(p.program_folder, sizeof(p.program_folder))) return Fail();
    if (SYS_StrLen(p.program_folder) + length >= sizeof(p.program_path)) return Fail();
    SYS_Format(p.program_path, sizeof(p.program_path), "%s%s", p.program_folder, token);
  }
  p.folder_length = uint32_t(SYS_StrLen(p.program_folder));
  return true;
}
