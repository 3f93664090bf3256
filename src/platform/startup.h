// The program's own location, taken from its command line at start-up.
//
// ParseCommandLine fills AppPaths from the first token of the command line;
// everything after that token is ignored (the program takes no switches).
// The installer later writes file names (setup.cbf, disk01.cbf) into the
// folder buffer right behind the folder, so users of the folder take only its
// first folder_length characters.
#pragma once

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
extern volatile uint32_t AppRunning;

// Fills AppPaths. Returns false, leaving AppPaths empty, when the program's
// path or folder would not fit its 260-byte buffer.
bool ParseCommandLine(const char *command_line);
