// A library that writes C:\planted-marker.txt when it is loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE f = CreateFileA("C:\\planted-marker.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      DWORD written;
      WriteFile(f, "loaded\r\n", 8, &written, nullptr);
      CloseHandle(f);
    }
  }
  return TRUE;
}
