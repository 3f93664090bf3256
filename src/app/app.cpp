#include "app/app.h"

#include "platform/startup.h"

char TempArchivePath[SYS_MAX_PATH];
volatile uint32_t AppRunning;

namespace {

const char kLogName[] = "inst.log";

}  // namespace

int AppInit(uintptr_t instance) {
  SysStartupInfo info = {sizeof(SysStartupInfo), kLogName, instance};
  if (SYS_Init(&info) != SYS_OK) return 0;

  SYS_LogOpen(SYS_LOG_MAIN, "Main");
  if (!SYS_ComInit()) {
    // Shortcuts cannot be made without COM; everything else still works, and
    // the shortcut step reports its own failure.
    SYS_LogPrint(SYS_LOG_MAIN, 1, "COM could not be initialised");
  }
  return 1;
}

void AppShutdown() {
  SYS_ComUninit();
  SYS_LogClose(SYS_LOG_MAIN);
  SYS_Shutdown();
}

int AppMain(uintptr_t instance) {
  if (!ParseCommandLine(SYS_GetCommandLine())) return -1;
  if (!AppInit(instance)) return -1;
  // The installer's window sets AppRunning once it is built; until then the
  // loop has nothing to turn.
  while (AppRunning) {
  }
  AppShutdown();
  return 0;
}
