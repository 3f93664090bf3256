// GameSpy.exe and DXSetup.exe of the sample disc: stand-ins for the add-on
// set-up programs the installer runs and waits for. They show nothing, log
// their start (standin_log.h) and end at once; the exit code says whether
// the line was written (0) or not (1).
#include <windows.h>

#include "standin_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return StandinLogStart() ? 0 : 1;
}
