// Interim answers of the emulated machine to the shell and program calls,
// so that the installer links and runs natively until the platform's own
// backend for them replaces this file: programs started and addresses
// opened are only written to the machine's log (nothing runs), shortcuts
// are not made, libraries are probed in the system folder.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/posix_machine.h"

namespace {

void iLog(const std::string &line) {
  const std::string root = machine::Root();
  if (root.empty()) return;
  std::FILE *f = std::fopen((root + "/log").c_str(), "ab");
  if (!f) return;
  std::fputs((line + "\n").c_str(), f);
  std::fclose(f);
}

}  // namespace

bool SYS_CreateShortcut(const char *, const SYS_Shortcut *) {
  return false;
}

SYS_Handle SYS_StartProgram(const char *program, const char *working_dir, bool) {
  iLog(std::string("start\t") + (program ? program : "") + "\t" + (working_dir ? working_dir : ""));
  return 0;
}

bool SYS_ShellOpen(const char *address) {
  iLog(std::string("open\t") + (address ? address : ""));
  return address != nullptr;
}

uint32_t SYS_GetPlatformId() {
  return 2;
}

bool SYS_SystemLibraryPresent(const char *file_name) {
  char path[SYS_MAX_PATH];
  const bool present =
      file_name && SYS_GetSystemDir(path, sizeof path) &&
      SYS_Format(path + SYS_StrLen(path), sizeof path - SYS_StrLen(path), "\\%s", file_name) > 0 &&
      SYS_GetFileAttributes(path) != SYS_ATTR_INVALID;
  iLog(std::string("probe\t") + (file_name ? file_name : "") + "\t" + (present ? "1" : "0"));
  return present;
}

void SYS_RestrictLibrarySearch() {}
void SYS_EnableWindow(uintptr_t, bool) {}
void SYS_RaiseWindow(uintptr_t) {}
