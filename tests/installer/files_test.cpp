// Files the installer writes: store files copied out whole, nothing
// half-written left behind when a copy fails, and the run folder.
#include "installer/files.h"

#include "installer/config.h"
#include "installer_fixture.h"

namespace {

TEST_F(InstallerTest, CopyStoreFileCopiesEveryByteOrNothing) {
  std::string data;
  for (int i = 0; i < 200000; i++) data += char(i * 7 + i / 300);
  ASSERT_TRUE(machine.WriteFile(Disc("big.bin"), data));
  ASSERT_TRUE(machine.WriteFile(Disc("empty.bin"), ""));
  ASSERT_TRUE(machine.MakeDirs(machine.Path("out")));
  for (const char *name : {"big.bin", "empty.bin"}) {
    std::string out = machine.Path(std::string("out\\") + name);
    ASSERT_EQ(INST_CopyStoreFile(out.c_str(), name), 1) << name;
    EXPECT_TRUE(Read(out) == Read(Disc(name))) << name;
  }
  // A missing source leaves no file; a missing folder is not made here.
  std::string out = machine.Path("missing.copy");
  EXPECT_EQ(INST_CopyStoreFile(out.c_str(), "no-such-file.bin"), 0);
  EXPECT_FALSE(Exists(out));
  EXPECT_EQ(INST_CopyStoreFile(machine.Path("nope\\big.bin").c_str(), "big.bin"), 0);
}

// Each run copies into a folder of its own with a fresh name, removes what
// earlier runs left (their prefix only) and its own folder at the end.
TEST_F(InstallerTest, CopyToTempUsesAFreshRunFolderThatGoesAtTheEnd) {
  ASSERT_TRUE(machine.WriteFile(Disc("sub\\tool.exe"), "new bytes"));
  char temp[SYS_MAX_PATH];
  ASSERT_GT(SYS_GetTempDir(temp, sizeof temp), 0u);
  const std::string stale = std::string(temp) + INSTALLER_IDENTITY "-0badc0de\\old.exe";
  const std::string other = std::string(temp) + "Other-0badc0de\\keep.exe";
  ASSERT_TRUE(machine.WriteFile(stale, "left behind"));
  ASSERT_TRUE(machine.WriteFile(other, "someone else's"));
  std::string copies[2];
  for (std::string &copy : copies) {
    char out[SYS_MAX_PATH] = "";
    ASSERT_EQ(INST_CopyToTemp("sub\\tool.exe", out), 1);
    copy = out;
    EXPECT_EQ(Read(copy), "new bytes");
    EXPECT_EQ(copy.rfind(std::string(temp) + INSTALLER_IDENTITY "-", 0), 0u) << copy;
    INST_CloseRunFolder();
    EXPECT_FALSE(Exists(copy.substr(0, copy.rfind('\\'))));
  }
  EXPECT_NE(copies[0], copies[1]);
  EXPECT_FALSE(Exists(stale.substr(0, stale.rfind('\\'))));
  EXPECT_TRUE(Exists(other));
}

}  // namespace
