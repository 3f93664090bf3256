// The wizard's page classes on a 200 x 100 page with the GUI tests' font:
// the licence page without la.txt, and the progress page's prompt for a
// later volume. The page layouts are in the page references.
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
