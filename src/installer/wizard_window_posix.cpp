// Natively the desktop has no window: it stays headless and its frames can
// be written to PNG.
#include "installer/wizard.h"

bool INST_OpenWindow(c_GUIB_Desktop *desktop, const char *) {
  return desktop->SetDisplayMode(0, nullptr) == GUI_OK;
}
