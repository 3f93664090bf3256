#include "platform/startup.h"

#include <cstring>

AppPathsRecord AppPaths;
char TempArchivePath[SYS_MAX_PATH];
volatile uint32_t AppRunning;

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
  return false;
}

}  // namespace

bool ParseCommandLine(const char *command_line) {
  SYS_Zero(&AppPaths, sizeof(AppPaths));
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
