#include "tool_store.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/machine.h"
#include "platform/platform.h"
#include "store/store.h"

namespace {
std::string g_root;
std::string g_folder;
}  // namespace

std::string ToolOpenStoreFor(const std::string &host_file) {
  SysStartupInfo info = {sizeof(SysStartupInfo), "tool", 0};
  SYS_Init(&info);
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/gfx-machine-XXXXXX";
  if (!mkdtemp(&pattern[0])) return "";
  g_root = pattern;
  if (!SYS_SetMachineRoot(g_root.c_str())) return "";
  if (symlink("/", (g_root + "/drive_z").c_str()) != 0) return "";
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(host_file, ec).lexically_normal();
  if (ec) return "";
  g_folder = "Z:";
  for (char c : full.parent_path().string()) g_folder += c == '/' ? '\\' : c;
  if (g_folder.back() != '\\') g_folder += '\\';
  BF_MountParams params = {"*.cbf", g_folder.c_str(), nullptr, 1, 1, 0};
  if (BF_Mount(&params) != BF_MOUNTED) return "";
  return full.filename().string();
}

void ToolCloseStore() {
  BF_Unmount();
  if (!g_root.empty()) {
    SYS_SetMachineRoot(nullptr);
    unlink((g_root + "/drive_z").c_str());  // the link only, never what it points to
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
    g_root.clear();
  }
  SYS_Shutdown();
}
