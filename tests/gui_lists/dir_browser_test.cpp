// Directory browser over a native machine root: drives, folder listings,
// attributes, leaves, paths, and paths too long for the system's buffers.
#include "gui/dir_browser.h"

#include <filesystem>
#include <string>
#include <vector>

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
  // Labels of a list in display order.
  static std::string Labels(const ItemList *list) {
    std::string out;
    for (uint32_t i = 0; list && i < ListCount(list); ++i)
      out += (out.empty() ? "" : "|") + Narrow(ListItem(list, i)->label);
    return out;
  }
  // The index of the item whose label starts with label (count when absent).
  static uint32_t Find(const ItemList *list, const std::string &label) {
    uint32_t i = 0;
    while (i < ListCount(list) && Narrow(ListItem(list, i)->label).rfind(label, 0) != 0) ++i;
    return i;
  }
  // Toggles the item labelled label and returns its child list.
  ItemList *Open(ItemList *list, const std::string &label) {
    const uint32_t i = Find(list, label);
    EXPECT_LT(i, ListCount(list)) << label;
    tree->ToggleItem(list, i);
    return ListItem(list, i) ? ListItem(list, i)->child : nullptr;
  }
  uint32_t Flags(ItemList *list, const std::string &label) {
    return ListItem(list, Find(list, label))->flags;
  }
  std::string PathOf(ItemList *list, const std::string &label) {
    TreeNotice n = {list, Find(list, label), -1};
    char path[SYS_MAX_PATH];
    browser->GetItemPath(&n, path);
    return path;
  }
  // Drive G: with folders and files of every kind.
  void MakeTree() {
    ASSERT_TRUE(SYS_SetDrive('G', SYS_DRIVE_FIXED, uint64_t(3) << 30));
    for (const char *d : {"G:\\beta", "G:\\Alpha\\Inner", "G:\\gamma", "G:\\sys", "G:\\.git",
                          "G:\\Files", "G:\\Shy\\hidden", "G:\\Empty"})
      ASSERT_TRUE(machine.MakeDirs(d));
    for (const char *f : {"G:\\b.txt", "G:\\A.TXT", "G:\\Files\\one.dat", "G:\\Alpha\\x.txt"})
      ASSERT_TRUE(machine.WriteFile(f, "x"));
    ASSERT_TRUE(SYS_SetFileAttributes("G:\\gamma", SYS_ATTR_DIRECTORY | SYS_ATTR_HIDDEN));
    ASSERT_TRUE(SYS_SetFileAttributes("G:\\sys", SYS_ATTR_DIRECTORY | SYS_ATTR_SYSTEM));
    ASSERT_TRUE(SYS_SetFileAttributes("G:\\Shy\\hidden", SYS_ATTR_DIRECTORY | SYS_ATTR_HIDDEN));
  }
  ItemList *DriveG(uint32_t filter) {
    browser->FillDrives(0x3B, filter);
    return Open(tree->RootList(), "G:");
  }

  ScratchMachine machine;
  c_GUIB_DirBrowser *browser = nullptr;
  c_GUIB_TreeView *tree = nullptr;
};

TEST_F(DirBrowserTest, DrivesByKindWithTheFreeSpaceOfFixedDisks) {
  ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, (uint64_t(123) << 20) + 1048575));
  ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_CDROM, 0));
  ASSERT_TRUE(SYS_SetDrive('E', SYS_DRIVE_REMOVABLE, 0));
  ASSERT_TRUE(SYS_SetDrive('F', SYS_DRIVE_FIXED, (uint64_t(5) << 30) + 999));  // over 4 GiB
  ASSERT_TRUE(SYS_SetDrive('H', SYS_DRIVE_REMOTE, 0));
  ASSERT_TRUE(SYS_SetDrive('R', SYS_DRIVE_RAMDISK, 0));
  ASSERT_TRUE(SYS_SetDrive('U', SYS_DRIVE_UNKNOWN, 0));
  // Each exclusion bit leaves out its own kind; the rest keep the system's order.
  const struct {
    uint32_t exclude;
    const char *want;
  } cases[] = {
      {0x3B, "C:\\ (123 MB free)|F:\\ (5120 MB free)"},
      {0,
       "C:\\ (123 MB free)|D:\\ (CD ROM)|E:\\ (Removable)|F:\\ (5120 MB free)|"
       "H:\\ (Network Disk)|R:\\ (RAM Disk)|U:\\ (Unknown)"},
      {DX_FIXED | DX_CDROM, "E:\\ (Removable)|H:\\ (Network Disk)|R:\\ (RAM Disk)|U:\\ (Unknown)"},
      {DX_UNKNOWN | DX_REMOVABLE | DX_REMOTE | DX_RAMDISK | DX_FIXED, "D:\\ (CD ROM)"},
  };
  for (const auto &c : cases) {
    browser->FillDrives(c.exclude, DBF_FOLDERS);
    EXPECT_EQ(Labels(tree->RootList()), c.want) << c.exclude;
  }
  // A fixed disk whose free space cannot be asked shows no made-up figure.
  ASSERT_TRUE(SYS_SetDrive('F', SYS_DRIVE_FIXED, SYS_FREE_FAILS));
  browser->FillDrives(0x3B, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()), "C:\\ (123 MB free)|F:\\ (Unknown)");
}

TEST_F(DirBrowserTest, ListingsFollowTheFilter) {
  MakeTree();
  // Folders sorted without case before files; hidden and system folders only
  // when asked. A folder is a leaf when the filter leaves nothing in it.
  const struct {
    uint32_t filter;
    const char *labels;
    const char *leaves;  // "Files Shy Empty" in that order, 1 for a leaf
  } cases[] = {
      {DBF_FOLDERS, "Alpha|beta|Empty|Files|Shy", "111"},
      {DBF_FOLDERS | DBF_FILES, "Alpha|beta|Empty|Files|Shy|A.TXT|b.txt", "011"},
      {DBF_FOLDERS | DBF_HIDDEN, "Alpha|beta|Empty|Files|gamma|Shy", "101"},
      {DBF_FOLDERS | DBF_SYSTEM, "Alpha|beta|Empty|Files|Shy|sys", "111"},
  };
  for (const auto &c : cases) {
    ItemList *g = DriveG(c.filter);
    EXPECT_EQ(Labels(g), c.labels) << c.filter;
    const char *names[] = {"Files", "Shy", "Empty"};
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(Flags(g, names[i]), IF_EXPANDABLE | (c.leaves[i] == '1' ? IF_LEAF : 0u))
          << c.filter << " " << names[i];
    EXPECT_EQ(Flags(g, "Alpha"), uint32_t(IF_EXPANDABLE)) << c.filter;
  }
  ItemList *g = DriveG(DBF_FILES);  // files only
  EXPECT_EQ(Labels(g), "A.TXT|b.txt");
  EXPECT_EQ(ListItem(g, 0)->group, 1u);
  EXPECT_EQ(ListItem(g, 0)->flags, 0u);
  EXPECT_EQ(g->flags, uint32_t(IL_SORTED | IL_GROUPED | IL_MODE_DATA));
}

TEST_F(DirBrowserTest, FoldersAreReadOnceAndEmptyOnesStayCollapsed) {
  MakeTree();
  ItemList *g = DriveG(DBF_FOLDERS);
  ItemList *empty = Open(g, "Empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(ListCount(empty), 0u);
  EXPECT_EQ(Flags(g, "Empty"), uint32_t(IF_EXPANDABLE | IF_LEAF));
  ItemList *alpha = Open(g, "Alpha");
  EXPECT_EQ(Labels(alpha), "Inner");
  ASSERT_TRUE(machine.MakeDirs("G:\\Alpha\\Later"));
  Open(g, "Alpha");
  Open(g, "Alpha");
  EXPECT_EQ(Labels(alpha), "Inner");
}

TEST_F(DirBrowserTest, ItemPaths) {
  MakeTree();
  ItemList *g = DriveG(DBF_FOLDERS);
  EXPECT_EQ(PathOf(tree->RootList(), "G:"), "G:");
  EXPECT_EQ(PathOf(g, "Alpha"), "G:\\Alpha");
  ItemList *alpha = Open(g, "Alpha");
  EXPECT_EQ(PathOf(alpha, "Inner"), "G:\\Alpha\\Inner");
  // A buffer too small gets nothing, not a piece; so does a missing item.
  char small[8] = "junk";
  TreeNotice n = {alpha, 0, -1};
  EXPECT_EQ(browser->GetItemPath(&n, small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
  TreeNotice none = {alpha, 5, -1};
  EXPECT_EQ(browser->GetItemPath(&none, small, sizeof small), 0u);
}

TEST_F(DirBrowserTest, PathsBeyondTheSystemLengthAreUnreadable) {
  ASSERT_TRUE(SYS_SetDrive('G', SYS_DRIVE_FIXED, uint64_t(1) << 30));
  // Five levels of 60-character names: G:\n1 ... \n5 is 307 characters. The
  // host creates them; the Windows side could not.
  char host[4096];
  ASSERT_GT(SYS_MapPath("G:\\", host, sizeof host), 0u);
  std::filesystem::path p(host);
  for (char c : std::string("abcde")) p /= std::string(60, c);
  std::filesystem::create_directories(p / "f");

  ItemList *list = DriveG(DBF_FOLDERS);
  for (char c : std::string("abcd")) {
    ASSERT_EQ(ListCount(list), 1u) << c;
    EXPECT_EQ(ListItem(list, 0)->flags, uint32_t(IF_EXPANDABLE)) << c;
    list = Open(list, std::string(60, c));
  }
  // d (path 246) is listed; its child e cannot be searched (the pattern would
  // pass 260): a leaf without a path.
  ASSERT_EQ(ListCount(list), 1u);
  EXPECT_EQ(ListItem(list, 0)->flags, uint32_t(IF_EXPANDABLE | IF_LEAF));
  EXPECT_EQ(PathOf(list, "e").size(), 0u);
  // Forcing it open reads nothing and makes no partial path.
  ItemList *e = Open(list, std::string(60, 'e'));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(ListCount(e), 0u);
  TreeNotice n = {list, 0, -1};
  char path[SYS_MAX_PATH] = "junk";
  EXPECT_EQ(browser->GetItemPath(&n, path), 0u);
  EXPECT_STREQ(path, "");
}

}  // namespace
