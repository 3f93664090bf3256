// On Windows the store opens host files by their own names.
#include <io.h>

#include <filesystem>

#include "host.h"

bool HostInit() {
  return true;
}
void HostShutdown() {}

std::string HostStorePath(const std::string &host_path) {
  std::error_code ec;
  std::string full = std::filesystem::absolute(host_path, ec).string();
  return ec ? host_path : full;
}

bool HostSeek(std::FILE *file, uint64_t offset) {
  return _fseeki64(file, int64_t(offset), SEEK_SET) == 0;
}

bool HostIsTerminal() {
  return _isatty(2) != 0;
}
