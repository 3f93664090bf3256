// The native entry point: the same program over the emulated machine.
// Usage: setup [COMMAND_LINE]  (the Windows command line the program sees,
// e.g. "\"D:\\SETUP.EXE\""; the machine root comes from SETUP_MACHINE_ROOT).
#include "app/app.h"

int main(int argc, char **argv) {
  if (argc > 1) SYS_SetCommandLine(argv[1]);
  return AppMain(0);
}
