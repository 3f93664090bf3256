// Times one install by the engine, natively: the archive is volume 1 of a
// disc in drive D: of a fresh machine root, the install folder is C:\OUT.
//
//   install_bench MACHINE_ROOT ARCHIVE
//
// MACHINE_ROOT is made (it should be new); ARCHIVE is linked into it as
// D:\disk01.cbf. Prints the seconds from the start of the volume to the
// worker's end; the installed files stay under MACHINE_ROOT/drive_c/OUT.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "installer/engine.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "platform/machine.h"
#include "platform/startup.h"
#include "store/store.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: install_bench MACHINE_ROOT ARCHIVE\n");
    return 2;
  }
  namespace fs = std::filesystem;
  if (!SYS_SetMachineRoot(argv[1]) || !SYS_SetDrive('D', SYS_DRIVE_CDROM, 0)) return 1;
  std::error_code error;
  fs::create_symlink(fs::absolute(argv[2]), fs::path(argv[1]) / "drive_d" / "disk01.cbf", error);
  if (error) return 1;
  SysStartupInfo info = {sizeof info, "bench", 0};
  SYS_Init(&info);
  INST_InitTexts();
  INST_ResetState();
  if (!ParseCommandLine("D:\\setup.exe")) return 1;
  BF_MountParams params = {"*.cbf", "D:\\", nullptr, 1, 0, 0};
  if (!BF_Mount(&params)) return 1;
  SYS_StrCopy(InstallDir, sizeof InstallDir, "C:\\OUT");
  // No setup.exe or archive copy on this disc: only the volume's files.
  SYS_SetMessageBoxAnswerer(
      [](const char *, const char *, uint32_t) -> uint32_t { return SYS_ID_CANCEL; });

  InstallEngine engine;
  if (!INST_EngineInit(&engine)) return 1;
  auto start = std::chrono::steady_clock::now();
  if (!INST_StartCurrentVolume(&engine)) return 1;
  InstallProgress p;
  do {
    SYS_Sleep(1);
    INST_ReadProgress(&engine, &p);
  } while (p.status == INSTALL_RUNNING);
  SYS_WaitResult(InstallWorkerThread, SYS_INFINITE);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  SYS_CloseHandle(InstallWorkerThread);
  INST_EngineRelease(&engine);
  std::printf("%.3f\n", seconds);
  BF_Unmount();
  INST_FreeTexts();
  SYS_Shutdown();
  return p.status == INSTALL_DONE ? 0 : 1;
}
