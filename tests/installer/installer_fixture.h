// A machine with a disc folder (C:\WORK\disc holding setup.exe), the
// program's paths set as if started from there, the store mounted over the
// disc, the text table filled and a fresh wizard state with the install
// folder C:\WORK\Games\Ashgrove MP demo. "Disk error" boxes are answered
// Cancel. The product's fixed registry keys are removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_builder.h"
#include "installer/engine.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "platform/startup.h"
#include "store/store.h"
#include "support/scratch.h"

class InstallerTest : public ScratchTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Disc(const std::string &name = "") const { return machine.Path("disc\\" + name); }
  std::string Installed(const std::string &relative) const {
    return install_dir_ + "\\" + relative;
  }
  // The whole file; "<unreadable>" when it cannot be read.
  std::string Read(const std::string &path) const;
  // Writes an archive into the disc folder.
  void WriteArchive(const std::string &file, const std::vector<TestEntry> &entries) const;
  // Mounts the store over the disc folder (again: after an archive changed).
  void MountDisc();
  // Polls until the worker has left INSTALL_RUNNING; the final progress.
  static InstallProgress WaitForWorker(InstallEngine *engine);

  std::string install_dir_;

 private:
  bool started_ = false;
  bool com_ = false;
};
