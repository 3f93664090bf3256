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

std::string Narrow(const uint16_t *s) {
  std::string out;
  for (; s && *s; ++s) out += char(*s & 0xFF);
  return out;
}

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
  // The index of the item labelled label in list (count when absent).
  static uint32_t Find(const ItemList *list, const std::string &label) {
    uint32_t i = 0;
    while (i < ListCount(list) && Narrow(ListItem(list, i)->label).rfind(label, 0) != 0) ++i;
    return i;
  }
  // Expands the item labelled label and returns its child list.
  ItemList *Open(ItemList *list, const std::string &label) {
    const uint32_t i = Find(list, label);
    EXPECT_LT(i, ListCount(list)) << label;
    tree->ToggleItem(list, i);
    return ListItem(list, i) ? ListItem(list, i)->child : nullptr;
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

TEST_F(DirBrowserTest, FixedDisksOnlyWithTheirFreeSpaceInWholeMegabytes) {
  ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, (uint64_t(123) << 20) + 1048575));
  ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_CDROM, 0));
  ASSERT_TRUE(SYS_SetDrive('E', SYS_DRIVE_REMOVABLE, 0));
  ASSERT_TRUE(SYS_SetDrive('F', SYS_DRIVE_FIXED, (uint64_t(5) << 30) + 999));  // over 4 GiB
  ASSERT_TRUE(SYS_SetDrive('H', SYS_DRIVE_REMOTE, 0));
  ASSERT_TRUE(SYS_SetDrive('R', SYS_DRIVE_RAMDISK, 0));
  ASSERT_TRUE(SYS_SetDrive('U', SYS_DRIVE_UNKNOWN, 0));
  browser->FillDrives(0x3B, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()), "C:\\ (123 MB free)|F:\\ (5120 MB free)");
  const ItemRecord *c = ListItem(tree->RootList(), 0);
  EXPECT_EQ(Narrow(c->data), "C:\\");
  EXPECT_EQ(c->flags, uint32_t(IF_EXPANDABLE));
  EXPECT_TRUE(tree->GetFrameStyle() & 0x80000000u);
  EXPECT_EQ(ListUser(tree->RootList()), browser);

  // Every kind, in the order the system reports them.
  browser->FillDrives(0, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()),
            "C:\\ (123 MB free)|D:\\ (CD ROM)|E:\\ (Removable)|F:\\ (5120 MB free)|"
            "H:\\ (Network Disk)|R:\\ (RAM Disk)|U:\\ (Unknown)");
  // Each bit leaves out its own kind.
  browser->FillDrives(DX_FIXED | DX_CDROM, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()),
            "E:\\ (Removable)|H:\\ (Network Disk)|R:\\ (RAM Disk)|U:\\ (Unknown)");
  browser->FillDrives(DX_UNKNOWN | DX_REMOVABLE | DX_REMOTE | DX_RAMDISK | DX_FIXED, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()), "D:\\ (CD ROM)");

  // A fixed disk whose free space cannot be asked shows no made-up figure.
  ASSERT_TRUE(SYS_SetDrive('F', SYS_DRIVE_FIXED, SYS_FREE_FAILS));
  browser->FillDrives(0x3B, DBF_FOLDERS);
  EXPECT_EQ(Labels(tree->RootList()), "C:\\ (123 MB free)|F:\\ (Unknown)");
}

TEST_F(DirBrowserTest, FoldersSortedWithoutCaseHiddenAndSystemLeftOut) {
  MakeTree();
  EXPECT_EQ(Labels(DriveG(DBF_FOLDERS)), "Alpha|beta|Empty|Files|Shy");
  EXPECT_EQ(Labels(DriveG(DBF_FOLDERS | DBF_FILES)), "Alpha|beta|Empty|Files|Shy|A.TXT|b.txt");
  EXPECT_EQ(Labels(DriveG(DBF_FOLDERS | DBF_HIDDEN)), "Alpha|beta|Empty|Files|gamma|Shy");
  EXPECT_EQ(Labels(DriveG(DBF_FOLDERS | DBF_SYSTEM)), "Alpha|beta|Empty|Files|Shy|sys");
  ItemList *g = DriveG(DBF_FILES);  // files only
  EXPECT_EQ(Labels(g), "A.TXT|b.txt");
  EXPECT_EQ(ListItem(g, 0)->group, 1u);
  EXPECT_EQ(ListItem(g, 0)->flags, 0u);
  EXPECT_EQ(g->flags, uint32_t(IL_SORTED | IL_GROUPED | IL_MODE_DATA));
  EXPECT_EQ(g->buffer_step, 2048u);
  EXPECT_EQ(g->index_step, 64u);
}

TEST_F(DirBrowserTest, LeavesFollowTheFilter) {
  MakeTree();
  ItemList *g = DriveG(DBF_FOLDERS);
  auto flags = [&](const char *name) { return ListItem(g, Find(g, name))->flags; };
  // Only files, only hidden folders, nothing at all: leaves.
  EXPECT_EQ(flags("Files"), uint32_t(IF_EXPANDABLE | IF_LEAF));
  EXPECT_EQ(flags("Shy"), uint32_t(IF_EXPANDABLE | IF_LEAF));
  EXPECT_EQ(flags("Empty"), uint32_t(IF_EXPANDABLE | IF_LEAF));
  EXPECT_EQ(flags("Alpha"), uint32_t(IF_EXPANDABLE));
  g = DriveG(DBF_FOLDERS | DBF_FILES);
  EXPECT_EQ(flags("Files"), uint32_t(IF_EXPANDABLE));
  EXPECT_EQ(flags("Shy"), uint32_t(IF_EXPANDABLE | IF_LEAF));
  g = DriveG(DBF_FOLDERS | DBF_HIDDEN);
  EXPECT_EQ(flags("Shy"), uint32_t(IF_EXPANDABLE));
  // Expanding a folder with nothing to list leaves it collapsed.
  g = DriveG(DBF_FOLDERS);
  ItemList *empty = Open(g, "Empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(ListCount(empty), 0u);
  EXPECT_EQ(flags("Empty"), uint32_t(IF_EXPANDABLE | IF_LEAF));
  // A folder is read once: a file added later does not appear.
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
  // A buffer too small gets nothing, not a piece.
  TreeNotice n = {alpha, 0, -1};
  char small[8] = "junk";
  EXPECT_EQ(browser->GetItemPath(&n, small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
  TreeNotice none = {alpha, 5, -1};
  EXPECT_EQ(browser->GetItemPath(&none, small, sizeof small), 0u);
}

uint32_t PathHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t) {
  auto *log = reinterpret_cast<std::vector<std::string> *>(data);
  if (msg != GN_DIR_SELECTED && msg != GN_DIR_DESELECTED) return 0;
  char path[SYS_MAX_PATH];
  static_cast<c_GUIB_DirBrowser *>(w)->GetItemPath(reinterpret_cast<TreeNotice *>(a), path);
  log->push_back((msg == GN_DIR_SELECTED ? "sel " : "desel ") + std::string(path));
  return 1;
}

TEST_F(DirBrowserTest, SelectionReachesTheHandlersWithItsPath) {
  MakeTree();
  std::vector<std::string> log;
  browser->AddHandler(PathHandler, reinterpret_cast<uintptr_t>(&log));
  browser->FillDrives(0x3B, DBF_FOLDERS);
  const uint32_t row_g = Find(tree->RootList(), "G:");
  // Rows are 13 pixels from y 4; root texts start at x 22, icons centre at 13.
  Click(13, 4 + 13 * int32_t(row_g) + 6);      // expand G:
  Click(24, 4 + 13 * int32_t(row_g) + 6);      // select G:
  Click(42, 4 + 13 * int32_t(row_g + 1) + 6);  // select Alpha
  const std::vector<std::string> expect = {"sel G:", "desel G:", "sel G:\\Alpha"};
  EXPECT_EQ(log, expect);
}

TEST_F(DirBrowserTest, PathsBeyondTheSystemLengthAreUnreadable) {
  ASSERT_TRUE(SYS_SetDrive('G', SYS_DRIVE_FIXED, uint64_t(1) << 30));
  // Five levels of 60-character names: G:\n1 ... \n5 is 307 characters. The
  // host creates them; the Windows side could not.
  char host[4096];
  ASSERT_GT(SYS_MapPath("G:\\", host, sizeof host), 0u);
  std::filesystem::path p(host);
  for (char c : std::string("abcde")) p /= std::string(60, c);
  std::filesystem::create_directories(p);
  std::filesystem::create_directories(p / "f");

  ItemList *list = DriveG(DBF_FOLDERS);
  for (char c : std::string("abc")) {
    ASSERT_EQ(ListCount(list), 1u) << c;
    EXPECT_EQ(ListItem(list, 0)->flags, uint32_t(IF_EXPANDABLE)) << c;
    list = Open(list, std::string(60, c));
  }
  // d (path 246) is listed; its child e cannot be searched (the pattern would
  // pass 260): a leaf.
  ASSERT_EQ(ListCount(list), 1u);
  list = Open(list, std::string(60, 'd'));
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
