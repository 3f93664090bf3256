// A machine with a disc folder (C:\WORK\disc holding setup.exe), the
// program's paths set as if started from there, the store mounted over the
// disc, the text table filled and a fresh wizard state with the install
// folder C:\WORK\Games\Ashgrove MP demo. The product's fixed registry keys
// are removed afterwards.
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

  std::string Disc(const std::string &name = "") const;
  std::string Installed(const std::string &relative) const;
  // Writes an archive into the disc folder.
  void WriteArchive(const std::string &file, const std::vector<TestEntry> &entries) const;
  // Polls until the worker has left INSTALL_RUNNING; the final progress.
  InstallProgress WaitForWorker(InstallEngine *engine) const;
  // The value of a REG_SZ value, or "<missing>".
  static std::string RegText(const std::string &key, const char *value);

  std::string install_dir_;

 private:
  bool started_ = false;
  bool com_ = false;
};
