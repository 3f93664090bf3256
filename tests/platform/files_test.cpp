// Files, folders, attributes and file search, through Windows paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/scratch.h"

namespace {

using Names = std::vector<std::string>;

class Files : public ScratchTest {};

Names Find(const std::string &pattern) {
  Names names;
  SYS_FindData data;
  SYS_Handle find = SYS_FindFirst(pattern.c_str(), &data);
  if (!find) return names;
  do names.push_back(data.name);
  while (SYS_FindNext(find, &data));
  SYS_FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST_F(Files, CreateWriteReadSeekAndSize) {
  std::string path = machine.Path("data.bin");
  SYS_Handle f = SYS_FileCreate(path.c_str());
  ASSERT_NE(f, 0u);
  EXPECT_EQ(SYS_FileWrite(f, "0123456789", 10), SYS_OK);
  EXPECT_EQ(SYS_FileSize(f), 10u);
  EXPECT_EQ(SYS_FileSeek(f, -4, 2), 6u);
  char buffer[16] = {};
  EXPECT_EQ(SYS_FileRead(f, buffer, 16), 4u);  // short read at the end
  EXPECT_STREQ(buffer, "6789");
  EXPECT_EQ(SYS_FileSeek(f, -1, 0), SYS_BAD_POS);  // before the start
  EXPECT_EQ(SYS_FileSeek(f, 0, 1), 10u);           // position kept after a failed seek
  SYS_FileClose(f);
  // Readers share, each with its own position, and cannot write.
  SYS_Handle a = SYS_FileOpenRead(path.c_str(), SYS_OPEN_SEQUENTIAL);
  SYS_Handle b = SYS_FileOpenRead(path.c_str(), 0);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(SYS_FileRead(a, buffer, 3), 3u);
  EXPECT_EQ(SYS_FileRead(b, buffer + 3, 1), 1u);
  EXPECT_EQ(std::string(buffer, 4), "0120");
  EXPECT_EQ(SYS_FileWrite(a, "x", 1), SYS_ERR_FAILED);
  EXPECT_EQ(SYS_CloseHandle(a), SYS_OK);  // the general close works for files
  SYS_FileClose(b);
  // Create truncates.
  f = SYS_FileCreate(path.c_str());
  ASSERT_NE(f, 0u);
  EXPECT_EQ(SYS_FileSize(f), 0u);
  SYS_FileClose(f);
}
TEST_F(Files, OpenCreateAndDeleteRefusals) {
  EXPECT_EQ(SYS_FileOpenRead(machine.Path("missing.txt").c_str(), 0), 0u);
  EXPECT_EQ(SYS_FileOpenRead(machine.Work().c_str(), 0), 0u);  // a folder is no file
  EXPECT_EQ(SYS_FileCreate(machine.Path("no\\such\\folder.txt").c_str()), 0u);
  EXPECT_EQ(SYS_FileOpenRead(nullptr, 0), 0u);
  EXPECT_EQ(SYS_FileCreate(nullptr), 0u);

  std::string path = machine.Path("busy.txt");
  ASSERT_TRUE(machine.WriteFile(path, "x"));
  SYS_Handle f = SYS_FileOpenRead(path.c_str(), 0);
  ASSERT_NE(f, 0u);
  EXPECT_EQ(SYS_FileDelete(path.c_str()), SYS_ERR_OS);  // open
  SYS_FileClose(f);
  ASSERT_TRUE(SYS_SetFileAttributes(path.c_str(), SYS_ATTR_READONLY));
  EXPECT_EQ(SYS_FileDelete(path.c_str()), SYS_ERR_OS);
  ASSERT_TRUE(SYS_SetFileAttributes(path.c_str(), SYS_ATTR_NORMAL));
  EXPECT_EQ(SYS_FileDelete(path.c_str()), SYS_OK);
  EXPECT_EQ(SYS_GetFileAttributes(path.c_str()), SYS_ATTR_INVALID);
  EXPECT_EQ(SYS_FileDelete(path.c_str()), SYS_ERR_NOFILE);
  EXPECT_EQ(SYS_FileDelete(machine.Work().c_str()), SYS_ERR_OS);  // a folder
}

TEST_F(Files, NamesMatchWithoutRegardToCaseAndMovesReplace) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("Mixed\\ReadMe.txt"), "hello"));
  std::string upper = machine.Work() + "\\MIXED\\README.TXT";
  SYS_Handle f = SYS_FileOpenRead(upper.c_str(), 0);
  ASSERT_NE(f, 0u);
  SYS_FileClose(f);
  EXPECT_FALSE(SYS_CreateDirectory(machine.Path("mixed").c_str()));
  EXPECT_EQ(Find(machine.Path("MIXED\\*.TXT")), Names{"ReadMe.txt"});  // as it was created

  std::string to = machine.Path("to.txt");
  ASSERT_TRUE(machine.WriteFile(to, "old"));
  ASSERT_TRUE(SYS_MoveFile(upper.c_str(), to.c_str(), false));
  std::string contents;
  ASSERT_TRUE(machine.ReadFile(to, &contents));
  EXPECT_EQ(contents, "hello");
  EXPECT_EQ(SYS_GetFileAttributes(upper.c_str()), SYS_ATTR_INVALID);
  EXPECT_FALSE(SYS_MoveFile(upper.c_str(), to.c_str(), false));  // source gone
  EXPECT_FALSE(SYS_MoveFile(to.c_str(), nullptr, false));        // no target without delay
}

TEST_F(Files, CurrentDirectoryResolvesRelativePaths) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("cwd\\inner.txt"), "rel"));
  ASSERT_TRUE(SYS_SetCurrentDir(machine.Path("cwd").c_str()));
  EXPECT_EQ(Find("*.txt"), Names{"inner.txt"});
  EXPECT_FALSE(SYS_SetCurrentDir(machine.Path("cwd\\inner.txt").c_str()));  // a file
  char cwd[SYS_MAX_PATH];
  size_t n = SYS_GetCurrentDir(cwd, sizeof cwd);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(SYS_GetCurrentDir(cwd, n), 0u);  // too small: nothing cut short
}
TEST_F(Files, SystemFoldersAndDrivesHaveTheirShape) {
  char buffer[SYS_MAX_PATH];
  size_t n = SYS_GetTempDir(buffer, sizeof buffer);
  ASSERT_GT(n, 3u);
  EXPECT_EQ(buffer[n - 1], '\\');
  EXPECT_EQ(SYS_GetTempDir(buffer, n), 0u);
  for (SYS_SpecialFolder which : {SYS_FOLDER_DESKTOP, SYS_FOLDER_PROGRAMS}) {
    ASSERT_GT(SYS_GetSpecialFolder(which, buffer, sizeof buffer), 3u) << which;
    EXPECT_TRUE(SYS_GetFileAttributes(buffer) & SYS_ATTR_DIRECTORY) << buffer;
  }
  char drives[256];
  size_t needed = SYS_GetLogicalDrives(drives, sizeof drives);
  ASSERT_GT(needed, 4u);
  EXPECT_NE(std::string(drives, needed).find(std::string("C:\\\0", 4)), std::string::npos);
  char tiny[2] = {'#', '#'};
  EXPECT_EQ(SYS_GetLogicalDrives(tiny, sizeof tiny), needed);
  EXPECT_EQ(tiny[0], '#');  // nothing written when it does not fit
}
TEST_F(Files, OverlongPathsAreRefused) {
  std::string deep = machine.Work();
  while (deep.size() + 11 < 230) deep += "\\abcdefghij";
  ASSERT_TRUE(machine.MakeDirs(deep));
  // The folders fit, but a file name behind the last one does not.
  std::string file = deep + "\\a-file-name-that-makes-the-path-too-long.txt";
  ASSERT_GE(file.size(), SYS_MAX_PATH);
  EXPECT_EQ(SYS_FileCreate(file.c_str()), 0u);
  EXPECT_EQ(SYS_FileOpenRead(file.c_str(), 0), 0u);
  EXPECT_EQ(SYS_GetFileAttributes(file.c_str()), SYS_ATTR_INVALID);
  EXPECT_FALSE(SYS_CreateDirectory(file.c_str()));
  EXPECT_EQ(SYS_FileDelete(file.c_str()), SYS_ERR_OS);
  SYS_FindData data;
  EXPECT_EQ(SYS_FindFirst((file + "\\*.*").c_str(), &data), 0u);
  // Nothing was made under a cut-short name either.
  std::string cut = file.substr(0, SYS_MAX_PATH - 1);
  EXPECT_EQ(SYS_GetFileAttributes(cut.c_str()), SYS_ATTR_INVALID);
  EXPECT_EQ(Find(deep + "\\*.*"), (Names{".", ".."}));
}
