// The wizard's licence page on a 200 x 100 page with the GUI tests' font,
// without la.txt. The page layouts are in the page references.
#include "installer/pages.h"

#include <gtest/gtest.h>

#include <string>

#include "gui_test_util.h"
#include "installer/texts.h"
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

}  // namespace
