// The install engine: the file list, the worker's copy, cancelling, failures
// and destination names that would leave the install folder.
#include "installer/engine.h"

#include "installer/system.h"
#include "installer/uninstall.h"
#include "installer_fixture.h"

namespace {

class Engine : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ASSERT_TRUE(INST_EngineInit(&engine_));
  }
  void TearDown() override {
    if (InstallWorkerThread) {
      InstallCancel = 1;
      SYS_WaitResult(InstallWorkerThread, SYS_INFINITE);
      SYS_CloseHandle(InstallWorkerThread);
      InstallWorkerThread = 0;
    }
    if (engine_.list) KeyedList_Destroy(engine_.list, true, false);
    INST_EngineRelease(&engine_);
    InstallerTest::TearDown();
  }
  // Starts volume 1 from disk01.cbf and waits for the worker.
  InstallProgress Install() {
    EXPECT_EQ(INST_StartCurrentVolume(&engine_), 1);
    return WaitForWorker(&engine_);
  }
  InstallEngine engine_;
};

TEST_F(Engine, CopiesEveryFileWithLowerCaseNamesAndFinishesOnce) {
  const std::string big = RandomBytes(65537, 1), block = RandomBytes(65536, 2), text(30000, 'a');
  // More pieces than the worker's queue holds: its buffers go round.
  const std::string huge = RandomBytes((INST_QUEUE_PIECES + 2) * INST_COPY_BLOCK + 3, 5);
  WriteArchive("disk01.cbf", {
                                 {"DISK01\\ASHGROVE.EXE", "game"},
                                 {"DISK01\\EMPTY.DAT", ""},
                                 {"DISK01\\DATA\\MAPS\\BLOCK.DAT", block},
                                 {"DISK01\\DATA\\MAPS\\BIG.DAT", big, 1, {40000, 25537}},
                                 {"DISK01\\DATA\\TEXT.TXT", text, 1},
                                 {"DISK01\\DATA\\HUGE.DAT", huge},
                                 {"OTHER\\NOT-THIS.TXT", "no"},
                             });
  ASSERT_TRUE(machine.WriteFile(machine.Path("setup-copy.cbf"), "archive copy"));
  SYS_StrCopy(TempArchivePath, sizeof TempArchivePath, machine.Path("setup-copy.cbf").c_str());
  // A trailing backslash on the install folder gives no double separator.
  SYS_StrCopy(InstallDir, sizeof InstallDir, (install_dir_ + "\\").c_str());

  InstallProgress p = Install();
  ASSERT_EQ(p.status, uint32_t(INSTALL_DONE)) << p.error;
  const uint64_t total = 4 + 0 + 65536 + 65537 + 30000 + huge.size() + 25 + 12;
  EXPECT_EQ(p.total_size, total);
  EXPECT_EQ(p.total_done, total);
  EXPECT_STREQ(p.current_name, "setup.cbf");
  const struct {
    const char *name;
    std::string bytes;
  } files[] = {{"ashgrove.exe", "game"},
               {"empty.dat", ""},
               {"data\\maps\\block.dat", block},
               {"data\\maps\\big.dat", big},
               {"data\\text.txt", text},
               {"data\\huge.dat", huge},
               {"Uninstall.exe", "the installer's own bytes"},
               {"setup.cbf", "archive copy"}};
  for (const auto &f : files) EXPECT_TRUE(Read(Installed(f.name)) == f.bytes) << f.name;
  EXPECT_FALSE(Exists(Installed("not-this.txt")));

  EXPECT_EQ(INST_EngineStep(&engine_), uint32_t(INST_NOTIFY_DONE));
  EXPECT_EQ(INST_EngineStep(&engine_), 0u);
  EXPECT_EQ(Installer.installed_bytes, total);
  EXPECT_EQ(RegText(INST_GetText(412), "InstallDir"), install_dir_ + "\\");
  INST_Uninstall();
}

TEST_F(Engine, NamesLeavingTheInstallFolderStopTheInstallBeforeAnyWrite) {
  for (const char *name : {"DISK01\\..\\EVIL.TXT", "DISK01\\A\\..\\..\\EVIL.TXT",
                           "DISK01\\C:EVIL.TXT", "DISK01\\\\EVIL.TXT"}) {
    WriteArchive("disk01.cbf", {{"DISK01\\FIRST.TXT", "first"}, {name, "evil"}});
    MountDisc();
    InstallProgress p = Install();
    EXPECT_EQ(p.status, uint32_t(INSTALL_FAILED)) << name;
    EXPECT_NE(std::string(p.error).find("Unsafe file name"), std::string::npos) << p.error;
    EXPECT_EQ(INST_EngineStep(&engine_), uint32_t(INST_NOTIFY_FAILED));
    EXPECT_FALSE(Exists(install_dir_)) << name;
    EXPECT_FALSE(Exists(machine.Path("Games\\EVIL.TXT"))) << name;
  }
  // Names the archive format cannot carry, checked directly.
  for (const char *safe : {"a.txt", "sub\\b..c.txt", "..x\\y"})
    EXPECT_TRUE(SYS_IsSafeRelativePath(safe)) << safe;
  for (const char *bad : {"a/../../x", "/x", "x\\..", "", "c:x"})
    EXPECT_FALSE(SYS_IsSafeRelativePath(bad)) << bad;
}

TEST_F(Engine, AReadFailureIsReportedOnceAndLeavesTheCopiedFiles) {
  // The second file's stream is not LZW: the store's retry box (answered
  // Cancel) and then a short read.
  TestEntry broken{"DISK01\\B.DAT", RandomBytes(5000, 3), 1};
  broken.raw_streams = {{0, std::string(40, '\xff')}};
  WriteArchive("disk01.cbf", {{"DISK01\\A.DAT", "aaa"}, broken});
  InstallProgress p = Install();
  ASSERT_EQ(p.status, uint32_t(INSTALL_FAILED));
  EXPECT_NE(std::string(p.error).find("Cannot read"), std::string::npos) << p.error;
  EXPECT_EQ(INST_EngineStep(&engine_), uint32_t(INST_NOTIFY_FAILED));
  EXPECT_EQ(INST_EngineStep(&engine_), 0u);
  EXPECT_EQ(Read(Installed("a.dat")), "aaa");
  INST_Uninstall();
}

TEST_F(Engine, CancelStopsBetweenBlocksAndTakesEverythingBack) {
  WriteArchive("disk01.cbf", {{"DISK01\\A.DAT", "first"},
                              {"DISK01\\BIG.DAT", RandomBytes(3 * INST_COPY_BLOCK, 4)}});
  // Holding the progress mutex stops the worker at its first publication.
  ASSERT_EQ(SYS_WaitResult(engine_.mutex, SYS_INFINITE), SYS_OK);
  ASSERT_EQ(INST_StartCurrentVolume(&engine_), 1);
  InstallCancel = 1;
  SYS_ReleaseMutex(engine_.mutex);
  INST_CancelInstall();
  EXPECT_EQ(InstallWorkerThread, 0u);
  InstallProgress p;
  INST_ReadProgress(&engine_, &p);
  EXPECT_EQ(p.status, uint32_t(INSTALL_RUNNING));  // the worker just ended
  EXPECT_LE(p.total_done, uint64_t(INST_COPY_BLOCK));
  EXPECT_FALSE(Exists(install_dir_));
  EXPECT_EQ(INST_EngineStep(&engine_), 0u);
  // Cancelled once the first file is there: it goes too.
  ASSERT_EQ(INST_StartCurrentVolume(&engine_), 1);
  for (int i = 0; i < 5000 && !Exists(Installed("a.dat")); i++) SYS_Sleep(1);
  ASSERT_TRUE(Exists(Installed("a.dat")));
  INST_CancelInstall();
  EXPECT_FALSE(Exists(install_dir_));
}

}  // namespace
