// The native tools, run as people who make discs run them: imgtool against
// ImageMagick for every kind of image, and fntmake's font files as the
// program loads them.
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "graphics_test_util.h"

using namespace gtest_util;

namespace {

// Runs a shell command; its exit code and standard output.
int RunCommand(const std::string &command, std::string *out) {
  std::FILE *p = popen(command.c_str(), "r");
  if (!p) return -1;
  char buffer[4096];
  size_t n;
  out->clear();
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out->append(buffer, n);
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(Tools, ImgtoolRawEqualsImageMagick) {
  std::string out;
  const int rc = RunCommand(std::string("sh ") + IMGTOOL_CHECK + " " + IMGTOOL + " 2>&1", &out);
  EXPECT_EQ(rc, 0) << out;
  EXPECT_EQ(out.find("FAIL"), std::string::npos) << out;
  EXPECT_NE(out.find("ok   truncated.jpg"), std::string::npos) << out;
}

TEST(Tools, FntmakeFontsLoadAsListed) {
  HostDir dir;
  const std::string fnt = dir.File("t.fnt");
  std::string out;
  ASSERT_EQ(RunCommand(std::string(FNTMAKE) + " Tahoma -11 " + fnt + " --first 65 --count 3", &out),
            0);
  EXPECT_NE(out.find("3 glyphs"), std::string::npos) << out;
  ASSERT_EQ(RunCommand(std::string(FNTMAKE) + " --info " + fnt, &out), 0);

  // The same file loaded here: flags, line height, ascent, then per glyph
  // its numbers and the sha256 of its pixel bytes, hashed by sha256sum.
  std::string bytes;
  ASSERT_TRUE(ReadHostFile(fnt, &bytes));
  GUIB_Ref<c_GUIB_RecordStore> store(new c_GUIB_RecordStore(bytes.data(), uint32_t(bytes.size())));
  GUIB_Ref<c_GUIB_Font> font(new c_GUIB_Font());
  ASSERT_EQ(font->LoadFromStore(store.get(), 0), 0u);
  std::istringstream lines(out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line,
            "1 " + std::to_string(font->GetLineHeight()) + " " + std::to_string(font->GetAscent()));
  for (uint32_t code : {65u, 66u, 67u}) {
    const c_GUIB_Font::Glyph *g = font->FindGlyph(code);
    ASSERT_NE(g, nullptr);
    const std::string raw(reinterpret_cast<const char *>(g->bitmap->Pixels()),
                          size_t(g->width) * g->height * 4);
    WriteHostFile(dir.File("glyph.bin"), raw);
    std::string sum;
    ASSERT_EQ(RunCommand("sha256sum " + dir.File("glyph.bin"), &sum), 0);
    char expect[200];
    std::snprintf(expect, sizeof expect, "%u %d %d %d FF000000 %s", code, g->width, g->height,
                  g->overhang, sum.substr(0, 64).c_str());
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, expect);
  }
  EXPECT_FALSE(std::getline(lines, line));

  const std::string png = dir.File("p.png");
  // A file that is no font gives no preview.
  WriteHostFile(dir.File("junk.fnt"), "junk");
  EXPECT_NE(
      RunCommand(std::string(FNTMAKE) + " --preview " + dir.File("junk.fnt") + " " + png, &out), 0);
}
