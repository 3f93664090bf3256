// Every page of the wizard rendered headless, for people to review: the
// sample disc (target sample_disc) in drive D:, driven through the install,
// failure, cancel and uninstall paths. The frames of a run go to the build
// folder; each is compared pixel for pixel with its reference in docs/pages
// (the copying page with its progress fields held at a fixed state).
// UPDATE_REFERENCES=1 writes the references instead. PAGES_LANGUAGE=de (fr,
// es, it) renders every page in that language into the build folder's
// subfolder of that name, for review, without comparing them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/script.h"
#include "frame_check.h"
#include "installer/pages.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "installer/wizard.h"
#include "platform/machine.h"
#include "run_app.h"
#include "support/scratch.h"

namespace {

const char kInstallDir[] = "C:\\Program Files\\Ashgrove MP demo";
const char kSetupExe[] = "D:\\setup.exe";

class PageRenders : public ScratchTest {
 protected:
  void SetUp() override {
    out_ = PAGES_DIR;
    ASSERT_EQ(std::system(("mkdir -p '" + out_ + "'").c_str()), 0);
    // Fixed figures: the folder page must not show the host's free space (the
    // copy of setup.cbf in the temporary folder takes some of the figure).
    ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, uint64_t(2345) << 20));

    // The sample disc in drive D:, beside a file standing for the installer;
    // the drive is read-only once it is a CD-ROM.
    ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST));
    const std::string copy = "cp '" SAMPLE_DISC "/setup.cbf' '" SAMPLE_DISC "/disk01.cbf' '" +
                             std::string(SYS_GetMachineRoot()) + "/drive_d/'";
    ASSERT_EQ(std::system(copy.c_str()), 0);
    ASSERT_TRUE(machine.WriteFile(kSetupExe, "the installer"));
    ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_CDROM, 0));
    machine.DeleteKeyOnExit("SOFTWARE\\Halvorin");
    machine.DeleteKeyOnExit(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ashgrove Multiplayer demo");
    line_ = std::string("\"") + kSetupExe + "\"";
    SYS_SetCommandLine(line_.c_str());
    // Elevated already: the pages run in this process, page 17 included.
    SYS_SetElevation(SYS_ELEVATION_ADMIN);
  }
  void TearDown() override { SYS_SetCommandLine(nullptr); }

  // The user's interface language (a Windows language id) and where its
  // frames go; references are compared only when there is a folder of them.
  void UseLanguage(uint16_t language, const std::string &code, const std::string &references) {
    SYS_SetUILanguage(language);
    out_ += "/" + code;
    references_ = references;
    ASSERT_EQ(std::system(("mkdir -p '" + out_ + "'").c_str()), 0);
  }

  // Writes the current frame as NAME.png and compares it with (or, when
  // updating, stores it as) the reference of that name.
  void Shot(const std::string &name) {
    AppLoopPass();
    if (!references_.empty()) {
      CheckFrame(InstallerDesktop, out_, references_, name);
    } else {
      ASSERT_TRUE(InstallerDesktop->SaveScreenPng((out_ + "/" + name + ".png").c_str()));
    }
  }

  std::string out_;
  std::string references_ = SOURCE_DIR "/docs/pages";
  std::string line_;
};

// Clicks as a user would, then moves the pointer away, so that no button
// is shown hovered.
void ClickAway(c_GUIB_Widget *w) {
  Click(w);
  InstallerDesktop->InputMouse(GM_MOUSE_MOVE, 5, 5);
}

std::string Name(uint32_t page, const char *what) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "page%02u-%s", page, what);
  return buffer;
}

TEST_F(PageRenders, EveryPage) {
  static const char *const kNames[18] = {"menu",           "intro",
                                         "licence",        "folder",
                                         "shortcuts",      "group",
                                         "online",         "directx",
                                         "ready",          "copying",
                                         "finished",       "error",
                                         "cancelled",      "menu-installed-now",
                                         "menu-installed", "uninstall",
                                         "uninstalling",   "uninstalled"};
  auto next = [&](uint32_t page) {
    ClickAway(INST_NextButton());
    ASSERT_TRUE(ReachPage(page)) << "on " << INST_CurrentPage() << ", not " << page;
  };
  auto shot = [&](uint32_t page) { Shot(Name(page, kNames[page])); };
  const char *review = std::getenv("PAGES_LANGUAGE");
  const struct {
    const char *code;
    uint16_t id;
  } kReview[] = {{"de", 0x0407}, {"fr", 0x040C}, {"es", 0x0C0A}, {"it", 0x0410}};
  for (const auto &l : kReview)
    if (review && !std::strcmp(review, l.code)) UseLanguage(l.id, l.code, "");

  // Not installed: the menu, the install pages, the copy and the finish.
  EXPECT_EQ(RunAppWith([&] {
              shot(0);
              ClickAway(INST_MenuButton(1));
              shot(1);
              for (uint32_t page : {2u, 3u, 4u, 6u, 7u, 8u}) {
                next(page);
                shot(page);
              }
              INST_ShowPage(5);  // no transition leads there
              shot(5);
              INST_ShowPage(8);
              // Install, and at once hold the progress fields at a fixed
              // state for the picture: the worker waits for them meanwhile.
              InstallerDesktop->InputMouse(GM_LBUTTON_DOWN, 585, 258);
              InstallerDesktop->InputMouse(GM_LBUTTON_UP, 585, 258);
              InstallerDesktop->InputMouse(GM_MOUSE_MOVE, 5, 5);
              ASSERT_EQ(INST_CurrentPage(), 9u);
              InstallEngine *engine = static_cast<c_INST_ProgressPage *>(INST_Page(9))->Engine();
              ASSERT_EQ(SYS_WaitResult(engine->mutex, SYS_INFINITE), 0u);
              InstallProgress &p = engine->progress;
              EXPECT_EQ(p.status, uint32_t(INSTALL_RUNNING));
              SYS_StrCopy(p.current_name, sizeof p.current_name, "data\\maps\\map1.dat");
              p.current_size = 1000;
              p.current_done = 625;
              p.total_size = 4000;
              p.total_done = 1700;
              shot(9);
              SYS_ReleaseMutex(engine->mutex);
              ASSERT_TRUE(ReachPage(10));
              shot(10);
              InstallerDesktop->InputMouse(GM_MOUSE_MOVE, 5, 5);
              Installer.online_addon = 0;  // the other finish page
              INST_ShowPage(10);
              Shot("page10-finished-no-addon");
              next(13);
              shot(13);
            }),
            0);

  // Installed: the menu, the uninstall question, the never-reached progress
  // page of the uninstall, and the end.
  EXPECT_EQ(RunAppWith([&] {
              shot(14);
              ClickAway(INST_MenuButton(2));
              shot(15);
              INST_ShowPage(16);
              shot(16);
              INST_ShowPage(15);
              Installer.remove_confirmation = 1;
              next(17);
              shot(17);
            }),
            0);

  // A copy that fails, and one that is cancelled.
  ASSERT_TRUE(machine.WriteFile(std::string(kInstallDir) + "\\data", "in the way"));
  EXPECT_EQ(RunAppWith([&] {
              ClickAway(INST_MenuButton(1));
              for (uint32_t page : {2u, 3u, 4u, 6u, 7u, 8u}) next(page);
              next(11);
              shot(11);
            }),
            0);
  EXPECT_EQ(SYS_FileDelete((std::string(kInstallDir) + "\\data").c_str()), 0u);
  EXPECT_EQ(RunAppWith([&] {
              ClickAway(INST_MenuButton(1));
              for (uint32_t page : {2u, 3u, 4u, 6u, 7u, 8u}) next(page);
              ClickAway(INST_NextButton());
              ASSERT_EQ(INST_CurrentPage(), 9u);
              next(12);
              shot(12);
            }),
            0);
}

// The menu, licence and folder pages in German, from the emulated
// machine's interface language; their references are docs/pages/de.
TEST_F(PageRenders, GermanPages) {
  UseLanguage(0x0407, "de", SOURCE_DIR "/docs/pages/de");
  EXPECT_EQ(RunAppWith([&] {
              Shot("page00-menu");
              ClickAway(INST_MenuButton(1));
              ClickAway(INST_NextButton());
              Shot("page02-licence");
              ClickAway(INST_NextButton());
              ASSERT_EQ(INST_CurrentPage(), 3u);
              Shot("page03-folder");
            }),
            0);
}

// Every character of every language's texts has a glyph in the sample
// disc's two fonts and in the GUI's own default font.
TEST_F(PageRenders, FontsHoldEveryLetterOfEveryLanguage) {
  std::vector<bool> used(256);
  for (uint32_t l = 0; l < INST_LANG_COUNT; ++l) {
    INST_InitTextsIn(INST_Language(l));
    for (int32_t id = 0; id <= 500; ++id)
      for (const char *t = INST_GetText(id); *t; ++t) used[uint8_t(*t)] = true;
    INST_FreeTexts();
  }
  auto expect_all = [&](const c_GUIB_Font *font, const char *name) {
    ASSERT_NE(font, nullptr) << name;
    for (uint32_t c = ' '; c < 256; ++c)
      if (used[c]) {
        EXPECT_NE(font->FindGlyph(c), nullptr) << name << ": character " << c;
      }
  };
  GuiContext *context = nullptr;
  const uint32_t options[] = {1};
  ASSERT_EQ(GuiStartup(options, &context), 0u);
  expect_all(context->Font(GP_FONT), "default font");
  GuiShutdown();
  EXPECT_EQ(RunAppWith([&] {
              expect_all(InstallerLargeFont, "tahoma15.fnt");
              expect_all(AppGui->Font(GP_FONT), "tahoma08.fnt");
            }),
            0);
}

// The sample disc installed and uninstalled with keys alone, as the driver
// plays them: Enter takes each page's default button, Esc quits from the
// menu, and the uninstall ticks its check box with Tab and Space.
TEST_F(PageRenders, KeysAloneInstallAndUninstall) {
  AppScript install;
  install.text =
      "key 13\npage 1 3000\n"  // Install has the focus: Play is off before an install
      "key 13\npage 2 3000\nkey 13\npage 3 3000\nkey 13\npage 4 3000\n"
      "key 13\npage 6 3000\nkey 13\npage 7 3000\nkey 13\npage 8 3000\n"
      "key 13\npage 10 20000\nkey 13\npage 13 3000\n"
      "key 27\npage 99 3000\n";  // Esc on the menu quits: no page comes after
  EXPECT_EQ(AppMain(0, AppRunScript, &install), 0) << install.error;
  const std::string game = std::string(kInstallDir) + "\\ashgrove.exe";
  EXPECT_NE(SYS_GetFileAttributes(game.c_str()), SYS_ATTR_INVALID);

  AppScript uninstall;
  uninstall.text =
      "key 40\nkey 13\npage 15 3000\n"  // Down from Play to Uninstall
      "key 9\nkey 32\nkey 13\npage 17 10000\nkey 27\npage 99 3000\n";
  EXPECT_EQ(AppMain(0, AppRunScript, &uninstall), 0) << uninstall.error;
  EXPECT_TRUE(SYS_RunPendingMoves());
  EXPECT_EQ(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID);
}

}  // namespace
