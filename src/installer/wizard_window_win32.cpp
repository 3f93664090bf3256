// The installer's window: a popup with a dialog frame and the program's
// icon (resource 101).
#include <windows.h>

#include "installer/wizard.h"
#include "platform/startup.h"

bool INST_OpenWindow(c_GUIB_Desktop *desktop, const char *title) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101));
  // The elevated copy opens where the menu that started it was.
  DesktopWindowParams params = {0x80400000u,
                                0,
                                title,
                                reinterpret_cast<uintptr_t>(icon),
                                AppHandOver.page != 0,
                                AppHandOver.x,
                                AppHandOver.y};
  return desktop->SetDisplayMode(1, &params) == GUI_OK;
}
