// Failure paths of the store that involve the "Disk error" box, answered by
// a scripted user (natively the box's answer is replaceable), and the
// store's limits.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "store/archive.h"
#include "store_fixture.h"

namespace {

struct User {
  std::vector<uint32_t> answers;  // given in turn; Cancel once they run out
  std::vector<std::string> texts;
  std::function<void()> before_answer;
};
User *g_user = nullptr;

uint32_t Answer(const char *text, const char *caption, uint32_t buttons) {
  EXPECT_STREQ(caption, "Disk error");
  EXPECT_EQ(buttons, SYS_MB_OKCANCEL);
  g_user->texts.push_back(text);
  if (g_user->before_answer) g_user->before_answer();
  size_t i = g_user->texts.size() - 1;
  return i < g_user->answers.size() ? g_user->answers[i] : SYS_ID_CANCEL;
}

class StoreBoxTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    g_user = &user;
    SYS_SetMessageBoxAnswerer(Answer);
  }
  void TearDown() override {
    StoreTest::TearDown();
    SYS_SetMessageBoxAnswerer(nullptr);
    g_user = nullptr;
  }
  User user;
};

}  // namespace

TEST_F(StoreBoxTest, MissingFileRetryAndCancel) {
  Mount();
  EXPECT_EQ(BF_OpenRetry("data\\x.txt", BF_OPEN_READ), 0u);
  EXPECT_EQ(user.texts, std::vector<std::string>{"Failed access to Install_Dir\n(data\\x.txt)"});
  // OK repeats the whole search: the disc was put back meanwhile.
  user = {{SYS_ID_OK}, {}, [&]() { machine.WriteFile(prog_ + "\\data\\x.txt", "back"); }};
  BF_Handle h = BF_OpenRetry("data\\x.txt", BF_OPEN_READ);
  EXPECT_EQ(ReadAll(h), "back");
  BF_Close(h);
  EXPECT_EQ(BF_GetFileSize("data\\x.txt"), 4u);
  EXPECT_EQ(BF_GetFileSize("data\\none"), BF_BAD_POS);
  EXPECT_EQ(user.texts.size(), 2u);
}

TEST_F(StoreBoxTest, DamagedBlocks) {
  Mount(false);
  std::string content = "0123456789abcdefghijKLMNOPQRST";
  BitStream broken;  // refers to a code that does not exist yet
  for (uint32_t code : {uint32_t('a'), 400u, 256u}) broken.Put(code, 9);
  TestEntry failing{"FAIL", content, 1, {10, 10, 10}, {{1, broken.Bytes()}}};
  // The last block decodes to 5 of its 10 bytes.
  TestEntry shortblock{"SHORT", content, 1, {10, 10, 10}, {{2, LiteralStream("KLMNO")}}};
  TestEntry zstd{"ZSTD", content, 2, {10, 10, 10}};
  TestEntry zstd_failing{"ZFAIL", content, 2, {10, 10, 10}, {{1, ZstdFrame("0123456789x")}}};
  std::string archive = BuildArchive({failing,
                                      shortblock,
                                      zstd,
                                      zstd_failing,
                                      {"UNKNOWN", "data", 7},
                                      {"EMPTY", "", 1},
                                      {"MAGIC", content, 1}});
  // The MAGIC entry's only block header, the last one, loses its magic.
  archive[archive.rfind("[..]")] = '{';
  ASSERT_EQ(MountArchive("d.cbf", archive), BF_OK);

  // A block that fails to decode ends the read with what came before it, is
  // not cached, and the next read there offers the box.
  testing::internal::CaptureStdout();
  BF_Handle h = BF_Open("fail", BF_OPEN_READ, false);
  char buffer[64] = {};
  EXPECT_EQ(std::string(buffer, BF_Read(h, buffer, 30)), "0123456789");
  EXPECT_TRUE(user.texts.empty());
  user.answers = {SYS_ID_OK};  // retry once, then cancel
  EXPECT_EQ(BF_Read(h, buffer, 30), 0u);
  EXPECT_EQ(user.texts, std::vector<std::string>(2, "Failed access to Install_Dir\n(fail)"));
  BF_Seek(h, 20, 0);
  EXPECT_EQ(std::string(buffer, BF_Read(h, buffer, 10)), "KLMNOPQRST") << "blocks after the damage";
  BF_Close(h);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("LZW_ComposeKey"), std::string::npos);

  // A short block is damaged; a damaged block header ends the read with
  // nothing; unknown methods and empty packed entries read nothing, no box.
  // zstd blocks read as LZW ones do; one that holds more than its header
  // says is damaged.
  struct Case {
    const char *name;
    std::string read;
    size_t boxes;
  } cases[] = {{"short", content.substr(0, 20), 1},
               {"magic", "", 1},
               {"unknown", "", 0},
               {"empty", "", 0},
               {"zstd", content, 0},
               {"zfail", content.substr(0, 10), 1}};
  for (const Case &c : cases) {
    user = {};
    h = BF_Open(c.name, BF_OPEN_READ, false);
    EXPECT_EQ(ReadAll(h, 7), c.read) << c.name;
    EXPECT_EQ(user.texts.size(), c.boxes) << c.name;
    BF_Close(h);
  }
}

TEST_F(StoreBoxTest, ClaimedSizesBeyondTheData) {
  Mount(false);
  TestEntry stored{"STORED", "abc"};
  stored.size_override = 1000;  // runs into the directory and past the file's end
  TestEntry packed{"PACKED", "abc", 1};
  packed.size_override = 1u << 30;
  ASSERT_EQ(MountEntries({stored, packed}), BF_OK);
  BF_Handle h = BF_Open("stored", BF_OPEN_READ, false);
  std::string got = ReadAll(h);
  EXPECT_LT(got.size(), 1000u);
  EXPECT_EQ(got.substr(0, 3), "abc");
  BF_Close(h);
  h = BF_Open("packed", BF_OPEN_READ, false);
  char buffer[8];
  // The walk looks for a block behind the last one and finds no header: the
  // read fails as a whole, while a read within the block succeeds.
  EXPECT_EQ(BF_Read(h, buffer, 8), 0u);
  EXPECT_EQ(std::string(buffer, BF_Read(h, buffer, 3)), "abc");
  BF_Close(h);
  EXPECT_EQ(user.texts.size(), 2u);
}

// A block header claiming gigabytes for a few packed bytes is refused before
// anything is allocated for it: the process's peak address space stays.
TEST_F(StoreBoxTest, BlockClaimingGigabytesAllocatesNothing) {
  auto peak_kb = [] {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("VmPeak:", 0) == 0) return std::stoull(line.substr(7));
    return 0ull;
  };
  Mount(false);
  std::string archive = BuildArchive({{"BIG", "abc", 1}});
  Put32(&archive, 52 + 8, 0xF0000000u);  // the first block's unpacked length
  ASSERT_EQ(MountArchive("big.cbf", archive), BF_OK);
  const unsigned long long before = peak_kb();
  ASSERT_GT(before, 0u);
  EXPECT_EQ(Contents("BIG"), "");
  EXPECT_LT(peak_kb() - before, 1ull << 20);
}

TEST_F(StoreBoxTest, DirectoryAndEnumerationLimits) {
  Mount(false);
  // 16,384 nodes in all; the archive that would pass them fails, and the
  // entries already added stay.
  std::vector<TestEntry> many;
  for (int i = 0; i < 16385; i++) many.push_back({"F" + std::to_string(100000 + i), ""});
  EXPECT_EQ(MountArchive("many.cbf", BuildArchive(many)), BF_ERR_DIRECTORY);
  EXPECT_EQ(Contents("F100000") + Contents("F116383") + Contents("F116384"), "<missing>");
  EXPECT_EQ(Find("*.*", true).size(), 16384u);
  BF_Unmount();
  // Names over 255 characters are left out of enumerations.
  Mount(false);
  ASSERT_EQ(MountEntries({{std::string(300, 'L'), "x"}, {"SHORT.TXT", "y"}}), BF_OK);
  EXPECT_EQ(Find("*.*", true), std::vector<std::string>{"SHORT.TXT"});
}
