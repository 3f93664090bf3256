// The store over real files: mounting damaged archives, reading and seeking
// across blocks, handles and two threads at once. Runs natively
// and under Wine; nothing here makes the store show its "Disk error" box.
#include <gtest/gtest.h>

#include <set>

#include "store_fixture.h"

TEST_F(StoreTest, MountRootsAndArchiveResultCodes) {
  BF_MountParams missing = {"*.cbf", "C:\\NO\\SUCH\\FOLDER", nullptr, 1, 0, 0};
  EXPECT_EQ(BF_Mount(&missing), 0u);
  // The program passes its folder with a trailing backslash.
  std::string with_slash = prog_ + "\\";
  BF_MountParams slash = {"*.cbf", with_slash.c_str(), nullptr, 1, 0, 0};
  ASSERT_EQ(BF_Mount(&slash), 1u);
  EXPECT_EQ(BF_Mount(&slash), 0u) << "one store per process";
  ASSERT_TRUE(machine.WriteFile(prog_ + "\\in-prog.txt", "p"));
  EXPECT_EQ(Contents("in-prog.txt"), "p");

  const std::string good = BuildArchive({{"A.TXT", "hello"}});
  auto patched = [&](size_t at, uint32_t v) {
    std::string s = good;
    Put32(&s, at, v);
    return s;
  };
  struct Case {
    const char *name;
    std::string bytes;
    uint32_t result;
  } cases[] = {
      {"short", good.substr(0, 51), BF_ERR_FORMAT},
      {"magic", "X" + good.substr(1), BF_ERR_FORMAT},
      {"longer", good + "x", BF_ERR_FORMAT},
      {"cut", good.substr(0, good.size() - 1), BF_ERR_FORMAT},
      {"far", patched(20, uint32_t(good.size() + 100)), BF_ERR_IO},  // directory past the end
      {"big", patched(28, 1000), BF_ERR_IO},     // directory larger than what follows
      {"count", patched(16, 2), BF_ERR_FORMAT},  // a second record past the directory
      {"empty", BuildArchive({{"", "x"}}), BF_ERR_DIRECTORY},
  };
  EXPECT_EQ(BF_MountArchive(machine.Path("PROG\\none.cbf").c_str(), 0), BF_ERR_OPEN);
  for (const Case &c : cases) EXPECT_EQ(MountArchive(c.name, c.bytes), c.result) << c.name;
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
  for (std::string method : {"0", "1"})
    EXPECT_EQ(MountArchive(
                  "KEPT" + method + ".cbf",
                  BuildArchive({{"KEPT" + method, "kept by " + method, uint32_t(std::stoi(method))},
                                {"", "x"}})),
              BF_ERR_DIRECTORY);
  for (uint32_t flags : {uint32_t(BF_OPEN_READ), BF_OPEN_READ | BF_OPEN_SEQUENTIAL}) {
    EXPECT_EQ(Contents("KEPT0", flags), "kept by 0");
    EXPECT_EQ(Contents("KEPT1", flags), "kept by 1");
  }
}

TEST_F(StoreTest, SeekRules) {
  Mount(false);
  ASSERT_EQ(MountEntries({{"S", "0123456789"}, {"P", "0123456789", 1, {4, 6}}}), BF_OK);
  // Each step: seek (offset, origin), its result, then a read of n bytes.
  struct Step {
    int64_t offset;
    uint32_t origin;
    uint64_t result;
    uint32_t n;
    const char *read;
  } steps[] = {
      {0, 2, 10, 1, ""},     {11, 2, BF_BAD_POS, 0, ""},
      {0, 1, 10, 0, ""},  // a refused seek leaves the position
      {4, 2, 6, 10, "6789"}, {-7, 1, 3, 2, "34"},
      {50, 0, 50, 1, ""},    {0, 3, BF_BAD_POS, 0, ""},
  };
  for (const char *name : {"S", "P"}) {
    BF_Handle h = BF_Open(name, BF_OPEN_READ, false);
    ASSERT_NE(h, 0u);
    for (const Step &s : steps) {
      char buffer[16] = {};
      EXPECT_EQ(BF_Seek(h, s.offset, s.origin), s.result) << name << " " << s.offset;
      if (s.n) {
        EXPECT_EQ(std::string(buffer, BF_Read(h, buffer, s.n)), s.read) << name;
      }
    }
    EXPECT_EQ(BF_Read(h, nullptr, 1), 0u);
    EXPECT_EQ(BF_GetSize(h), 10u);
    BF_Close(h);
    EXPECT_EQ(BF_Seek(h, 0, 0), BF_BAD_POS);
  }
}

TEST_F(StoreTest, ReadsAcrossBlocksGiveTheContent) {
  Mount(false);
  std::string content = RandomBytes(33, 3);
  ASSERT_EQ(MountEntries({{"E", content, 1, {5, 1, 7, 0, 20}}, {"Z", "", 1}}), BF_OK);
  BF_Handle h = BF_Open("E", BF_OPEN_READ, false);
  ASSERT_NE(h, 0u);
  // Every start and length, so every block boundary and cache state is met.
  for (size_t at = 0; at <= content.size(); at++) {
    for (size_t n = 1; n <= content.size() + 2; n++) {
      std::string buffer(n, '\0');
      ASSERT_EQ(BF_Seek(h, int64_t(at), 0), at);
      buffer.resize(BF_Read(h, &buffer[0], uint32_t(n)));
      ASSERT_EQ(buffer, content.substr(at, n)) << at << "+" << n;
    }
  }
  // Forwards in pieces of every size.
  for (uint32_t piece = 1; piece <= 9; piece++) {
    BF_Seek(h, 0, 0);
    EXPECT_EQ(ReadAll(h, piece), content) << piece;
  }
  BF_Close(h);
  EXPECT_EQ(Contents("Z"), "");
}

TEST_F(StoreTest, HandlesAreDistinctAndGrow) {
  ASSERT_TRUE(machine.WriteFile(prog_ + "\\loose.txt", "L"));
  Mount();
  ASSERT_EQ(MountEntries({{"A", "a"}, {"B", "b", 1}}), BF_OK);
  std::vector<BF_Handle> open;
  for (int i = 0; i < 1100; i++) {
    open.push_back(BF_Open(i % 3 == 0 ? "A" : i % 3 == 1 ? "B" : "loose.txt", BF_OPEN_READ, false));
    ASSERT_NE(open.back(), 0u);
  }
  EXPECT_EQ(std::set<BF_Handle>(open.begin(), open.end()).size(), open.size());
  char c;
  EXPECT_EQ(BF_Read(open[1099], &c, 1), 1u);
  EXPECT_EQ(c, 'b');
  for (size_t i = 0; i < open.size(); i += 2) BF_Close(open[i]);
  EXPECT_EQ(BF_Read(open[0], &c, 1), 0u);
  EXPECT_EQ(Contents("loose.txt"), "L");
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
    r->ok = StoreTest::ReadAll(h, 3000) == *r->expected;
    BF_Close(h);
  }
  return 0;
}

}  // namespace

TEST_F(StoreTest, TwoThreadsReadTwoEntriesOfOneArchive) {
  Mount(false);
  std::string one = RandomBytes(600000, 1), two = RandomBytes(500000, 2);
  ASSERT_EQ(MountEntries({{"ONE", one, 1, std::vector<size_t>(10, 60000)}, {"TWO", two}}), BF_OK);
  Reader readers[2] = {{"one", &one, false}, {"two", &two, false}};
  SYS_Handle threads[2];
  for (int i = 0; i < 2; i++)
    ASSERT_NE(threads[i] = SYS_CreateThread(ReadInPieces, &readers[i]), 0u);
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(SYS_WaitResult(threads[i], SYS_INFINITE), SYS_OK);
    SYS_CloseHandle(threads[i]);
    EXPECT_TRUE(readers[i].ok) << readers[i].name;
  }
}
