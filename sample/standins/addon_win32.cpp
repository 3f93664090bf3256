// GameSpy.exe and DXSetup.exe of the sample disc: stand-ins for the add-on
// set-up programs the installer runs and waits for. They show nothing, log
// their start (standin_log.h), tell every window that settings changed, as
// real set-up programs do (a broadcast that waits for each window's answer),
// and end; the exit code says whether the lines were written (0) or not (1).
#include <windows.h>

#include "standin_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const bool logged = StandinLogStart();
  SendMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
  return logged ? 0 : 1;
}
