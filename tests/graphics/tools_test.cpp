// imgtool, run as people who make discs run it, against ImageMagick for
// every kind of image.
#include <sys/wait.h>

#include <cstdio>
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
