// The Windows GUI entry point.
#include <windows.h>

#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return AppMain(reinterpret_cast<uintptr_t>(instance));
}
