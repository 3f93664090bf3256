// Scenario: the folder-browser page on a scratch machine, driven through the
// headless desktop: expand a drive and a folder (two levels, which brings a
// vertical scroll bar), scroll with the bar, select a folder. The key frames
// are compared pixel for pixel with the stored references; the frames of
// the run are kept in GUI_LISTS_FRAMES_DIR. With UPDATE_REFERENCES=1 in the
// environment the run writes the references instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "browser_page.h"
#include "frame_check.h"
#include "platform/machine.h"
#include "support/scratch.h"

namespace {

uint32_t g_now = 1000;

class BrowserScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    g_now = 1000;
    SYS_SetTickSource([]() { return g_now; });
    ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_FIXED, (uint64_t(81234) << 20) + 5));
    ASSERT_TRUE(SYS_SetDrive('E', SYS_DRIVE_CDROM, 0));
    for (int i = 1; i <= 14; ++i) {
      char name[32];
      SYS_Format(name, sizeof name, "C:\\Games\\Demo%02d", i);
      ASSERT_TRUE(machine.MakeDirs(name));
    }
    ASSERT_TRUE(machine.MakeDirs("C:\\Games\\Demo03\\Maps"));
    ASSERT_TRUE(machine.MakeDirs("C:\\Games\\Hidden"));
    ASSERT_TRUE(SYS_SetFileAttributes("C:\\Games\\Hidden", SYS_ATTR_DIRECTORY | SYS_ATTR_HIDDEN));
    ASSERT_TRUE(machine.WriteFile("C:\\Games\\readme.txt", "files are not listed"));
    // Fixed figures: the frames must not depend on the host's free space
    // (set after the file above, whose bytes would come off it).
    ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, uint64_t(2345) << 20));
    ASSERT_EQ(GuiStartup(nullptr, &ctx), 0u);
    WidgetCreateParams p = {};
    p.width = 640;
    p.height = 284;
    p.context = ctx;
    desk = new c_GUIB_Desktop(p);
  }
  void TearDown() override {
    if (desk) desk->Release();
    GuiShutdown();
    SYS_SetTickSource(nullptr);
  }
  void Pump() {
    g_now += 20;
    desk->PumpOnce();
  }
  void Click(int32_t x, int32_t y) {
    desk->InputMouse(GM_MOUSE_MOVE, x, y);
    desk->InputMouse(GM_LBUTTON_DOWN, x, y);
    desk->InputMouse(GM_LBUTTON_UP, x, y);
    Pump();
  }
  // Writes the frame and compares it with (or, when updating, stores it as)
  // the reference of the same name.
  void Frame(const std::string &name) {
    CheckFrame(desk, GUI_LISTS_FRAMES_DIR, GUI_LISTS_REFERENCE_DIR, name);
  }

  ScratchMachine machine;
  GuiContext *ctx = nullptr;
  c_GUIB_Desktop *desk = nullptr;
};

TEST_F(BrowserScenario, ExpandTwoLevelsScrollAndSelect) {
  std::FILE *log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  BrowserPage page(ctx, desk, log);
  c_GUIB_TreeView *tree = page.Browser()->Tree();
  // The tree sits at (16, 34) on the desktop.
  const int32_t row_h = tree->RowHeight(), indent = tree->Indent();
  auto row_y = [&](int row) { return 34 + 4 + row * row_h + row_h / 2 + tree->VerticalOffset(); };
  auto icon_x = [&](int depth) { return 16 + 4 + indent / 2 + depth * indent; };
  auto text_x = [&](int depth) { return 16 + 4 + indent + depth * indent + 3; };
  Pump();
  EXPECT_EQ(tree->RowCount(), 2u);  // C: and D:; the CD drive is left out
  Frame("browser_drives");

  Click(icon_x(0), row_y(0));  // C:
  // Documents and Settings, Games, WINDOWS, WORK.
  ASSERT_EQ(tree->RowCount(), 6u);
  EXPECT_EQ(tree->Bar(0), nullptr);
  Frame("browser_level1");

  Click(icon_x(1), row_y(2));  // C:\Games
  ASSERT_EQ(tree->RowCount(), 20u);
  ASSERT_NE(tree->Bar(0), nullptr);
  EXPECT_EQ(tree->VerticalOffset(), 0);
  Frame("browser_level2");

  // A click low on the bar's track centres the thumb there.
  Click(16 + 380 - 8, 34 + 206 - 30);
  EXPECT_LT(tree->VerticalOffset(), 0);
  Frame("browser_scrolled");

  // Demo12 is row 2 + 12 = 14.
  Click(text_x(2), row_y(14));
  EXPECT_STREQ(page.SelectedPath(), "C:\\Games\\Demo12");
  Frame("browser_selected");

  std::rewind(log);
  std::string text;
  for (int c; (c = std::fgetc(log)) != EOF;) text += char(c);
  std::fclose(log);
  EXPECT_EQ(text,
            "drive C:\\ (2345 MB free)\ndrive D:\\ (81234 MB free)\n"
            "selected C:\\Games\\Demo12\n");
}

}  // namespace
