// The program's own location, taken from its command line at start-up.
//
// ParseCommandLine fills AppPaths from the first token of the command line.
// The program takes no switches: after that token it reads only its own
// private hand-over argument (AppHandOverArgument), with which the menu
// starts its elevated copy, and ignores everything else.
// The installer later writes file names (setup.cbf, disk01.cbf) into the
// folder buffer right behind the folder, so users of the folder take only its
// first folder_length characters.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/platform.h"

struct AppPathsRecord {
  char program_path[SYS_MAX_PATH];    // full path of the running program
  char program_folder[SYS_MAX_PATH];  // its folder, always ending in a backslash
  uint32_t folder_length;             // characters of the folder, backslash included
};

extern AppPathsRecord AppPaths;
extern char TempArchivePath[SYS_MAX_PATH];  // copy of setup.cbf in the temporary folder
// The main loop turns while non-zero. Quit, Play and a closed window clear it.
extern std::atomic<uint32_t> AppRunning;

// The elevated copy's start: its first page (1 install, 15 uninstall; 0 when
// the command line had no hand-over argument) and the top-left corner of
// the window it takes over.
struct AppHandOverRecord {
  uint32_t page;
  int32_t x, y;
};
extern AppHandOverRecord AppHandOver;

// The hand-over argument for page and window position: "/handover:P,X,Y".
// Returns its length (0 when it does not fit).
size_t AppHandOverArgument(char *out, size_t size, uint32_t page, int32_t x, int32_t y);

// Fills AppPaths, and AppHandOver from a hand-over argument. Returns false, leaving AppPaths empty,
// when the program's path or folder would not fit its 260-byte buffer.
bool ParseCommandLine(const char *command_line);
