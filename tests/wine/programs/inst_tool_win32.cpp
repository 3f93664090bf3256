// The installer's DirectX check on a real Windows (Wine) machine, for the
// end-to-end script:
//   inst_tool.exe probe      prints the DirectX check's result
//   inst_tool.exe bareload   loads dpnhpast.dll by its bare name
// The probe runs as in setup.exe: with the library search restricted.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "installer/launcher.h"
#include "platform/startup.h"

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "bareload") == 0) {
    std::printf("bare load: %s\n", LoadLibraryA("dpnhpast.dll") ? "loaded" : "not found");
    return 0;
  }
  if (std::strcmp(argv[1], "probe") != 0) return 2;
  SysStartupInfo info = {sizeof info, "inst.log", 0};
  if (SYS_Init(&info) != SYS_OK) return 1;
  SYS_RestrictLibrarySearch();
  std::printf("DirectX present: %d\n", INST_IsDirectXPresent());
  SYS_Shutdown();
  return 0;
}
