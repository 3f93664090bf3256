// The cbf tool from the outside: what it refuses, and that it leaves no
// half-written archive. Archives to read come from the tests' own writer.
#include <gtest/gtest.h>

#include <cstdio>
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
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("cbf-test-" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs cbf with the arguments; 0 when it exited with 0. Stderr in *err.
  int Cbf(const std::string &args, std::string *err = nullptr) {
    std::string log = (dir_ / "stderr.txt").string();
    std::string command =
        std::string(CBF_PATH) + " " + args + " >" + (dir_ / "stdout.txt").string() + " 2>" + log;
    int status = std::system(command.c_str());
    if (err) *err = Read(log);
    return status;
  }
  static std::string Read(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const fs::path &path, const std::string &bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string P(const std::string &relative) const { return (dir_ / relative).string(); }

  fs::path dir_;
};

}  // namespace

TEST_F(CbfTest, CreateExtractVerifyKeepNamesAndBytes) {
  std::string text;
  for (int i = 0; i < 20000; i++) text += "line " + std::to_string(i % 97) + "\n";
  Write(dir_ / "in" / "Readme.TXT", text);
  Write(dir_ / "in" / "sub" / "empty", "");
  Write(dir_ / "in" / "sub" / "deeper" / "x.bin", std::string(70000, '\x07'));
  ASSERT_EQ(Cbf("create " + P("a.cbf") + " " + P("in") + " --prefix DISK01 --block-size 4096"), 0);
  ASSERT_EQ(Cbf("create " + P("b.cbf") + " " + P("in") + " --prefix DISK01 --block-size 4096"), 0);
  EXPECT_EQ(Read(P("a.cbf")), Read(P("b.cbf"))) << "the same input gives the same bytes";
  EXPECT_EQ(Cbf("verify " + P("a.cbf")), 0);
  ASSERT_EQ(Cbf("list " + P("a.cbf")), 0);
  std::string listing = Read(P("stdout.txt"));
  EXPECT_NE(listing.find("DISK01\\Readme.TXT"), std::string::npos);
  EXPECT_NE(listing.find("DISK01\\sub\\deeper\\x.bin"), std::string::npos);
  EXPECT_NE(listing.find("lzw"), std::string::npos);
  ASSERT_EQ(Cbf("extract " + P("a.cbf") + " " + P("out")), 0);
  EXPECT_EQ(Read(P("out/DISK01/Readme.TXT")), text);
  EXPECT_EQ(Read(P("out/DISK01/sub/deeper/x.bin")), std::string(70000, '\x07'));
  EXPECT_TRUE(fs::exists(P("out/DISK01/sub/empty")));
  // Names given to extract are matched without regard to case.
  ASSERT_EQ(Cbf("extract " + P("a.cbf") + " " + P("one") + " disk01\\\\readme.txt"), 0);
  EXPECT_TRUE(fs::exists(P("one/DISK01/Readme.TXT")));
  EXPECT_FALSE(fs::exists(P("one/DISK01/sub")));
}

TEST_F(CbfTest, RefusesNamesDifferingOnlyInCaseAndLeavesNoArchive) {
  Write(dir_ / "in" / "a.txt", "1");
  Write(dir_ / "in" / "A.TXT", "2");
  std::string err;
  EXPECT_NE(Cbf("create " + P("x.cbf") + " " + P("in"), &err), 0);
  EXPECT_NE(err.find("differs only in case"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(P("x.cbf")));
  EXPECT_FALSE(fs::exists(P("x.cbf.tmp")));
}

TEST_F(CbfTest, ExtractRefusesNamesThatLeaveTheFolder) {
  Write(dir_ / "evil.cbf", BuildArchive({{"..\\up.txt", "a"},
                                         {"C:\\abs.txt", "b"},
                                         {"\\root.txt", "c"},
                                         {"ok\\..\\..\\up2.txt", "d"},
                                         {"fine\\f.txt", "e"}}));
  std::string err;
  EXPECT_NE(Cbf("extract " + P("evil.cbf") + " " + P("out/inner"), &err), 0);
  EXPECT_EQ(Read(P("out/inner/fine/f.txt")), "e");
  EXPECT_FALSE(fs::exists(P("out/up.txt")));
  EXPECT_FALSE(fs::exists(P("up2.txt")));
  // One line per refused file, naming it and the reason.
  int lines = 0;
  for (char c : err) lines += c == '\n';
  EXPECT_EQ(lines, 4) << err;
  EXPECT_NE(err.find("..\\up.txt: the name would leave the target folder"), std::string::npos)
      << err;
}

TEST_F(CbfTest, RefusesDamagedArchives) {
  std::string good = BuildArchive({{"A.TXT", "hello"}, {"P", "packed bytes", 1}});
  Write(dir_ / "good.cbf", good);
  EXPECT_EQ(Cbf("verify " + P("good.cbf")), 0);

  std::string err;
  Write(dir_ / "cut.cbf", good.substr(0, good.size() - 1));
  EXPECT_NE(Cbf("verify " + P("cut.cbf"), &err), 0);
  EXPECT_NE(err.find("cut.cbf: not an archive"), std::string::npos) << err;
  EXPECT_NE(Cbf("list " + P("cut.cbf")), 0);

  // A packed entry whose stream is damaged fails verification.
  TestEntry broken{"P", "packed bytes", 1};
  broken.raw_streams = {{0, LiteralStream("packed")}};
  Write(dir_ / "broken.cbf", BuildArchive({{"A.TXT", "hello"}, broken}));
  EXPECT_NE(Cbf("verify " + P("broken.cbf"), &err), 0);
  EXPECT_NE(err.find(": P: delivered 0 of 12 bytes"), std::string::npos) << err;
  // The store's "Disk error" question is answered by the tool, not a dialog.
  EXPECT_NE(err.find("cbf: Disk error: Failed access to Install_Dir (P)"), std::string::npos)
      << err;
}

TEST_F(CbfTest, UnlzwDecodesOneStream) {
  Write(dir_ / "ok.lzw", LiteralStream("abcabc"));
  EXPECT_EQ(Cbf("unlzw " + P("ok.lzw") + " " + P("ok.out") + " 6"), 0);
  EXPECT_EQ(Read(P("ok.out")), "abcabc");
  // Too little room: the decoder's own message, what it produced, failure.
  EXPECT_NE(Cbf("unlzw " + P("ok.lzw") + " " + P("short.out") + " 4"), 0);
  std::string out = Read(P("stdout.txt"));
  EXPECT_NE(out.find("Selhala funkce LZW_ComposeKey ( KeyCount = 260 Key = 98 )"),
            std::string::npos)
      << out;
  EXPECT_EQ(Read(P("short.out")), "abca");
  EXPECT_NE(Cbf("unlzw " + P("none.lzw") + " " + P("x.out") + " 4"), 0);
}
