// ScratchMachine natively: a fresh machine root in a temporary host folder.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/machine.h"
#include "platform/platform.h"
#include "support/scratch.h"

std::string MachineFile(const std::string &name) {
  std::ifstream in(std::string(SYS_GetMachineRoot()) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ScratchMachine::ScratchMachine() {
  std::string base = std::filesystem::temp_directory_path().string() + "/demodisc-scratch-XXXXXX";
  std::vector<char> folder(base.begin(), base.end());
  folder.push_back(0);
  if (!mkdtemp(folder.data())) {
    ADD_FAILURE() << "cannot make a scratch folder";
    return;
  }
  host_ = folder.data();
  if (!SYS_SetMachineRoot(host_.c_str()) || !SYS_SetDrive('C', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST))
    ADD_FAILURE() << "cannot set up the machine root " << host_;
  work_ = "C:\\WORK";
  registry_base_ = "SOFTWARE\\DemoDiscTests\\Scratch";
  if (!SYS_CreateDirectory(work_.c_str())) ADD_FAILURE() << "cannot make " << work_;
  SYS_RegKey key = SYS_RegCreateKey(registry_base_.c_str());
  if (!key) ADD_FAILURE() << "cannot make " << registry_base_;
  SYS_RegCloseKey(key);
}

ScratchMachine::~ScratchMachine() {
  // The whole machine goes, registry included; then the default root again.
  SYS_SetMachineRoot(nullptr);
  if (!host_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(host_, ignored);
  }
}
