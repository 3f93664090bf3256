// Files the installer writes: folders made on demand, store files copied out
// whole, and nothing half-written left behind when a copy fails.
#include "installer/files.h"

#include <gtest/gtest.h>

#include <string>

#include "store/store.h"
#include "support/scratch.h"

namespace {

class InstallerFiles : public ScratchTest {
 protected:
  void SetUp() override {
    SysStartupInfo info = {sizeof info, "test", 0};
    started_ = SYS_Init(&info) == SYS_OK;
    root_ = machine.Work() + "\\";
    BF_MountParams params = {"*.cbf", root_.c_str(), nullptr, 1, 0, 0};
    ASSERT_EQ(BF_Mount(&params), 1u);
  }
  void TearDown() override {
    BF_Unmount();
    SYS_SetMessageBoxAnswerer(nullptr);
    if (started_) SYS_Shutdown();
  }
  bool started_ = false;
  std::string root_;
};

TEST_F(InstallerFiles, CreateFileWithFoldersMakesTheMissingFolders) {
  std::string path = machine.Path("Games\\Demo\\Data\\maps\\one.map");
  SYS_Handle f = INST_CreateFileWithFolders(path.c_str());
  ASSERT_NE(f, 0u);
  EXPECT_EQ(SYS_FileWrite(f, "abc", 3), SYS_OK);
  SYS_FileClose(f);
  std::string bytes;
  ASSERT_TRUE(machine.ReadFile(path, &bytes));
  EXPECT_EQ(bytes, "abc");

  // An existing file is replaced; existing folders are fine.
  f = INST_CreateFileWithFolders(path.c_str());
  ASSERT_NE(f, 0u);
  SYS_FileClose(f);
  ASSERT_TRUE(machine.ReadFile(path, &bytes));
  EXPECT_EQ(bytes, "");

  // A file where a folder should be stops the walk.
  ASSERT_TRUE(machine.WriteFile(machine.Path("plain"), "x"));
  EXPECT_EQ(INST_CreateFileWithFolders(machine.Path("plain\\sub\\f.txt").c_str()), 0u);
}

TEST_F(InstallerFiles, CopyStoreFileCopiesEveryByteInPieces) {
  std::string data;
  for (int i = 0; i < 200000; i++) data += char(i * 7 + i / 300);
  ASSERT_TRUE(machine.WriteFile(machine.Path("big.bin"), data));
  ASSERT_TRUE(machine.WriteFile(machine.Path("empty.bin"), ""));

  std::string out = machine.Path("out\\big.bin");
  ASSERT_TRUE(machine.MakeDirs(machine.Path("out")));
  ASSERT_EQ(INST_CopyStoreFile(out.c_str(), "big.bin"), 1);
  std::string copy;
  ASSERT_TRUE(machine.ReadFile(out, &copy));
  EXPECT_TRUE(copy == data);

  std::string empty_out = machine.Path("out\\empty.bin");
  ASSERT_EQ(INST_CopyStoreFile(empty_out.c_str(), "empty.bin"), 1);
  ASSERT_TRUE(machine.ReadFile(empty_out, &copy));
  EXPECT_EQ(copy, "");
}

TEST_F(InstallerFiles, FailedCopiesLeaveNothingBehind) {
  SYS_SetMessageBoxAnswerer(
      [](const char *, const char *, uint32_t) -> uint32_t { return SYS_ID_CANCEL; });
  std::string out = machine.Path("missing.copy");
  EXPECT_EQ(INST_CopyStoreFile(out.c_str(), "no-such-file.bin"), 0);
  EXPECT_EQ(SYS_GetFileAttributes(out.c_str()), SYS_ATTR_INVALID);

  // A destination folder that does not exist: no folders are made here.
  ASSERT_TRUE(machine.WriteFile(machine.Path("a.bin"), "abc"));
  EXPECT_EQ(INST_CopyStoreFile(machine.Path("nope\\a.bin").c_str(), "a.bin"), 0);
}

TEST_F(InstallerFiles, CopyToTempUsesTheFileNameAndReplacesAnOlderCopy) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("sub\\tool.exe"), "new bytes"));
  char temp[SYS_MAX_PATH];
  ASSERT_GT(SYS_GetTempDir(temp, sizeof temp), 0u);
  std::string expected = std::string(temp) + "tool.exe";
  ASSERT_TRUE(machine.WriteFile(expected, "an older and longer copy"));

  char out[SYS_MAX_PATH] = "";
  ASSERT_EQ(INST_CopyToTemp("sub\\tool.exe", out), 1);
  EXPECT_EQ(std::string(out), expected);
  std::string copy;
  ASSERT_TRUE(machine.ReadFile(expected, &copy));
  EXPECT_EQ(copy, "new bytes");
  SYS_FileDelete(expected.c_str());
}

}  // namespace
