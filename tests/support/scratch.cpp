// The portable half of ScratchMachine: everything done through the platform.
#include "support/scratch.h"

#include "platform/platform.h"

bool Exists(const std::string &path) {
  return SYS_GetFileAttributes(path.c_str()) != SYS_ATTR_INVALID;
}

std::string RegText(const std::string &key_path, const char *value) {
  SYS_RegKey key = SYS_RegOpenKey(key_path.c_str());
  if (!key) return "<missing>";
  char data[SYS_MAX_PATH * 2];
  uint32_t size = sizeof data - 1;
  bool ok = SYS_RegQueryValue(key, value, data, &size) == SYS_OK;
  SYS_RegCloseKey(key);
  if (!ok) return "<missing>";
  data[size] = 0;
  return data;
}

std::string ScratchMachine::Path(const std::string &relative) const {
  return work_ + "\\" + relative;
}

std::string ScratchMachine::RegistryPath(const std::string &relative) const {
  return registry_base_ + "\\" + relative;
}

bool ScratchMachine::MakeDirs(const std::string &path) const {
  for (size_t i = 3; i <= path.size(); i++) {
    if (i < path.size() && path[i] != '\\') continue;
    std::string part = path.substr(0, i);
    uint32_t attributes = SYS_GetFileAttributes(part.c_str());
    if (attributes != SYS_ATTR_INVALID && (attributes & SYS_ATTR_DIRECTORY)) continue;
    if (!SYS_CreateDirectory(part.c_str())) return false;
  }
  return true;
}

bool ScratchMachine::WriteFile(const std::string &path, const std::string &bytes) const {
  size_t cut = path.rfind('\\');
  if (cut != std::string::npos && cut > 2 && !MakeDirs(path.substr(0, cut))) return false;
  SYS_Handle f = SYS_FileCreate(path.c_str());
  if (!f) return false;
  bool ok = SYS_FileWrite(f, bytes.data(), uint32_t(bytes.size())) == SYS_OK;
  SYS_FileClose(f);
  return ok;
}

bool ScratchMachine::ReadFile(const std::string &path, std::string *bytes) const {
  SYS_Handle f = SYS_FileOpenRead(path.c_str(), 0);
  if (!f) return false;
  bytes->clear();
  char buffer[4096];
  uint32_t n;
  while ((n = SYS_FileRead(f, buffer, sizeof buffer)) > 0) bytes->append(buffer, n);
  SYS_FileClose(f);
  return true;
}
