#include "installer_fixture.h"

#include "installer/files.h"
#include "installer/system.h"

void InstallerTest::SetUp() {
  SysStartupInfo info = {sizeof info, "test", 0};
  started_ = SYS_Init(&info) == SYS_OK;
  com_ = SYS_ComInit();  // shortcuts need it, as on the program's main thread
  // A missing store file is a "Disk error" box: answered Cancel, never left
  // waiting for a person (tests that count boxes set their own answerer).
  SYS_SetMessageBoxAnswerer(
      [](const char *, const char *, uint32_t) -> uint32_t { return SYS_ID_CANCEL; });
  INST_InitTexts();
  INST_ResetState();
  ASSERT_TRUE(machine.WriteFile(Disc("setup.exe"), "the installer's own bytes"));
  ASSERT_TRUE(ParseCommandLine(("\"" + Disc("setup.exe") + "\" ignored").c_str()));
  MountDisc();
  TempArchivePath[0] = 0;
  install_dir_ = machine.Path("Games\\Ashgrove MP demo");
  SYS_StrCopy(InstallDir, sizeof InstallDir, install_dir_.c_str());
  SYS_StrCopy(GamePath, sizeof GamePath, (install_dir_ + "\\ashgrove.exe").c_str());
  machine.DeleteKeyOnExit("SOFTWARE\\Halvorin");
  machine.DeleteKeyOnExit(std::string(INST_UNINSTALL_KEY_BASE) + INST_GetText(401));
}

void InstallerTest::TearDown() {
  BF_Unmount();
  INST_CloseRunFolder();
  INST_FreeTexts();
  SYS_SetMessageBoxAnswerer(nullptr);
  if (com_) SYS_ComUninit();
  if (started_) SYS_Shutdown();
}

std::string InstallerTest::Read(const std::string &path) const {
  std::string bytes;
  return machine.ReadFile(path, &bytes) ? bytes : "<unreadable>";
}

void InstallerTest::WriteArchive(const std::string &file,
                                 const std::vector<TestEntry> &entries) const {
  ASSERT_TRUE(machine.WriteFile(Disc(file), BuildArchive(entries)));
}

void InstallerTest::MountDisc() {
  BF_Unmount();
  std::string root = Disc();
  BF_MountParams params = {"*.cbf", root.c_str(), nullptr, 1, 0, 0};
  ASSERT_EQ(BF_Mount(&params), 1u);
}

InstallProgress InstallerTest::WaitForWorker(InstallEngine *engine) {
  InstallProgress p;
  for (int i = 0; i < 2000; i++) {
    INST_ReadProgress(engine, &p);
    if (p.status != INSTALL_RUNNING) break;
    SYS_Sleep(10);
  }
  return p;
}
