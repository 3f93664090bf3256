// What the installer leaves on the emulated machine that only the native
// build can read back: deletions waiting for the restart, host links and
// trees deeper than a Windows path, a registry refusing writes; and
// whole installs compared with the archive tool's own extraction.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "installer/files.h"
#include "installer/system.h"
#include "installer/uninstall.h"
#include "installer_fixture.h"
#include "platform/machine.h"

namespace fs = std::filesystem;

namespace {

std::string Host(const std::string &windows_path) {
  char host[4096];
  EXPECT_GT(SYS_MapPath(windows_path.c_str(), host, sizeof host), 0u) << windows_path;
  return host;
}

TEST_F(InstallerTest, FilesInUseLeaveThreeDeletionsForTheRestart) {
  for (uint32_t platform : {2u, 1u}) {  // the older platform has no delayed deletion
    SYS_SetPlatformId(platform);
    for (const char *name : {"ashgrove.exe", "setup.cbf", "Uninstall.exe"})
      ASSERT_TRUE(machine.WriteFile(Installed(name), name));
    fs::remove(std::string(SYS_GetMachineRoot()) + "/pending_moves");
    // The running uninstaller holds its archive copy open.
    SYS_Handle held = SYS_FileOpenRead(Installed("setup.cbf").c_str(), SYS_ACCESS_READ);
    ASSERT_NE(held, 0u);
    INST_Uninstall();
    SYS_FileClose(held);
    EXPECT_FALSE(Exists(Installed("ashgrove.exe")));
    const std::string expected = "D\t" + Installed("Uninstall.exe") + "\nD\t" +
                                 Installed("setup.cbf") + "\nD\t" + install_dir_ + "\n";
    EXPECT_EQ(MachineFile("pending_moves"), platform >= 2 ? expected : "") << platform;
    SYS_RunPendingMoves();  // Uninstall.exe was not in use and is gone already
    EXPECT_EQ(Exists(install_dir_), platform < 2) << platform;
    char path[SYS_MAX_PATH];
    SYS_StrCopy(path, sizeof path, install_dir_.c_str());
    INST_DeleteTree(path, install_dir_.size(), true);
  }
}

TEST_F(InstallerTest, DeleteTreeRemovesLinksWithoutFollowingThemAndRefusesDeepPaths) {
  // A folder link inside the install folder points at the user's files.
  ASSERT_TRUE(machine.WriteFile(machine.Path("Precious\\keep.txt"), "mine"));
  ASSERT_TRUE(machine.WriteFile(Installed("a.txt"), "a"));
  fs::create_directory_symlink(Host(machine.Path("Precious")), Host(install_dir_) + "/link");
  char path[SYS_MAX_PATH];
  SYS_StrCopy(path, sizeof path, install_dir_.c_str());
  EXPECT_EQ(INST_DeleteTree(path, install_dir_.size(), true), 1);
  EXPECT_FALSE(fs::exists(fs::symlink_status(Host(install_dir_))));
  EXPECT_TRUE(fs::exists(Host(machine.Path("Precious\\keep.txt"))));

  // A tree deeper than a Windows path: that subtree fails, nothing overflows.
  std::string leaf = Host(machine.Path("deep"));
  for (int i = 0; i < 14; i++) leaf += "/" + std::string(20, 'd');
  fs::create_directories(leaf);
  std::ofstream(leaf + "/file.txt") << "x";
  SYS_StrCopy(path, sizeof path, machine.Path("deep").c_str());
  EXPECT_EQ(INST_DeleteTree(path, SYS_StrLen(path), true), 0);
  EXPECT_TRUE(fs::exists(leaf + "/file.txt"));
}

// An install whose keys cannot be written cannot be found or uninstalled:
// it fails, naming the key.
TEST_F(InstallerTest, FinishInstallFailsWhenTheRegistryRefusesWrites) {
  SYS_SetRegistryReadOnly(true);
  char failed[SYS_MAX_PATH] = "";
  EXPECT_EQ(INST_FinishInstall(failed), 0);
  SYS_SetRegistryReadOnly(false);
  EXPECT_STREQ(failed, "SOFTWARE\\Halvorin\\Ashgrove Demo");
}

// An install into a folder whose uninstall left files for the restart: the
// restart must not take the new install's; other folders' entries stay,
// also those of a folder whose name merely begins the same.
TEST_F(InstallerTest, ReinstallBeforeTheRestartKeepsTheNewInstall) {
  const std::string other = install_dir_ + " old\\left.tmp";
  ASSERT_TRUE(machine.WriteFile(other, "someone else's"));
  ASSERT_TRUE(SYS_MoveFile(other.c_str(), nullptr, true));
  for (const char *name : {"setup.cbf", "Uninstall.exe"})
    ASSERT_TRUE(machine.WriteFile(Installed(name), name));
  SYS_Handle held = SYS_FileOpenRead(Installed("setup.cbf").c_str(), SYS_ACCESS_READ);
  INST_Uninstall();
  SYS_FileClose(held);
  for (const char *name : {"setup.cbf", "Uninstall.exe"})
    ASSERT_TRUE(machine.WriteFile(Installed(name), name));
  ASSERT_EQ(INST_FinishInstall(), 1);
  SYS_RunPendingMoves();
  EXPECT_TRUE(Exists(Installed("Uninstall.exe")));
  EXPECT_TRUE(Exists(Installed("setup.cbf")));
  EXPECT_FALSE(Exists(other));
}

// Random trees with nested folders and sizes around the block edges, packed
// by the archive tool with either method, installed, and compared with the
// tool's own extraction.
TEST_F(InstallerTest, InstallsMatchTheArchiveToolsExtraction) {
  std::mt19937 random(20261207);
  const size_t sizes[] = {0, 1, 65535, 65536, 65537, 131072, 200001, 4000};
  for (int round = 0; round < 4; round++) {
    SCOPED_TRACE(round);
    std::string tree = Host(machine.Path("tree" + std::to_string(round)));
    int files = 6 + int(random() % 6);
    for (int i = 0; i < files; i++) {
      std::string folder = tree;
      for (unsigned depth = random() % 4; depth > 0; depth--)
        folder += "/" + std::string(1, char('A' + random() % 3)) + "SUB";
      fs::create_directories(folder);
      std::string content(sizes[random() % 8], '\0');
      bool text = random() % 2;
      for (char &c : content) c = text ? char('a' + random() % 4) : char(random());
      std::ofstream(folder + "/F" + std::to_string(i) + ".BIN", std::ios::binary) << content;
    }
    const std::string archive = Host(Disc("disk01.cbf")),
                      method = round % 2 ? " --method store" : "";
    const std::string extracted = Host(machine.Path("extracted" + std::to_string(round)));
    ASSERT_EQ(
        std::system(("'" CBF_PATH "' create '" + archive + "' '" + tree + "' --prefix DISK01" +
                     method + " >/dev/null && '" CBF_PATH "' extract '" + archive + "' '" +
                     extracted + "' >/dev/null")
                        .c_str()),
        0);
    MountDisc();

    InstallEngine engine;
    ASSERT_TRUE(INST_EngineInit(&engine));
    ASSERT_EQ(INST_StartCurrentVolume(&engine), 1);
    InstallProgress p = WaitForWorker(&engine);
    ASSERT_EQ(p.status, uint32_t(INSTALL_DONE)) << p.error;
    EXPECT_EQ(INST_EngineStep(&engine), uint32_t(INST_NOTIFY_DONE));
    INST_EngineRelease(&engine);

    int compared = 0;
    for (const auto &e : fs::recursive_directory_iterator(extracted + "/DISK01")) {
      if (!e.is_regular_file()) continue;
      std::string relative = fs::relative(e.path(), extracted + "/DISK01").string();
      for (char &c : relative) c = c == '/' ? '\\' : char(tolower(c));
      std::ifstream in(e.path(), std::ios::binary);
      const std::string want(std::istreambuf_iterator<char>(in), {});
      EXPECT_TRUE(Read(Installed(relative)) == want) << relative;
      compared++;
    }
    EXPECT_EQ(compared, files);
    INST_Uninstall();
    EXPECT_FALSE(Exists(install_dir_));
  }
}

}  // namespace
