// The cbf tool from the outside: what it refuses, and that it leaves no
// half-written archive. Archives to read come from the tests' own writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "archive_builder.h"

namespace fs = std::filesystem;

namespace {

class CbfTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs cbf with the arguments; 0 when it exited with 0. Stdout is left in
  // stdout.txt, stderr in *err.
  int Cbf(const std::string &args, std::string *err = nullptr) {
    int status = std::system(
        (std::string(CBF_PATH) + " " + args + " >" + P("stdout.txt") + " 2>" + P("stderr.txt"))
            .c_str());
    if (err) *err = Read("stderr.txt");
    return status;
  }
  std::string Read(const std::string &relative) const {
    std::ifstream in(dir_ / relative, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Write(const std::string &relative, const std::string &bytes) const {
    fs::create_directories((dir_ / relative).parent_path());
    std::ofstream(dir_ / relative, std::ios::binary) << bytes;
  }
  std::string P(const std::string &relative) const { return (dir_ / relative).string(); }
  bool Exists(const std::string &relative) const { return fs::exists(dir_ / relative); }

  fs::path dir_ =
      fs::temp_directory_path() / ("cbf-test-" + std::to_string(std::random_device()()));
};

}  // namespace

TEST_F(CbfTest, CreateExtractVerifyKeepNamesAndBytes) {
  std::string text;
  for (int i = 0; i < 20000; i++) text += "line " + std::to_string(i % 97) + "\n";
  Write("in/Readme.TXT", text);
  Write("in/sub/empty", "");
  Write("in/sub/deeper/x.bin", std::string(70000, '\x07'));
  for (const char *archive : {"a.cbf", "b.cbf"})
    ASSERT_EQ(Cbf("create " + P(archive) + " " + P("in") + " --prefix DISK01 --block-size 4096"),
              0);
  EXPECT_EQ(Read("a.cbf"), Read("b.cbf")) << "the same input gives the same bytes";
  EXPECT_EQ(Cbf("verify " + P("a.cbf")), 0);
  ASSERT_EQ(Cbf("list " + P("a.cbf")), 0);
  for (const char *listed : {"DISK01\\Readme.TXT", "DISK01\\sub\\deeper\\x.bin", "lzw"})
    EXPECT_NE(Read("stdout.txt").find(listed), std::string::npos) << listed;
  ASSERT_EQ(Cbf("extract " + P("a.cbf") + " " + P("out")), 0);
  EXPECT_EQ(Read("out/DISK01/Readme.TXT"), text);
  EXPECT_EQ(Read("out/DISK01/sub/deeper/x.bin"), std::string(70000, '\x07'));
  EXPECT_TRUE(Exists("out/DISK01/sub/empty"));
  // Names given to extract are matched without regard to case.
  ASSERT_EQ(Cbf("extract " + P("a.cbf") + " " + P("one") + " disk01\\\\readme.txt"), 0);
  EXPECT_TRUE(Exists("one/DISK01/Readme.TXT"));
  EXPECT_FALSE(Exists("one/DISK01/sub"));
}

TEST_F(CbfTest, RefusesNamesDifferingOnlyInCaseAndLeavesNoArchive) {
  Write("in/a.txt", "1");
  Write("in/A.TXT", "2");
  std::string err;
  EXPECT_NE(Cbf("create " + P("x.cbf") + " " + P("in"), &err), 0);
  EXPECT_NE(err.find("differs only in case"), std::string::npos) << err;
  EXPECT_FALSE(Exists("x.cbf") || Exists("x.cbf.tmp"));
}

TEST_F(CbfTest, ExtractRefusesNamesThatLeaveTheFolder) {
  Write("evil.cbf", BuildArchive({{"..\\up.txt", "a"},
                                  {"C:\\abs.txt", "b"},
                                  {"\\root.txt", "c"},
                                  {"ok\\..\\..\\up2.txt", "d"},
                                  {"fine\\f.txt", "e"}}));
  std::string err;
  EXPECT_NE(Cbf("extract " + P("evil.cbf") + " " + P("out/inner"), &err), 0);
  EXPECT_EQ(Read("out/inner/fine/f.txt"), "e");
  EXPECT_FALSE(Exists("out/up.txt") || Exists("up2.txt"));
  // One line per refused file, naming it and the reason.
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4) << err;
  EXPECT_NE(err.find("..\\up.txt: the name would leave the target folder"), std::string::npos)
      << err;
}

TEST_F(CbfTest, RefusesDamagedArchivesAndStreams) {
  std::string good = BuildArchive({{"A.TXT", "hello"}, {"P", "packed bytes", 1}});
  Write("good.cbf", good);
  EXPECT_EQ(Cbf("verify " + P("good.cbf")), 0);
  std::string err;
  Write("cut.cbf", good.substr(0, good.size() - 1));
  EXPECT_NE(Cbf("verify " + P("cut.cbf"), &err), 0);
  EXPECT_NE(err.find("cut.cbf: not an archive"), std::string::npos) << err;
  EXPECT_NE(Cbf("list " + P("cut.cbf")), 0);
  // A packed entry whose stream is damaged fails verification; the store's
  // "Disk error" question is answered by the tool, not a dialog.
  TestEntry broken{"P", "packed bytes", 1, {}, {{0, LiteralStream("packed")}}};
  Write("broken.cbf", BuildArchive({{"A.TXT", "hello"}, broken}));
  EXPECT_NE(Cbf("verify " + P("broken.cbf"), &err), 0);
  EXPECT_NE(err.find(": P: delivered 0 of 12 bytes"), std::string::npos) << err;
  EXPECT_NE(err.find("cbf: Disk error: Failed access to Install_Dir (P)"), std::string::npos)
      << err;

  // unlzw decodes one stream; with too little room it prints the decoder's
  // own message, writes what it produced and fails.
  Write("ok.lzw", LiteralStream("abcabc"));
  EXPECT_EQ(Cbf("unlzw " + P("ok.lzw") + " " + P("ok.out") + " 6"), 0);
  EXPECT_EQ(Read("ok.out"), "abcabc");
  EXPECT_NE(Cbf("unlzw " + P("ok.lzw") + " " + P("short.out") + " 4"), 0);
  EXPECT_NE(Read("stdout.txt").find("Selhala funkce LZW_ComposeKey ( KeyCount = 260 Key = 98 )"),
            std::string::npos);
  EXPECT_EQ(Read("short.out"), "abca");
  EXPECT_NE(Cbf("unlzw " + P("none.lzw") + " " + P("x.out") + " 4"), 0);
}
