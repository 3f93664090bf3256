// The store over real files: mounting, lookup, reading, seeking,
// enumeration, handles and two threads at once. Runs natively and under Wine;
// nothing here makes the store show its "Disk error" box.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "store_fixture.h"

namespace {

std::string Random(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char &c : s) c = char(rng());
  return s;
}

}  // namespace

TEST_F(StoreTest, MountChecksRootFolders) {
  BF_MountParams missing = {"*.cbf", "C:\\NO\\SUCH\\FOLDER", nullptr, 1, 0, 0};
  EXPECT_EQ(BF_Mount(&missing), 0u);
  // The program passes its folder with a trailing backslash.
  std::string with_slash = prog_ + "\\";
  BF_MountParams slash = {"*.cbf", with_slash.c_str(), nullptr, 1, 0, 0};
  ASSERT_EQ(BF_Mount(&slash), 1u);
  ASSERT_TRUE(machine.WriteFile(prog_ + "\\in-prog.txt", "p"));
  EXPECT_EQ(Contents("in-prog.txt"), "p");
  BF_Unmount();
  Mount();
  BF_MountParams again = {"*.cbf", nullptr, nullptr, 1, 0, 0};
  EXPECT_EQ(BF_Mount(&again), 0u) << "one store per process";
}

TEST_F(StoreTest, MountArchiveResultCodes) {
  Mount();
  std::string good = BuildArchive({{"A.TXT", "hello"}});
  EXPECT_EQ(BF_MountArchive(machine.Path("PROG\\none.cbf").c_str(), 0), BF_ERR_OPEN);
  EXPECT_EQ(MountArchive("short.cbf", good.substr(0, 51)), BF_ERR_FORMAT);
  std::string magic = good;
  magic[0] = 'X';
  EXPECT_EQ(MountArchive("magic.cbf", magic), BF_ERR_FORMAT);
  EXPECT_EQ(MountArchive("longer.cbf", good + "x"), BF_ERR_FORMAT);
  EXPECT_EQ(MountArchive("cut.cbf", good.substr(0, good.size() - 1)), BF_ERR_FORMAT);

  std::string far = good;
  Put64(&far, 20, good.size() + 100);  // directory offset past the end
  EXPECT_EQ(MountArchive("far.cbf", far), BF_ERR_IO);
  std::string big = good;
  Put32(&big, 28, 1000);  // directory larger than what follows it
  EXPECT_EQ(MountArchive("big.cbf", big), BF_ERR_IO);
  std::string count = good;
  Put32(&count, 16, 2);  // a second record would run past the directory
  EXPECT_EQ(MountArchive("count.cbf", count), BF_ERR_FORMAT);
  EXPECT_EQ(MountArchive("empty.cbf", BuildArchive({{"", "x"}})), BF_ERR_DIRECTORY);
  EXPECT_EQ(Contents("A.TXT"), "<missing>") << "no failed archive added entries";

  EXPECT_EQ(MountArchive("none.cbf", BuildArchive({})), BF_OK);
  EXPECT_EQ(MountArchive("good.cbf", good), BF_OK);
  EXPECT_EQ(Contents("a.txt"), "hello");
}

TEST_F(StoreTest, EntriesOfAPartlyMountedArchiveStayReadable) {
  Mount(false);
  // The empty second name fails each mount after its first entry was added;
  // that entry must still read from its own archive, not from a closed or
  // recycled handle (the second mount opens a file meanwhile).
  for (uint32_t method : {0u, 1u}) {
    std::string name = "KEPT" + std::to_string(method);
    EXPECT_EQ(
        MountArchive(name + ".cbf", BuildArchive({{name, "kept by " + name, method}, {"", "x"}})),
        BF_ERR_DIRECTORY);
  }
  for (const char *name : {"KEPT0", "KEPT1"}) {
    EXPECT_EQ(Contents(name), std::string("kept by ") + name);
    EXPECT_EQ(Contents(name, BF_OPEN_READ | BF_OPEN_SEQUENTIAL), std::string("kept by ") + name);
  }
}

TEST_F(StoreTest, LookupFoldsCaseButNotSlashes) {
  Mount(false);
  ASSERT_EQ(MountEntries({{"Dir\\Read Me.txt", "one"},
                          {"DIR\\READ ME.TXT", "two"},  // same name: the first one read wins
                          {"Dir\\b.dat", "bee", 1}}),
            BF_OK);
  EXPECT_EQ(Contents("dir\\read me.txt"), "one");
  EXPECT_EQ(Contents("DIR\\READ ME.TXT"), "one");
  EXPECT_EQ(Contents("Dir/Read Me.txt"), "<missing>");
  EXPECT_EQ(Contents("dir\\B.DAT"), "bee");
  EXPECT_EQ(BF_GetFileSize("dir\\b.dat"), 3u);
  EXPECT_EQ(BF_GetSize(12345), BF_BAD_POS);
}

TEST_F(StoreTest, TwoArchivesWithTheSameName) {
  Mount(false);
  ASSERT_EQ(MountArchive("1.cbf", BuildArchive({{"SAME.TXT", "first"}, {"ONE", "1"}})), BF_OK);
  ASSERT_EQ(MountArchive("2.cbf", BuildArchive({{"same.txt", "second"}, {"TWO", "2"}})), BF_OK);
  EXPECT_EQ(Contents("same.txt"), "first");
  EXPECT_EQ(Contents("one") + Contents("two"), "12");
}

TEST_F(StoreTest, ArchiveFirstAndLooseFirst) {
  ASSERT_TRUE(machine.WriteFile(prog_ + "\\shared.txt", "loose"));
  ASSERT_TRUE(machine.WriteFile(machine.Path("here.txt"), "current"));
  std::string archive = BuildArchive({{"SHARED.TXT", "archive"}});
  {
    Mount();
    ASSERT_EQ(MountArchive("a.cbf", archive), BF_OK);
    EXPECT_EQ(Contents("shared.txt"), "archive");
    EXPECT_EQ(Contents((prog_ + "\\shared.txt").c_str()), "loose");  // absolute: never archived
    EXPECT_EQ(Contents("here.txt"), "current");                      // current directory
    BF_Unmount();
  }
  {
    Mount(true, true);
    ASSERT_EQ(MountArchive("a.cbf", archive), BF_OK);
    EXPECT_EQ(Contents("shared.txt"), "loose");
    BF_Unmount();
  }
  Mount(false);
  ASSERT_EQ(MountArchive("a.cbf", archive), BF_OK);
  EXPECT_EQ(Contents("here.txt"), "<missing>");
  EXPECT_EQ(Contents("shared.txt"), "archive");
}

TEST_F(StoreTest, SeekRules) {
  Mount(false);
  ASSERT_EQ(MountEntries({{"S", "0123456789"}, {"P", "0123456789", 1, {4, 6}}}), BF_OK);
  for (const char *name : {"S", "P"}) {
    BF_Handle h = BF_Open(name, BF_OPEN_READ, false);
    ASSERT_NE(h, 0u);
    char buffer[16] = {};
    EXPECT_EQ(BF_Seek(h, 0, 2), 10u);
    EXPECT_EQ(BF_Read(h, buffer, 1), 0u);
    EXPECT_EQ(BF_Seek(h, 11, 2), BF_BAD_POS);
    EXPECT_EQ(BF_Seek(h, 0, 1), 10u) << "a refused seek leaves the position";
    EXPECT_EQ(BF_Seek(h, 4, 2), 6u);
    EXPECT_EQ(BF_Read(h, buffer, 10), 4u);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(BF_Seek(h, -7, 1), 3u);
    EXPECT_EQ(BF_Read(h, buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "34");
    EXPECT_EQ(BF_Seek(h, 50, 0), 50u);
    EXPECT_EQ(BF_Read(h, buffer, 1), 0u);
    EXPECT_EQ(BF_Seek(h, 0, 3), BF_BAD_POS);
    EXPECT_EQ(BF_Read(h, nullptr, 1), 0u);
    EXPECT_EQ(BF_GetSize(h), 10u);
    BF_Close(h);
    EXPECT_EQ(BF_Seek(h, 0, 0), BF_BAD_POS);
  }
}

TEST_F(StoreTest, ReadsAcrossBlocksGiveTheContent) {
  Mount(false);
  std::string content = Random(33, 3);
  ASSERT_EQ(MountEntries({{"E", content, 1, {5, 1, 7, 0, 20}}, {"Z", "", 1}}), BF_OK);
  BF_Handle h = BF_Open("E", BF_OPEN_READ, false);
  ASSERT_NE(h, 0u);
  // Every start and length, so every block boundary and cache state is met.
  for (size_t at = 0; at <= content.size(); at++) {
    for (size_t n = 1; n <= content.size() + 2; n++) {
      std::string buffer(n, '\0');
      ASSERT_EQ(BF_Seek(h, int64_t(at), 0), at);
      uint32_t got = BF_Read(h, &buffer[0], uint32_t(n));
      size_t want = std::min(n, content.size() - at);
      ASSERT_EQ(got, want) << at << "+" << n;
      ASSERT_EQ(buffer.substr(0, got), content.substr(at, want)) << at << "+" << n;
    }
  }
  // Backwards through the entry, then forwards in pieces of every size.
  for (size_t at = content.size(); at-- > 0;) {
    char c;
    BF_Seek(h, int64_t(at), 0);
    ASSERT_EQ(BF_Read(h, &c, 1), 1u);
    ASSERT_EQ(c, content[at]);
  }
  for (uint32_t piece = 1; piece <= 9; piece++) {
    BF_Seek(h, 0, 0);
    EXPECT_EQ(ReadAll(h, piece), content) << piece;
  }
  BF_Close(h);
  EXPECT_EQ(Contents("Z"), "");
}

TEST_F(StoreTest, LargePackedEntryReadSequentially) {
  Mount(false);
  std::string content = Random(3 << 20, 9);
  std::vector<size_t> blocks(64, 49152);  // literal-only blocks stay within the code table
  ASSERT_EQ(MountEntries({{"BIG.BIN", content, 1, blocks}}), BF_OK);
  EXPECT_TRUE(Contents("big.bin") == content);
  BF_Handle h = BF_Open("big.bin", BF_OPEN_READ | BF_OPEN_SEQUENTIAL, false);
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(ReadAll(h, 100000) == content);
  BF_Close(h);
}

TEST_F(StoreTest, HandlesAreDistinctAndGrow) {
  ASSERT_TRUE(machine.WriteFile(prog_ + "\\loose.txt", "L"));
  Mount();
  ASSERT_EQ(MountEntries({{"A", "a"}, {"B", "b", 1}}), BF_OK);
  std::vector<BF_Handle> open;
  std::set<BF_Handle> distinct;
  for (int i = 0; i < 1100; i++) {
    BF_Handle h = BF_Open(i % 3 == 0 ? "A" : i % 3 == 1 ? "B" : "loose.txt", BF_OPEN_READ, false);
    ASSERT_NE(h, 0u);
    open.push_back(h);
    distinct.insert(h);
  }
  EXPECT_EQ(distinct.size(), open.size());
  char c;
  EXPECT_EQ(BF_Read(open[1099], &c, 1), 1u);
  EXPECT_EQ(c, 'b');
  for (size_t i = 0; i < open.size(); i += 2) BF_Close(open[i]);
  EXPECT_EQ(BF_Read(open[0], &c, 1), 0u);
  EXPECT_EQ(Contents("loose.txt"), "L");
  // Unmounting closes the rest.
}

TEST_F(StoreTest, EnumerationFollowsTheWildcardRules) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("DISK01\\SUB\\loose"), "x"));
  ASSERT_TRUE(machine.WriteFile(machine.Path("DISK01\\SUB\\b.dat"), "x"));
  ASSERT_TRUE(machine.WriteFile(machine.Path("DISK01\\.hidden\\skip.txt"), "x"));
  std::vector<TestEntry> entries = {{"DISK01\\A.TXT", "a"},
                                    {"DISK01\\SUB\\B.DAT", "b"},
                                    {"DISK01\\SUB\\NODOT", "c"},
                                    {"DISK01\\SUB\\TWO.DOT.S", "d"},
                                    {"OTHER\\C.TXT", "e"}};
  {
    Mount();
    ASSERT_EQ(MountEntries(entries), BF_OK);
    // Archive part in index order, then the loose files the system matches
    // (all of them), without repeats; dot folders are not entered.
    EXPECT_EQ(
        Find("disk01\\*.*", true),
        (std::vector<std::string>{"DISK01\\A.TXT", "DISK01\\SUB\\B.DAT", "DISK01\\SUB\\LOOSE"}));
    BF_Unmount();
  }
  {
    Mount(true, false, true);
    ASSERT_EQ(MountEntries(entries), BF_OK);
    std::vector<std::string> all = Find("DISK01\\*.*", true);
    EXPECT_EQ(std::count(all.begin(), all.end(), "DISK01\\SUB\\B.DAT"), 2);
    BF_Unmount();
  }
  {
    Mount(true, true);
    ASSERT_EQ(MountEntries(entries), BF_OK);
    std::vector<std::string> all = Find("DISK01\\*.*", true);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[2], "DISK01\\A.TXT") << "loose files first";
    BF_Unmount();
  }
  Mount(false);
  ASSERT_EQ(MountEntries(entries), BF_OK);
  EXPECT_EQ(Find("*.*", true).size(), entries.size());
  EXPECT_EQ(Find("DISK01\\*.*", false), (std::vector<std::string>{"DISK01\\A.TXT"}));
  EXPECT_EQ(Find("DISK01\\*", true), (std::vector<std::string>{"DISK01\\SUB\\NODOT"}));
  EXPECT_EQ(Find("DISK01\\SUB\\?.DAT", false), (std::vector<std::string>{"DISK01\\SUB\\B.DAT"}));
  EXPECT_EQ(Find("*.TXT", true), (std::vector<std::string>{"DISK01\\A.TXT", "OTHER\\C.TXT"}));
  EXPECT_TRUE(Find("NOWHERE\\*.*", true).empty());
  BF_FindContext c;
  EXPECT_EQ(BF_FindFirst(nullptr, true, &c), nullptr);
  // Names stay valid until the end, and the end releases them.
  const char *first = BF_FindFirst("*.*", true, &c);
  ASSERT_NE(first, nullptr);
  std::string copy = first;
  while (BF_FindNext(&c)) {
  }
  EXPECT_EQ(copy, "DISK01\\A.TXT");
  EXPECT_EQ(c.base, nullptr);
  EXPECT_EQ(BF_FindNext(&c), nullptr);
}

namespace {

struct Reader {
  const char *name;
  const std::string *expected;
  bool ok;
};

uint32_t ReadInPieces(void *arg) {
  Reader *r = static_cast<Reader *>(arg);
  r->ok = true;
  for (int round = 0; round < 3 && r->ok; round++) {
    BF_Handle h = BF_OpenRetry(r->name, BF_OPEN_READ);
    std::string got, buffer(3000, '\0');
    for (uint32_t n; (n = BF_Read(h, &buffer[0], 3000)) > 0;) got.append(buffer, 0, n);
    BF_Close(h);
    r->ok = got == *r->expected;
  }
  return 0;
}

}  // namespace

TEST_F(StoreTest, TwoThreadsReadTwoEntriesOfOneArchive) {
  Mount(false);
  std::string one = Random(600000, 1), two = Random(500000, 2);
  ASSERT_EQ(MountEntries({{"ONE", one, 1, std::vector<size_t>(10, 60000)}, {"TWO", two}}), BF_OK);
  Reader a{"one", &one, false}, b{"two", &two, false};
  SYS_Handle ta = SYS_CreateThread(ReadInPieces, &a);
  SYS_Handle tb = SYS_CreateThread(ReadInPieces, &b);
  ASSERT_NE(ta, 0u);
  ASSERT_NE(tb, 0u);
  EXPECT_EQ(SYS_WaitResult(ta, SYS_INFINITE), SYS_OK);
  EXPECT_EQ(SYS_WaitResult(tb, SYS_INFINITE), SYS_OK);
  SYS_CloseHandle(ta);
  SYS_CloseHandle(tb);
  EXPECT_TRUE(a.ok);
  EXPECT_TRUE(b.ok);
}
