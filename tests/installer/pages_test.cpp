// The wizard's licence page on a 200 x 100 page with the GUI tests' font,
// without la.txt. The page layouts are in the page references.
#include "installer/pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/message_box.h"
#include "gui_test_util.h"
#include "installer/engine.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "platform/startup.h"
#include "store/store.h"
#include "support/scratch.h"

namespace {

// A store over a scratch folder, so that la.txt can lie there loose.
class LicenseTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    INST_InitTexts();
    root_ = machine.Work() + "\\";
    BF_MountParams params = {"*.cbf", root_.c_str(), nullptr, 1, 0, 0};
    ASSERT_EQ(BF_Mount(&params), 1u);
  }
  void TearDown() override {
    BF_Unmount();
    INST_FreeTexts();
    GuiTest::TearDown();
  }
  ScratchMachine machine;
  std::string root_;
};

TEST_F(LicenseTest, MissingFileShowsTheReplacementText) {
  c_INST_LicensePage *missing = new c_INST_LicensePage(Params(0, 0, 200, 100));
  ASSERT_TRUE(machine.WriteFile(machine.Path("la.txt"),
                                "Cannot show license agreement. la.txt file missing!"));
  c_INST_LicensePage *same = new c_INST_LicensePage(Params(0, 0, 200, 100));
  const c_GUIB_Bitmap *a = missing->TextBitmap(), *b = same->TextBitmap();
  ASSERT_EQ(a->Width(), b->Width());
  ASSERT_EQ(a->Height(), b->Height());
  for (uint32_t i = 0; i < a->Width() * a->Height(); ++i)
    ASSERT_EQ(a->Pixels()[i], b->Pixels()[i]) << i;
}

// Cancel on the "Insert disk" prompt of a later volume ends the install as
// cancelled instead of asking again.
TEST_F(LicenseTest, CancelOnTheVolumePromptCancels) {
  ASSERT_TRUE(ParseCommandLine(("\"" + machine.Path("setup.exe") + "\"").c_str()));
  SYS_StrCopy(InstallDir, sizeof InstallDir, machine.Path("inst").c_str());
  c_INST_ProgressPage *page = new c_INST_ProgressPage(Params(0, 0, 200, 100));
  static std::vector<uint32_t> notes;
  notes.clear();
  page->AddHandler(
      [](c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t, uintptr_t) -> uint32_t {
        notes.push_back(msg);
        return 0;
      },
      0);
  page->Engine()->volume = 2;
  page->StartVolume();
  uintptr_t *keys = nullptr;
  uint32_t count = 0;
  desk->ChildList(&keys, &count);
  c_GUIB_Widget *front = count ? reinterpret_cast<c_GUIB_Widget *>(keys[0]) : nullptr;
  SYS_FreeSafe(keys);
  ASSERT_NE(dynamic_cast<c_GUIB_MessageBox *>(front), nullptr);
  front->CallHandlers(GN_MSGBOX_RESULT, MBB_CANCEL, 0);
  EXPECT_EQ(notes, std::vector<uint32_t>{INST_NOTIFY_CANCELLED});
}

}  // namespace
