// Shortcuts, program start and the system-library probe: natively over the
// emulated machine, in wintests.exe through the system's own shell.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/scratch.h"
#include "support/shortcut.h"

namespace {

class Shell : public ScratchTest {
 protected:
  void SetUp() override { com_ = SYS_ComInit(); }
  void TearDown() override {
    if (com_) SYS_ComUninit();
  }
  bool com_ = false;
};

// A link's fields on one line, to compare in one step.
std::string Joined(const ShortcutFields &f) {
  return f.target + "|" + f.description + "|" + f.working_dir + "|" + f.icon_file + "|" +
         f.arguments + "|" + std::to_string(f.icon_index);
}

}  // namespace

TEST_F(Shell, ShortcutsReadBackAsWritten) {
  const std::string folder = machine.Path("Game");
  const std::string game = folder + "\\demo.exe";
  ASSERT_TRUE(machine.WriteFile(game, "MZ"));
  const struct {
    const char *name;
    SYS_Shortcut link;
    ShortcutFields expected;
  } cases[] = {
      {"all.lnk",
       {game.c_str(), "Ashgrove Multiplayer demo", folder.c_str(), game.c_str(), 1, "-window"},
       {game, "Ashgrove Multiplayer demo", folder, game, "-window", 1}},
      {"bare.lnk",
       {game.c_str(), nullptr, nullptr, nullptr, 7, nullptr},
       {game, "", "", "", "", 0}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = machine.Path(c.name);
    ASSERT_TRUE(SYS_CreateShortcut(path.c_str(), &c.link));
    ShortcutFields read;
    ASSERT_TRUE(ReadShortcut(path.c_str(), &read));
    EXPECT_EQ(Joined(read), Joined(c.expected));
  }
  // Into a missing folder, or at a path too long, nothing is made.
  SYS_Shortcut link = {"C:\\x.exe", nullptr, nullptr, nullptr, 0, nullptr};
  const std::string missing = machine.Path("no\\such\\folder\\x.lnk");
  EXPECT_FALSE(SYS_CreateShortcut(missing.c_str(), &link));
  EXPECT_EQ(SYS_GetFileAttributes(missing.c_str()), SYS_ATTR_INVALID);
  EXPECT_FALSE(SYS_CreateShortcut(std::string(300, 'a').c_str(), &link));
}

TEST_F(Shell, MissingProgramsDoNotStartAndTheProbeTakesOnlyPlainNames) {
  EXPECT_EQ(SYS_StartProgram(machine.Path("none.exe").c_str(), machine.Work().c_str(), true), 0u);
  EXPECT_EQ(SYS_StartProgram(nullptr, nullptr, false), 0u);
  // Paths are refused: on Windows the first two would otherwise reach
  // kernel32 through the system folder. Unknown names are absent.
  for (const char *name : {"..\\system32\\kernel32.dll", "../system32/kernel32.dll", "C:\\x.dll",
                           "", "ddt-no-such-library.dll"})
    EXPECT_FALSE(SYS_SystemLibraryPresent(name)) << name;
  EXPECT_FALSE(SYS_SystemLibraryPresent(nullptr));
}
