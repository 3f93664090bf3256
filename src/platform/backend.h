// What each backend (platform_posix.cpp, platform_win32.cpp) provides to the
// portable files of the platform layer. Not for use outside src/platform.
#pragma once

#include <cstdint>

uint32_t Backend_SystemTicks();     // the system's millisecond clock
const char *Backend_CommandLine();  // the process's own command line
uint32_t Backend_MessageBox(const char *text, const char *caption, uint32_t buttons,
                            uintptr_t owner);
