// Natively the store sees an emulated Windows machine. The tool gives it a
// private machine root whose drive Z: is the host's "/", so every host file
// has a Windows name: /a/b.cbf is Z:\a\b.cbf.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "host.h"
#include "platform/machine.h"
#include "platform/platform.h"

namespace {
std::string g_root;
}

bool HostInit() {
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cbf-machine-XXXXXX";
  if (!mkdtemp(&pattern[0])) return false;
  g_root = pattern;
  if (!SYS_SetMachineRoot(g_root.c_str())) return false;
  std::string drive = g_root + "/drive_z";
  return symlink("/", drive.c_str()) == 0;
}

void HostShutdown() {
  if (g_root.empty()) return;
  SYS_SetMachineRoot(nullptr);
  std::string drive = g_root + "/drive_z";
  unlink(drive.c_str());  // the link only, never what it points to
  std::error_code ec;
  std::filesystem::remove_all(g_root, ec);
  g_root.clear();
}

std::string HostStorePath(const std::string &host_path) {
  std::error_code ec;
  std::string full = std::filesystem::absolute(host_path, ec).lexically_normal().string();
  if (ec) full = host_path;
  std::string out = "Z:";
  for (char c : full) out += c == '/' ? '\\' : c;
  return out;
}

bool HostSeek(std::FILE *file, uint64_t offset) {
  return fseeko(file, off_t(offset), SEEK_SET) == 0;
}

bool HostIsTerminal() {
  return isatty(2) != 0;
}
