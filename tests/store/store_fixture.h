// Shared set-up of the store tests: a scratch machine with a program folder
// (C:\WORK\PROG natively) as root folder 1 and the work folder as the
// current directory; archives are written by the tests' own writer.
#pragma once

#include <string>

#include "archive_builder.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/scratch.h"

class StoreTest : public ScratchTest {
 public:
  static std::string ReadAll(BF_Handle h, uint32_t piece = 4096) {
    std::string out, buffer(piece, '\0');
    for (uint32_t n; (n = BF_Read(h, &buffer[0], piece)) > 0;) out.append(buffer, 0, n);
    return out;
  }

 protected:
  void SetUp() override {
    prog_ = machine.Path("PROG");
    ASSERT_TRUE(machine.MakeDirs(prog_));
    ASSERT_TRUE(SYS_SetCurrentDir(machine.Work().c_str()));
  }
  void TearDown() override { BF_Unmount(); }

  void Mount(bool loose = true, bool loose_first = false, bool keep_duplicates = false) {
    BF_MountParams p = {"*.cbf", prog_.c_str(), nullptr, loose, loose_first, keep_duplicates};
    ASSERT_EQ(BF_Mount(&p), 1u);
  }
  // Writes an archive into the program folder and mounts it.
  uint32_t MountArchive(const std::string &file, const std::string &bytes, uint32_t flags = 0) {
    std::string path = prog_ + "\\" + file;
    EXPECT_TRUE(machine.WriteFile(path, bytes));
    return BF_MountArchive(path.c_str(), flags);
  }
  uint32_t MountEntries(const std::vector<TestEntry> &entries) {
    return MountArchive("t.cbf", BuildArchive(entries));
  }
  // The whole named file, or "<missing>".
  static std::string Contents(const char *name, uint32_t flags = BF_OPEN_READ) {
    BF_Handle h = BF_Open(name, flags, false);
    if (!h) return "<missing>";
    std::string s = ReadAll(h);
    BF_Close(h);
    return s;
  }
  static std::vector<std::string> Find(const char *pattern, bool recursive) {
    std::vector<std::string> names;
    BF_FindContext c;
    for (const char *n = BF_FindFirst(pattern, recursive, &c); n; n = BF_FindNext(&c))
      names.push_back(n);
    return names;
  }

  std::string prog_;
};
