// The wizard's page classes on a 200 x 100 page with the GUI tests' font
// (every character 6 x 10 pixels): the item layout rules, the licence view
// with and without a scroll bar and without la.txt, and the progress page's
// prompt for a later volume.
#include "installer/pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_builder.h"
#include "gui/message_box.h"
#include "gui_test_util.h"
#include "installer/engine.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "platform/startup.h"
#include "store/store.h"
#include "support/scratch.h"

namespace {

const int32_t kW = 200, kH = 100;

struct LayoutCase {
  const char *name;
  std::vector<PageItem> items;
  std::vector<int32_t> tops, heights;
};

PageItem Text(const char *t, uint32_t pinned = 0) {
  return {ITEM_TEXT, t, pinned, nullptr, 0};
}
PageItem Check(const char *t) {
  return {ITEM_CHECKBOX, t, 0, nullptr, 0};
}

std::string LabelText(c_GUIB_Widget *label) {
  std::string text;
  for (const uint16_t *t = label->GetText(); t && *t; ++t) text += char(*t);
  return text;
}

class PagesTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    INST_InitTexts();
  }
  void TearDown() override {
    INST_FreeTexts();
    GuiTest::TearDown();
  }
  WidgetCreateParams Page() { return Params(0, 0, kW, kH); }
};

TEST_F(PagesTest, ItemLayoutPinsEndsAndSharesTheRest) {
  // One line is 10 + 2 pixels high. Margin 20 (a tenth of 200) gives a wrap
  // width of 160; check boxes wrap 15 pixels (1.5 marks) narrower.
  const char *wide = "aaaaaaaaaaaa bbbbbbbbbbbb";  // 150 pixels
  const LayoutCase cases[] = {
      // Pinned first at the top; two check boxes in a row share one gap;
      // an empty item adds a gap of its own; one gap remains at the end.
      {"pinned-first",
       {Text("t", 1), Check("a"), Check("b"), {}},
       {0, 34, 46, 79},
       {12, 12, 12, 0}},
      // Unpinned: three gaps around two items.
      {"free", {Text("a"), Text("b")}, {25, 62}, {12, 12}},
      // A text followed by a check box keeps its gap.
      {"text-check", {Text("a"), Check("b")}, {25, 62}, {12, 12}},
      // Pinned last sits one pixel past the bottom of its height.
      {"pinned-last", {Text("a"), Text("b", 1)}, {38, 89}, {12, 12}},
      // The check box's narrower width wraps what one text line holds.
      {"check-wraps", {Text(wide), Check(wide)}, {22, 56}, {12, 22}},
      // Too many items: no gaps, and they run on below the page.
      {"overflow",
       std::vector<PageItem>(9, Text("x")),
       {0, 12, 24, 36, 48, 60, 72, 84, 96},
       std::vector<int32_t>(9, 12)},
  };
  for (const LayoutCase &c : cases) {
    const std::vector<ItemBox> boxes =
        INST_LayoutItems(c.items.data(), uint32_t(c.items.size()), kW, kH, font, 10);
    ASSERT_EQ(boxes.size(), c.tops.size()) << c.name;
    for (size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_EQ(boxes[i].y, c.tops[i]) << c.name << " item " << i;
      EXPECT_EQ(boxes[i].height, c.heights[i]) << c.name << " item " << i;
    }
  }
  // An own margin replaces the tenth (labels reach two pixels into it);
  // more than 20 items are cut to 20.
  PageItem items[22];
  for (PageItem &item : items) item = Text("x");
  items[2].margin = 5;
  const std::vector<ItemBox> boxes = INST_LayoutItems(items, 22, kW, kH, font, 10);
  ASSERT_EQ(boxes.size(), 20u);
  EXPECT_EQ(boxes[2].x, 3);
  EXPECT_EQ(boxes[2].width, 194);
}

// A store over a scratch folder, so that la.txt can lie there loose.
class LicenseTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    root_ = machine.Work() + "\\";
    BF_MountParams params = {"*.cbf", root_.c_str(), nullptr, 1, 0, 0};
    ASSERT_EQ(BF_Mount(&params), 1u);
  }
  void TearDown() override {
    BF_Unmount();
    SYS_SetMessageBoxAnswerer(nullptr);
    PagesTest::TearDown();
  }
  ScratchMachine machine;
  std::string root_;
};

// A short text has no scroll bar; a long one scrolls the view. The layout
// with the bar is in the page references.
TEST_F(LicenseTest, LongTextScrollsTheView) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("la.txt"), "short"));
  EXPECT_EQ((new c_INST_LicensePage(Page()))->ScrollBar(), nullptr);
  // 200 - 6 = 194 pixels hold 32 characters: each of these lines wraps.
  std::string text;
  for (int i = 0; i < 12; ++i) text += "line of the licence number " + std::to_string(i) + "\n";
  ASSERT_TRUE(machine.WriteFile(machine.Path("la.txt"), text));
  c_INST_LicensePage *page = new c_INST_LicensePage(Page());
  c_GUIB_ScrollBar *bar = page->ScrollBar();
  ASSERT_NE(bar, nullptr);
  int32_t vw, vh;
  page->View()->GetSize(&vw, &vh);
  // Measured again at the narrower width: 12 lines of 10, plus 4.
  ScrollInfo si;
  bar->GetScrollInfo(&si);
  EXPECT_EQ(si.maximum, float(page->TextBitmap()->Height()));
  EXPECT_EQ(si.maximum, font->MeasureWrapped(text.c_str(), kW - 16 - 6) + 4.0f);
  EXPECT_EQ(si.page, float(vh));
  EXPECT_EQ(si.step, 10.0f);

  // Scrolled by 30: the view shows the text from row 30.
  bar->CallHandlers(GN_SCROLLED, 30, 0);
  c_GUIB_Bitmap *shown = nullptr;
  page->View()->GetBackground(nullptr, &shown, nullptr);
  ASSERT_NE(shown, nullptr);
  for (int32_t row : {0, 5, 17})
    for (int32_t col = 0; col < vw; col += 7)
      ASSERT_EQ(shown->GetPixel(col, row), page->TextBitmap()->GetPixel(col, row + 30))
          << col << "," << row;
}

TEST_F(LicenseTest, MissingFileShowsTheReplacementText) {
  c_INST_LicensePage *missing = new c_INST_LicensePage(Page());
  ASSERT_TRUE(machine.WriteFile(machine.Path("la.txt"),
                                "Cannot show license agreement. la.txt file missing!"));
  c_INST_LicensePage *same = new c_INST_LicensePage(Page());
  const c_GUIB_Bitmap *a = missing->TextBitmap(), *b = same->TextBitmap();
  ASSERT_EQ(a->Width(), b->Width());
  ASSERT_EQ(a->Height(), b->Height());
  for (uint32_t i = 0; i < a->Width() * a->Height(); ++i)
    ASSERT_EQ(a->Pixels()[i], b->Pixels()[i]) << i;
}

// The "Insert disk" prompt of a volume above 1: OK mounts again (and asks
// again while the archive is missing), Cancel reports the install cancelled.
TEST_F(LicenseTest, VolumePromptRetriesAndCancels) {
  ASSERT_TRUE(ParseCommandLine(("\"" + machine.Path("setup.exe") + "\"").c_str()));
  SYS_StrCopy(InstallDir, sizeof InstallDir, machine.Path("inst").c_str());
  c_INST_ProgressPage *page = new c_INST_ProgressPage(Page());
  static std::vector<uint32_t> notes;
  notes.clear();
  page->AddHandler(
      [](c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t, uintptr_t) -> uint32_t {
        notes.push_back(msg);
        return 0;
      },
      0);
  auto front_box = [this]() -> c_GUIB_MessageBox * {
    uintptr_t *keys = nullptr;
    uint32_t count = 0;
    desk->ChildList(&keys, &count);
    c_GUIB_Widget *front = count ? reinterpret_cast<c_GUIB_Widget *>(keys[0]) : nullptr;
    SYS_FreeSafe(keys);
    return dynamic_cast<c_GUIB_MessageBox *>(front);
  };

  page->Engine()->volume = 2;
  page->StartVolume();
  c_GUIB_MessageBox *box = front_box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(LabelText(box->TextLabel()), "Ashgrove Multiplayer demo disk #2");
  box->CallHandlers(GN_MSGBOX_RESULT, MBB_OK, 0);  // still missing: asked again
  c_GUIB_MessageBox *again = front_box();
  ASSERT_NE(again, nullptr);
  ASSERT_NE(again, box);

  ASSERT_TRUE(machine.WriteFile(machine.Path("disk02.cbf"),
                                BuildArchive({{"DISK02\\MAP.DAT", "second disc"}})));
  again->CallHandlers(GN_MSGBOX_RESULT, MBB_OK, 0);
  ASSERT_NE(InstallWorkerThread, 0u);
  InstallProgress p;
  do {
    SYS_Sleep(5);
    INST_ReadProgress(page->Engine(), &p);
  } while (p.status == INSTALL_RUNNING);
  EXPECT_EQ(p.status, uint32_t(INSTALL_DONE));
  std::string copied;
  EXPECT_TRUE(machine.ReadFile(machine.Path("inst\\map.dat"), &copied) && copied == "second disc");
  SYS_WaitResult(InstallWorkerThread, SYS_INFINITE);
  SYS_CloseHandle(InstallWorkerThread);
  InstallWorkerThread = 0;
  EXPECT_TRUE(notes.empty());

  page->Engine()->volume = 3;
  page->StartVolume();
  ASSERT_NE(front_box(), nullptr);
  front_box()->CallHandlers(GN_MSGBOX_RESULT, MBB_CANCEL, 0);
  EXPECT_EQ(notes, std::vector<uint32_t>{INST_NOTIFY_CANCELLED});
}

}  // namespace
