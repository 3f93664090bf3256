// The installer's window: a popup with a dialog frame and the program's
// icon (resource 101).
#include <windows.h>

#include "installer/wizard.h"

bool INST_OpenWindow(c_GUIB_Desktop *desktop, const char *title) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101));
  DesktopWindowParams params = {0x80400000u, 0, title, reinterpret_cast<uintptr_t>(icon)};
  return desktop->SetDisplayMode(1, &params) == GUI_OK;
}
