// The native entry point: the same program over the emulated machine, with
// an optional script that drives it headless.
//
//   setup [COMMAND_LINE] [--script FILE] [--frames DIR]
//
// COMMAND_LINE is the Windows command line the program sees (for example
// "\"D:\\SETUP.EXE\""); SETUP_MACHINE_ROOT names the machine root. Without
// a script the program runs until it ends. With one it exits 0 when the
// script ran to its end or the program ended first, and 1 with the failing
// line on standard error.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/app.h"
#include "app/script.h"

int main(int argc, char **argv) {
  const char *script_path = nullptr;
  AppScript script;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--script") && i + 1 < argc) {
      script_path = argv[++i];
    } else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) {
      script.frames = argv[++i];
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      std::fprintf(stderr, "usage: setup [COMMAND_LINE] [--script FILE] [--frames DIR]\n");
      return 2;
    } else {
      SYS_SetCommandLine(argv[i]);
    }
  }
  if (!script_path) return AppMain(0);

  std::ifstream in(script_path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "setup: cannot read %s\n", script_path);
    return 1;
  }
  script.text = text.str();
  const int rc = AppMain(0, AppRunScript, &script);
  if (rc == 1) std::fprintf(stderr, "setup: %s: %s\n", script_path, script.error.c_str());
  if (rc == -1) std::fprintf(stderr, "setup: the program could not start\n");
  return rc == 0 ? 0 : 1;
}
