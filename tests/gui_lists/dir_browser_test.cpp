// Directory browser at the limits: free space past 4 GiB or not known,
// path buffers too small, and folders deeper than the system's paths.
#include "gui/dir_browser.h"

#include <filesystem>
#include <string>

#include "gui_test_util.h"
#include "platform/machine.h"
#include "support/scratch.h"

namespace {

class DirBrowserTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    browser = new c_GUIB_DirBrowser(Params(0, 0, 200, 100));
    tree = browser->Tree();
  }
  static std::string Labels(const ItemList *list) {
    std::string out;
    for (uint32_t i = 0; list && i < ListCount(list); ++i)
      out += (out.empty() ? "" : "|") + Narrow(ListItem(list, i)->label);
    return out;
  }
  // Toggles an item of list (the last when index is past the end) and
  // returns its child list.
  ItemList *Open(ItemList *list, uint32_t index = 0) {
    index = index < ListCount(list) ? index : ListCount(list) - 1;
    tree->ToggleItem(list, index);
    return ListItem(list, index)->child;
  }
  std::string PathOf(ItemList *list, uint32_t index, size_t size = SYS_MAX_PATH) {
    TreeNotice n = {list, index, -1};
    char path[SYS_MAX_PATH] = "junk";
    const size_t length = browser->GetItemPath(&n, path, size);
    EXPECT_EQ(length, SYS_StrLen(path));
    return path;
  }

  ScratchMachine machine;
  c_GUIB_DirBrowser *browser = nullptr;
  c_GUIB_TreeView *tree = nullptr;
};

TEST_F(DirBrowserTest, FreeSpacePastFourGigabytesOrUnknown) {
  ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, (uint64_t(123) << 20) + 1048575));
  ASSERT_TRUE(SYS_SetDrive('F', SYS_DRIVE_FIXED, (uint64_t(5) << 30) + 999));
  ASSERT_TRUE(SYS_SetDrive('G', SYS_DRIVE_FIXED, SYS_FREE_FAILS));
  browser->FillDrives(0x3B, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()), "C:\\ (123 MB free)|F:\\ (5120 MB free)|G:\\ (Unknown)");
}

TEST_F(DirBrowserTest, PathsThatDoNotFitAreRefusedNeverCut) {
  ASSERT_TRUE(SYS_SetDrive('G', SYS_DRIVE_FIXED, uint64_t(1) << 30));
  // Five levels of 60-character names: G:\a...\e is 307 characters. The
  // host creates them; the Windows side could not.
  char host[4096];
  ASSERT_GT(SYS_MapPath("G:\\", host, sizeof host), 0u);
  std::filesystem::path p(host);
  for (char c : std::string("abcde")) p /= std::string(60, c);
  std::filesystem::create_directories(p / "f");
  browser->FillDrives(0x3B, DBF_FOLDERS);
  ItemList *list = Open(tree->RootList(), 99);  // G:, after C:
  EXPECT_EQ(PathOf(list, 0), "G:\\" + std::string(60, 'a'));
  EXPECT_EQ(PathOf(list, 0, 8), "");  // a buffer too small
  EXPECT_EQ(PathOf(list, 5), "");     // no such item
  for (int level = 0; level < 4; ++level) {
    ASSERT_EQ(ListCount(list), 1u) << level;
    EXPECT_EQ(ListItem(list, 0)->flags, uint32_t(IF_EXPANDABLE)) << level;
    list = Open(list);
  }
  // d (path 246) is listed; its child e cannot be searched (the pattern would
  // pass 260): a leaf without a path, and forcing it open reads nothing.
  ASSERT_EQ(ListCount(list), 1u);
  EXPECT_EQ(ListItem(list, 0)->flags, uint32_t(IF_EXPANDABLE | IF_LEAF));
  EXPECT_EQ(PathOf(list, 0), "");
  ItemList *e = Open(list);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(ListCount(e), 0u);
}

}  // namespace
