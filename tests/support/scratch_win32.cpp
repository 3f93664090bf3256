// ScratchMachine on Windows: a fresh folder under the temporary folder and a
// fresh registry key, both removed afterwards.
#include <windows.h>

#include "platform/platform.h"
#include "support/scratch.h"

static void DeleteTree(const std::string &folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

ScratchMachine::ScratchMachine() {
  static unsigned counter = 0;
  char cwd[SYS_MAX_PATH];
  if (SYS_GetCurrentDir(cwd, sizeof cwd)) saved_cwd_ = cwd;
  char temp[SYS_MAX_PATH];
  if (!SYS_GetTempDir(temp, sizeof temp)) ADD_FAILURE() << "no temporary folder";
  std::string unique = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
  work_ = std::string(temp) + "ddt" + unique;
  host_ = work_;
  registry_base_ = "SOFTWARE\\DemoDiscTests\\" + unique;
  DeleteTree(work_);
  if (!SYS_CreateDirectory(work_.c_str())) ADD_FAILURE() << "cannot make " << work_;
  SYS_RegDeleteKeyTree(registry_base_.c_str());
  SYS_RegKey key = SYS_RegCreateKey(registry_base_.c_str());
  if (!key) ADD_FAILURE() << "cannot make HKLM\\" << registry_base_;
  SYS_RegCloseKey(key);
}

ScratchMachine::~ScratchMachine() {
  if (!saved_cwd_.empty()) SYS_SetCurrentDir(saved_cwd_.c_str());
  for (const std::string &key : extra_keys_) SYS_RegDeleteKeyTree(key.c_str());
  SYS_RegDeleteKeyTree(registry_base_.c_str());
  SYS_RegDeleteKey("SOFTWARE\\DemoDiscTests");  // only when no other test holds a key there
  DeleteTree(host_);
}
