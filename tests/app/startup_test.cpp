// The program's spine: where it finds itself, and how start-up ends when the
// installer's archive is missing or broken.
#include "platform/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "gui/context.h"
#include "installer/wizard.h"
#include "store/store.h"
#include "support/scratch.h"

namespace {

// The program's path and folder as ParseCommandLine takes them from a line,
// relative tokens against the current directory ("" = left as it was), and
// the hand-over argument when it is all that follows.
TEST_F(ScratchTest, ParseCommandLineTakesOnlyTheFirstToken) {
  ASSERT_TRUE(machine.MakeDirs(machine.Path("disc\\sub")));
  const std::string here = machine.Path("disc") + "\\", root = machine.Work().substr(0, 3);
  const struct {
    std::string cwd, line, path, folder;
    AppHandOverRecord hand_over = {0, 0, 0};
  } cases[] = {
      {"", "\"C:\\Program Files\\Demo Disc\\setup.exe\" /s extra \"words\"",
       "C:\\Program Files\\Demo Disc\\setup.exe", "C:\\Program Files\\Demo Disc\\"},
      {"", "D:\\SETUP.EXE -whatever", "D:\\SETUP.EXE", "D:\\"},
      {"", "\"C:\\a b\\setup.exe", "C:\\a b\\setup.exe", "C:\\a b\\"},  // no closing quote
      {"", "\\\\server\\share\\setup.exe", "\\\\server\\share\\setup.exe", "\\\\server\\share\\"},
      {here, "setup", here + "setup", here},                    // bare name, no extension added
      {here, "sub\\setup.exe", here + "sub\\setup.exe", here},  // the folder stays
      {root, "setup.exe", root + "setup.exe", root},            // at a root, no second backslash
      {"", "\"D:\\SETUP.EXE\" /handover:15,-3,40 ", "D:\\SETUP.EXE", "D:\\", {15, -3, 40}},
      {"", "D:\\SETUP.EXE /handover:2,0,0", "D:\\SETUP.EXE", "D:\\"},  // only pages 1 and 15
      {"", "D:\\SETUP.EXE /handover:1,0,0 x", "D:\\SETUP.EXE", "D:\\"},
      {"", "D:\\SETUP.EXE /handover:1,1234567,0", "D:\\SETUP.EXE", "D:\\"},
  };
  for (const auto &c : cases) {
    if (!c.cwd.empty()) {
      ASSERT_TRUE(SYS_SetCurrentDir(c.cwd.c_str()));
    }
    ASSERT_TRUE(ParseCommandLine(c.line.c_str())) << c.line;
    EXPECT_EQ(AppPaths.program_path, c.path) << c.line;
    EXPECT_EQ(AppPaths.program_folder, c.folder) << c.line;
    EXPECT_EQ(AppPaths.folder_length, c.folder.size()) << c.line;
    EXPECT_EQ(AppHandOver.page, c.hand_over.page) << c.line;
    EXPECT_EQ(AppHandOver.x, c.hand_over.x) << c.line;
    EXPECT_EQ(AppHandOver.y, c.hand_over.y) << c.line;
  }
}

TEST_F(ScratchTest, ParseCommandLineRefusesWhatDoesNotFitItsBuffers) {
  std::string fits = "C:\\" + std::string(SYS_MAX_PATH - 1 - 3 - 4, 'a') + ".exe";
  ASSERT_EQ(fits.size(), SYS_MAX_PATH - 1);
  EXPECT_TRUE(ParseCommandLine(fits.c_str()));
  EXPECT_EQ(std::string(AppPaths.program_path), fits);

  std::string too_long = fits + "x";
  EXPECT_FALSE(ParseCommandLine(too_long.c_str()));
  EXPECT_FALSE(ParseCommandLine(("\"" + too_long + "\" arg").c_str()));
  EXPECT_EQ(AppPaths.program_path[0], 0);
  EXPECT_EQ(AppPaths.folder_length, 0u);

  // A relative token that fits alone but not behind the current directory.
  ASSERT_TRUE(SYS_SetCurrentDir(machine.Work().c_str()));
  std::string relative(SYS_MAX_PATH - 3, 'b');
  EXPECT_FALSE(ParseCommandLine(relative.c_str()));
}

// An archive with no entries: the 52-byte header alone.
std::string EmptyArchive() {
  std::string a(52, '\0');
  a.replace(0, 4, "BIGF");
  a[8] = 52;   // archive size
  a[20] = 52;  // directory offset
  return a;
}

std::vector<std::string> g_boxes;
uint32_t Recorder(const char *text, const char *caption, uint32_t buttons) {
  g_boxes.push_back(std::string(caption) + ": " + text);
  return buttons == SYS_MB_OKCANCEL ? SYS_ID_CANCEL : SYS_ID_OK;
}

class AppMainTest : public ScratchTest {
 protected:
  void SetUp() override {
    g_boxes.clear();
    SYS_SetMessageBoxAnswerer(Recorder);
    ASSERT_TRUE(machine.MakeDirs(machine.Path("disc")));
    line_ = "\"" + machine.Path("disc\\setup.exe") + "\"";
    SYS_SetCommandLine(line_.c_str());
  }
  void TearDown() override {
    SYS_SetCommandLine(nullptr);
    SYS_SetMessageBoxAnswerer(nullptr);
  }
  std::string line_;
};

// In place of the main loop: one pass, noting the page on screen.
int OnePass(void *data) {
  *static_cast<uint32_t *>(data) = AppLoopPass() ? INST_CurrentPage() : INST_NO_PAGE;
  return 0;
}

TEST_F(AppMainTest, RunsToAnOrderlyEndWithTheArchiveBesideIt) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("disc\\setup.cbf"), EmptyArchive()));
  uint32_t page = INST_NO_PAGE;
  EXPECT_EQ(AppMain(0, OnePass, &page), 0);
  // The empty archive lacks the icons, fonts and pictures: the store asks
  // for the disc for each, and nothing ends the program.
  for (const std::string &box : g_boxes) EXPECT_EQ(box.rfind("Disk error: ", 0), 0u) << box;
  // Nothing installed: the wizard opened on the menu of a fresh machine,
  // and the loop had stopped before shutdown.
  EXPECT_EQ(page, 0u);
  EXPECT_EQ(AppRunning, 0u);
  EXPECT_EQ(InstallerDesktop, nullptr);
  // The archive was copied into the run's own folder in the temporary
  // folder, which is gone again, and the platform layer was stopped again
  // (a second start succeeds).
  char temp[SYS_MAX_PATH];
  ASSERT_GT(SYS_GetTempDir(temp, sizeof temp), 0u);
  const std::string copy(TempArchivePath);
  EXPECT_EQ(copy.rfind(temp, 0), 0u) << copy;
  EXPECT_EQ(copy.substr(copy.size() - 10), "\\setup.cbf") << copy;
  EXPECT_EQ(SYS_GetFileAttributes(copy.substr(0, copy.size() - 10).c_str()), SYS_ATTR_INVALID)
      << copy;
  EXPECT_FALSE(SYS_IsStarted());
}

TEST_F(AppMainTest, GuiThatCannotStartUnwindsTheStore) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("disc\\setup.cbf"), EmptyArchive()));
  GuiContext *context = nullptr;
  ASSERT_EQ(GuiStartup(nullptr, &context), 0u);  // already up: the program's start fails
  EXPECT_EQ(AppMain(0), -1);
  EXPECT_FALSE(SYS_IsStarted());
  // The store was unmounted again: nothing can be opened through it.
  EXPECT_EQ(BF_Open("setup.cbf", 0, false), 0u);
  GuiShutdown();
}

// A missing archive (the store asks for the disc first), a broken one, and
// a program path too long for its buffer end the start with -1.
TEST_F(AppMainTest, MissingBrokenArchiveOrOverlongPathEndTheStart) {
  const std::string fatal = "Fatal error: Cannot load installer data file (setup.cbf)";
  std::string broken = EmptyArchive();
  broken[8] = 60;  // size field no longer matches the file
  const std::string overlong = "C:\\" + std::string(300, 'x') + ".exe";
  const struct {
    const char *archive;
    const char *line;
    std::vector<std::string> boxes;
  } cases[] = {
      {nullptr, nullptr, {"Disk error: Failed access to Install_Dir\n(", fatal}},
      {broken.c_str(), nullptr, {fatal}},
      {nullptr, overlong.c_str(), {}},
  };
  for (const auto &c : cases) {
    g_boxes.clear();
    if (c.archive) {
      ASSERT_TRUE(machine.WriteFile(machine.Path("disc\\setup.cbf"), std::string(c.archive, 52)));
    }
    if (c.line) SYS_SetCommandLine(c.line);
    EXPECT_EQ(AppMain(0), -1);
    ASSERT_EQ(g_boxes.size(), c.boxes.size());
    for (size_t i = 0; i < c.boxes.size(); i++)
      EXPECT_EQ(g_boxes[i].rfind(c.boxes[i], 0), 0u) << g_boxes[i];
    EXPECT_FALSE(SYS_IsStarted());
  }
}

}  // namespace
