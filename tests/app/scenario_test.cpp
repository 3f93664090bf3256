// The whole program natively: a disc folder with setup.cbf and disk01.cbf,
// the wizard driven through the desktop's input path, and the results read
// from the emulated machine (installed files, registry, the machine's log).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/script.h"
#include "archive_builder.h"
#include "installer/pages.h"
#include "installer/state.h"
#include "installer/system.h"
#include "installer/texts.h"
#include "installer/wizard.h"
#include "platform/machine.h"
#include "run_app.h"
#include "support/scratch.h"
#include "support/shortcut.h"

namespace {

const char kInstallDir[] = "C:\\Program Files\\Ashgrove MP demo";
const char kDesktopLink[] =
    "C:\\Documents and Settings\\User\\Desktop\\Ashgrove Multiplayer demo.lnk";
const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ashgrove Multiplayer demo";

std::string Pattern(size_t size, uint32_t seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    s[i] = char(seed >> 16);
  }
  return s;
}

// A host file's bytes; "" when it cannot be read.
std::string HostFile(const std::string &path) {
  std::string text;
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// A text value of a registry key; "" when the key or value is missing.
std::string RegText(const char *key_path, const char *name) {
  char buffer[SYS_MAX_PATH] = "";
  uint32_t size = sizeof buffer;
  SYS_RegKey key = SYS_RegOpenKey(key_path);
  if (!key) return "";
  const uint32_t result = SYS_RegQueryValue(key, name, buffer, &size);
  SYS_RegCloseKey(key);
  return result == 0 ? buffer : "";
}

// The volume's files as the archive stores them and where they land.
struct VolumeFile {
  std::string store, installed, content;
};

class ScenarioTest : public ScratchTest {
 protected:
  void SetUp() override {
    volume_ = {{"DISK01\\ASHGROVE.EXE", "ashgrove.exe", "stand-in game"},
               {"DISK01\\DATA\\MAPS\\MAP1.DAT", "data\\maps\\map1.dat", Pattern(200000, 1)},
               {"DISK01\\DATA\\README.TXT", "data\\readme.txt", "read me"}};
    ASSERT_TRUE(machine.WriteFile(Disc("setup.exe"), "the installer's own bytes"));
    WriteSetupArchive(true, false);
    WriteVolume();
    machine.DeleteKeyOnExit("SOFTWARE\\Halvorin");
    machine.DeleteKeyOnExit(kUninstallKey);
    // What any machine has already.
    ASSERT_TRUE(machine.MakeDirs("C:\\Program Files"));
    SYS_RegKey uninstall =
        SYS_RegCreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    ASSERT_NE(uninstall, 0u);
    SYS_RegCloseKey(uninstall);
    line_ = "\"" + Disc("setup.exe") + "\"";
    SYS_SetCommandLine(line_.c_str());
    log_start_ = MachineLog().size();
  }
  void TearDown() override { SYS_SetCommandLine(nullptr); }

  std::string Disc(const std::string &name = "") const { return disc_ + name; }

  // Puts the disc (installer, its archive and the volume) in another folder
  // and starts the installer from there.
  void MoveDisc(const std::string &folder) {
    disc_ = folder;
    ASSERT_TRUE(machine.WriteFile(Disc("setup.exe"), "the installer's own bytes"));
    WriteSetupArchive(true, false);
    WriteVolume();
    line_ = "\"" + Disc("setup.exe") + "\"";
    SYS_SetCommandLine(line_.c_str());
  }

  void WriteSetupArchive(bool license, bool gamespy) {
    std::vector<TestEntry> entries;
    if (license) entries.push_back({"la.txt", "Licence of the test disc.\nUse it kindly.\n"});
    if (gamespy) entries.push_back({"Programs\\GameSpy.exe", "online-play set-up"});
    ASSERT_TRUE(machine.WriteFile(Disc("setup.cbf"), BuildArchive(entries)));
  }
  void WriteVolume() {
    std::vector<TestEntry> entries;
    for (const VolumeFile &f : volume_) entries.push_back({f.store, f.content});
    ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"), BuildArchive(entries)));
  }

  // Runs the program with body in place of the main loop.
  int Run(const std::function<void()> &body) { return RunAppWith(body); }

  static std::string MachineLog() { return HostFile(std::string(SYS_GetMachineRoot()) + "/log"); }
  std::string NewLogLines() const { return MachineLog().substr(log_start_); }

  std::vector<VolumeFile> volume_;
  std::string disc_ = machine.Path("disc\\");
  std::string line_;
  size_t log_start_ = 0;
};

// A widget's top-left corner in desktop pixels.
GUI_Point Origin(c_GUIB_Widget *w) {
  GUI_Point o = {0, 0};
  for (c_GUIB_Widget *p = w; p && p != InstallerDesktop; p = p->ParentPtr()) {
    int32_t x, y;
    p->GetPosition(&x, &y);
    o.x += x;
    o.y += y;
  }
  return o;
}

// Clicks a desktop pixel and runs one pass.
void ClickAt(int32_t x, int32_t y) {
  InstallerDesktop->InputMouse(GM_MOUSE_MOVE, x, y);
  InstallerDesktop->InputMouse(GM_LBUTTON_DOWN, x, y);
  InstallerDesktop->InputMouse(GM_LBUTTON_UP, x, y);
  AppLoopPass();
}

// Clicks the middle of a widget.
void Click(c_GUIB_Widget *w) {
  ASSERT_NE(w, nullptr);
  int32_t width = 0, height = 0;
  w->GetSize(&width, &height);
  const GUI_Point o = Origin(w);
  ClickAt(o.x + width / 2, o.y + height / 2);
}

// Runs the program until page n is shown (at most ms milliseconds).
bool ReachPage(uint32_t n, uint32_t ms = 10000) {
  const uint32_t start = SYS_GetTickCount();
  while (INST_CurrentPage() != n && SYS_GetTickCount() - start < ms && AppLoopPass())
    InstallerDesktop->WaitForWork();
  return INST_CurrentPage() == n;
}

// Next, and the page it should lead to.
void Next(uint32_t expected) {
  Click(INST_NextButton());
  ASSERT_TRUE(ReachPage(expected)) << "expected page " << expected << ", on " << INST_CurrentPage();
}
void Previous(uint32_t expected) {
  Click(INST_PreviousButton());
  ASSERT_EQ(INST_CurrentPage(), expected);
}

std::string LabelText(c_GUIB_Widget *w) {
  std::string s;
  for (const uint16_t *t = w ? w->GetText() : nullptr; t && *t; ++t) s += char(*t);
  return s;
}

// The detail line of the error page.
std::string ErrorDetail() {
  c_INST_ItemPage *page = static_cast<c_INST_ItemPage *>(INST_Page(11));
  return page ? LabelText(page->ItemWidget(1)) : "(no error page)";
}

// Every file and folder of the machine's drives and its registry, with
// their contents, except what lies below the install folder or the
// temporary folder: what an install may not touch.
std::map<std::string, std::string> Outside() {
  namespace fs = std::filesystem;
  const std::string root = SYS_GetMachineRoot();
  char install[SYS_MAX_PATH], temp[SYS_MAX_PATH];
  EXPECT_NE(SYS_MapPath(kInstallDir, install, sizeof install), 0u);
  EXPECT_NE(SYS_MapPath("C:\\WINDOWS\\TEMP", temp, sizeof temp), 0u);
  auto below = [](const std::string &path, const std::string &folder) {
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
  };
  std::map<std::string, std::string> seen;
  seen["registry"] = HostFile(root + "/registry");
  for (const fs::directory_entry &e : fs::recursive_directory_iterator(root)) {
    const std::string path = e.path().string();
    if (path.compare(root.size(), 7, "/drive_") != 0 || below(path, install) || below(path, temp))
      continue;
    seen[path.substr(root.size())] = e.is_regular_file() ? HostFile(path) : "(folder)";
  }
  return seen;
}

// What differs between two Outside() snapshots, one name a line.
std::string Changes(const std::map<std::string, std::string> &before,
                    const std::map<std::string, std::string> &after) {
  std::string changes;
  for (const auto &b : before) {
    auto a = after.find(b.first);
    if (a == after.end())
      changes += "lost " + b.first + "\n";
    else if (a->second != b.second)
      changes += "changed " + b.first + "\n";
  }
  for (const auto &a : after)
    if (!before.count(a.first)) changes += "new " + a.first + "\n";
  return changes;
}

// From the menu to the finish page without the online add-on.
void InstallWithoutTheAddOn() {
  ASSERT_EQ(INST_CurrentPage(), 0u);
  Click(INST_MenuButton(1));
  for (uint32_t page : {2u, 3u, 4u, 6u}) Next(page);
  c_INST_ItemPage *online = static_cast<c_INST_ItemPage *>(INST_Page(6));
  Click(online->ItemWidget(4));  // untick the online add-on
  EXPECT_EQ(Installer.online_addon, 0u);
  Next(7);
  Next(8);
  Click(INST_NextButton());
  ASSERT_TRUE(ReachPage(10));
  EXPECT_EQ(LabelText(INST_NextButton()), "Ok");
  Next(13);
}

// From the installed menu: Uninstall, the box ticked, and the end page.
void UninstallWithItsFiles() {
  ASSERT_EQ(INST_CurrentPage(), 14u);
  Click(INST_MenuButton(2));
  ASSERT_EQ(INST_CurrentPage(), 15u);
  Click(static_cast<c_INST_ItemPage *>(INST_Page(15))->ItemWidget(1));
  Next(17);
}

// From the menu to the ready page, with the DirectX page when it is missing.
void ToReadyPage() {
  ASSERT_EQ(INST_CurrentPage(), 0u);
  Click(INST_MenuButton(1));
  ASSERT_EQ(INST_CurrentPage(), 1u);
  for (uint32_t page : {2u, 3u, 4u, 6u}) Next(page);
  Next(Installer.directx_missing ? 7 : 8);
  if (INST_CurrentPage() == 7) Next(8);
}

TEST_F(ScenarioTest, FullInstallCopiesTheVolumeAndRegistersTheDemo) {
  WriteSetupArchive(true, true);
  std::string address, online;
  EXPECT_EQ(Run([&] {
              address = std::string("open\t") + INST_GetText(304) + "\n";
              online = INST_GetText(409);
              ToReadyPage();
              // The install section is shown in progress; the others are not.
              EXPECT_EQ(INST_MenuButton(1)->GetTextColor(6), 0xFFF8F090u);
              EXPECT_EQ(INST_MenuButton(0)->GetTextColor(6), 0xFF5A554Au);
              EXPECT_TRUE(INST_MenuButton(3)->GetFlags() & WF_DISABLED);
              // The DirectX page's link opens its address once per click.
              Previous(7);
              c_INST_ItemPage *directx = static_cast<c_INST_ItemPage *>(INST_Page(7));
              Click(directx->ItemWidget(2));
              Next(8);
              Click(INST_NextButton());
              ASSERT_TRUE(ReachPage(10));
              // The online add-on was ticked: its list and "Next".
              EXPECT_EQ(LabelText(INST_NextButton()), "Next");
              Next(13);
              // Installed now: Play enabled, Install disabled.
              EXPECT_FALSE(INST_MenuButton(0)->GetFlags() & WF_DISABLED);
              EXPECT_TRUE(INST_MenuButton(1)->GetFlags() & WF_DISABLED);
              Click(INST_MenuButton(4));  // Quit
              EXPECT_FALSE(AppLoopPass());
            }),
            0);
  // Every file of the volume as the archive tool extracts it.
  namespace fs = std::filesystem;
  char archive[SYS_MAX_PATH];
  ASSERT_NE(SYS_MapPath(Disc("disk01.cbf").c_str(), archive, sizeof archive), 0u);
  const fs::path extracted = fs::path(SYS_GetMachineRoot()) / "extracted";
  ASSERT_EQ(std::system(("'" CBF_PATH "' extract '" + std::string(archive) + "' '" +
                         extracted.string() + "' >/dev/null")
                            .c_str()),
            0);
  size_t compared = 0;
  for (const fs::directory_entry &e : fs::recursive_directory_iterator(extracted / "DISK01")) {
    if (!e.is_regular_file()) continue;
    std::string name = e.path().lexically_relative(extracted / "DISK01").string(), copy;
    for (char &c : name) c = c == '/' ? '\\' : c;
    ASSERT_TRUE(machine.ReadFile(std::string(kInstallDir) + "\\" + name, &copy)) << name;
    EXPECT_TRUE(copy == HostFile(e.path().string())) << name;
    ++compared;
  }
  EXPECT_EQ(compared, volume_.size());
  std::string uninstaller;
  const std::string uninstall_path = std::string(kInstallDir) + "\\Uninstall.exe";
  ASSERT_TRUE(machine.ReadFile(uninstall_path, &uninstaller));
  EXPECT_EQ(uninstaller, "the installer's own bytes");
  EXPECT_EQ(RegText(kUninstallKey, "UninstallString"), uninstall_path);
  EXPECT_EQ(RegText("SOFTWARE\\Halvorin\\Ashgrove Demo", "InstallDir"), kInstallDir);

  // The four shortcuts: the game on the desktop and in the group, the
  // uninstaller and the online-play address in the group.
  const std::string game = std::string(kInstallDir) + "\\ashgrove.exe";
  const std::string group =
      "C:\\Documents and Settings\\User\\Start Menu\\Programs\\Ashgrove MP demo\\";
  const struct {
    std::string link, target, icon;
  } links[] = {
      {kDesktopLink, game, game},
      {group + "Ashgrove Multiplayer demo.lnk", game, game},
      {group + "Uninstall Ashgrove Multiplayer demo.lnk", uninstall_path, ""},
      {group + "Play Ashgrove Multiplayer demo Online With GameSpy Arcade.lnk", online,
       std::string(kInstallDir) + "\\gamespy.ico"},
  };
  for (const auto &l : links) {
    ShortcutFields f;
    ASSERT_TRUE(ReadShortcut(l.link.c_str(), &f)) << l.link;
    EXPECT_EQ(f.target, l.target) << l.link;
    EXPECT_EQ(f.working_dir, kInstallDir) << l.link;
    if (!l.icon.empty()) {
      EXPECT_EQ(f.icon_file, l.icon) << l.link;
    }
  }
  const std::string lines = NewLogLines();
  EXPECT_NE(lines.find(address), std::string::npos) << lines;
  EXPECT_EQ(lines.find(address), lines.rfind(address)) << lines;
  // The add-on was started out of the temporary folder.
  EXPECT_NE(NewLogLines().find("start\tC:\\WINDOWS\\TEMP\\GameSpy.exe"), std::string::npos)
      << NewLogLines();
}

TEST_F(ScenarioTest, DirectXPresentSkipsItsPageBothWays) {
  ASSERT_TRUE(machine.WriteFile("C:\\WINDOWS\\SYSTEM32\\dpnhpast.dll", "library"));
  EXPECT_EQ(Run([&] {
              ToReadyPage();
              EXPECT_EQ(Installer.directx_missing, 0u);
              Previous(6);
              Next(8);
              EXPECT_EQ(INST_Page(7), nullptr);
            }),
            0);
}

// A folder picked in the tree that leaves no room for the product's folder
// name: the page says so and keeps the path it had, never a cut one.
TEST_F(ScenarioTest, FolderTooDeepForTheProductNameIsRefusedWithAMessage) {
  const std::string deep = "C:\\0" + std::string(240, 'x');  // + "\\Ashgrove MP demo" > 259
  ASSERT_TRUE(machine.MakeDirs(deep));
  EXPECT_EQ(Run([&] {
              Click(INST_MenuButton(1));
              for (uint32_t page : {2u, 3u}) Next(page);
              c_INST_FolderPage *folder = static_cast<c_INST_FolderPage *>(INST_Page(3));
              c_GUIB_TreeView *tree = folder->Browser()->Tree();
              const GUI_Point at = Origin(tree);
              const int32_t row = tree->RowHeight(), indent = tree->Indent();
              ClickAt(at.x + 4 + indent / 2, at.y + 4 + row / 2);            // expands C:
              ClickAt(at.x + 4 + 2 * indent + 3, at.y + 4 + row + row / 2);  // its first folder
              char path[SYS_MAX_PATH];
              folder->GetPath(path);
              EXPECT_STREQ(path, kInstallDir);
              EXPECT_EQ(LabelText(folder->PathLabel()), "Path too long: " + deep);
            }),
            0);
}

TEST_F(ScenarioTest, PreviousLeadsBackAndTheFolderPageKeepsItsPath) {
  EXPECT_EQ(Run([&] {
              ToReadyPage();
              ASSERT_EQ(INST_CurrentPage(), 8u);
              // Back from the ready page through the DirectX page to page 1.
              for (uint32_t page : {7u, 6u, 4u, 3u}) Previous(page);
              c_INST_FolderPage *folder = static_cast<c_INST_FolderPage *>(INST_Page(3));
              char path[SYS_MAX_PATH];
              folder->GetPath(path);
              EXPECT_STREQ(path, kInstallDir);
              // A drive root picked in the tree: one backslash before the name.
              c_GUIB_TreeView *tree = folder->Browser()->Tree();
              ASSERT_GT(ListCount(tree->RootList()), 0u);
              const GUI_Point at = Origin(tree);
              ClickAt(at.x + 4 + tree->Indent() + 3, at.y + 4 + tree->RowHeight() / 2);
              folder->GetPath(path);
              EXPECT_STREQ(path, "C:\\Ashgrove MP demo");
              Next(4);
              EXPECT_STREQ(InstallDir, "C:\\Ashgrove MP demo");
              EXPECT_STREQ(GamePath, "C:\\Ashgrove MP demo\\ashgrove.exe");
              Previous(3);
              folder->GetPath(path);
              EXPECT_STREQ(path, "C:\\Ashgrove MP demo");
              Previous(2);
              Previous(1);
              EXPECT_FALSE(INST_PreviousButton()->GetFlags() & WF_VISIBLE);
              // The wide page hides the picture frame; the others show it.
              for (uint32_t page : {2u, 3u, 4u, 6u}) Next(page);
              EXPECT_FALSE(INST_PictureFrame()->GetFlags() & WF_VISIBLE);
              Previous(4);
              EXPECT_TRUE(INST_PictureFrame()->GetFlags() & WF_VISIBLE);
              // Past the last page: the current one goes, nothing comes.
              INST_ShowPage(18);
              EXPECT_FALSE(INST_Page(4)->GetFlags() & WF_VISIBLE);
            }),
            0);
}

TEST_F(ScenarioTest, CancelDuringTheCopyTakesEverythingBack) {
  volume_.push_back({"DISK01\\DATA\\BIG.DAT", "data\\big.dat", Pattern(24 << 20, 2)});
  WriteVolume();
  EXPECT_EQ(Run([&] {
              ToReadyPage();
              Click(INST_NextButton());
              ASSERT_EQ(INST_CurrentPage(), 9u);
              Next(12);  // Cancel
              EXPECT_EQ(INST_Page(9), nullptr);
              Next(0);  // Ok
              EXPECT_FALSE(INST_MenuButton(1)->GetFlags() & WF_DISABLED);
            }),
            0);
  EXPECT_EQ(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID);
  SYS_RegKey key = SYS_RegOpenKey(kUninstallKey);
  EXPECT_EQ(key, 0u);
  if (key) SYS_RegCloseKey(key);
}

// The window closed while the worker copies: the page that owns the
// worker's progress fields must outlive the worker.
TEST_F(ScenarioTest, ClosingTheWindowDuringTheCopyStopsTheWorkerFirst) {
  volume_.push_back({"DISK01\\DATA\\BIG.DAT", "data\\big.dat", Pattern(24 << 20, 3)});
  WriteVolume();
  EXPECT_EQ(Run([&] {
              ToReadyPage();
              Click(INST_NextButton());
              ASSERT_EQ(INST_CurrentPage(), 9u);
              InstallerDesktop->InputClose();
              EXPECT_FALSE(AppLoopPass());
            }),
            0);
  EXPECT_EQ(InstallWorkerThread, 0u);
  // Stopped, not run to its end: the uninstaller comes last in the list.
  EXPECT_EQ(SYS_GetFileAttributes((std::string(kInstallDir) + "\\Uninstall.exe").c_str()),
            SYS_ATTR_INVALID);
}

TEST_F(ScenarioTest, CopyFailureShowsWhatFailedOnTheErrorPage) {
  // A file where the install needs the folder "data".
  ASSERT_TRUE(machine.WriteFile(std::string(kInstallDir) + "\\data", "in the way"));
  EXPECT_EQ(Run([&] {
              ToReadyPage();
              Click(INST_NextButton());
              ASSERT_TRUE(ReachPage(11));
              c_INST_ItemPage *page = static_cast<c_INST_ItemPage *>(INST_Page(11));
              const std::string detail = LabelText(page->ItemWidget(1));
              EXPECT_NE(detail.find("data\\"), std::string::npos) << detail;
              EXPECT_FALSE(INST_NextButton()->GetFlags() & WF_VISIBLE);
              EXPECT_FALSE(INST_PreviousButton()->GetFlags() & WF_VISIBLE);
            }),
            0);
}

// A volume that is not there, or there but cut short: the progress page
// says which and where, and Cancel leads home.
TEST_F(ScenarioTest, MissingOrTruncatedVolumeSaysWhatIsWrongAndCancelLeadsHome) {
  std::string archive;
  ASSERT_TRUE(machine.ReadFile(Disc("disk01.cbf"), &archive));
  const struct {
    bool present;
    std::string says;
  } cases[] = {
      {false, "Cannot find disk01.cbf in " + Disc()},
      {true, "Cannot read disk01.cbf in " + Disc() + ": the archive is damaged or incomplete"},
  };
  for (const auto &c : cases) {
    SYS_FileDelete(Disc("disk01.cbf").c_str());
    if (c.present) {
      ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"), archive.substr(0, 5000)));
    }
    const auto before = Outside();
    EXPECT_EQ(Run([&] {
                ToReadyPage();
                Next(9);
                for (int i = 0; i < 5; ++i) AppLoopPass();
                c_INST_ProgressPage *page = static_cast<c_INST_ProgressPage *>(INST_Page(9));
                EXPECT_EQ(LabelText(page->FileLabel()), c.says);
                EXPECT_EQ(page->TotalBar()->GetValue(), 0);
                Next(12);
                Next(0);
              }),
              0);
    EXPECT_EQ(Changes(before, Outside()), "") << c.says;
    EXPECT_EQ(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID);
  }
}

// Volumes that must install nothing at all: names that leave the install
// folder, and a name too long for a path below it. The error page says
// why; Quit ends the program; the machine is as it was.
TEST_F(ScenarioTest, RefusedNamesShowTheErrorPageBeforeAnyWrite) {
  const std::string long_name(220, 'L');
  const struct {
    std::string store, says;
  } cases[] = {
      {"DISK01\\..\\EVIL.TXT", "Unsafe file name in the archive: ..\\evil.txt"},
      {"DISK01\\DATA\\..\\..\\EVIL.TXT", "Unsafe file name in the archive: data\\..\\..\\evil.txt"},
      {"DISK01\\C:EVIL.TXT", "Unsafe file name in the archive: c:evil.txt"},
      {"DISK01\\\\WINDOWS\\EVIL.TXT", "Unsafe file name in the archive: \\windows\\evil.txt"},
      {"DISK01\\DATA\\" + long_name + ".DAT",
       "Path too long: data\\" + std::string(220, 'l') + ".dat"},
  };
  const std::vector<VolumeFile> good = volume_;
  for (const auto &c : cases) {
    volume_ = good;
    volume_.push_back({c.store, "", "bad"});
    WriteVolume();
    const auto before = Outside();
    bool ended = false;
    EXPECT_EQ(Run([&] {
                ToReadyPage();
                Click(INST_NextButton());
                ASSERT_TRUE(ReachPage(11));
                EXPECT_EQ(ErrorDetail(), c.says);
                Click(INST_MenuButton(4));  // Quit
                ended = !AppLoopPass();
              }),
              0);
    EXPECT_TRUE(ended) << c.store;
    EXPECT_EQ(Changes(before, Outside()), "") << c.store;
    EXPECT_EQ(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID) << c.store;
  }
}

// Drive C: runs out of room during the copy: the error page names the file
// and the cause, Quit works, and nothing outside the install folder changed.
TEST_F(ScenarioTest, DiskFullNamesTheFileAndTheCause) {
  ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, 150000));  // map1.dat needs 200000
  const auto before = Outside();
  bool ended = false;
  EXPECT_EQ(Run([&] {
              ToReadyPage();
              Click(INST_NextButton());
              ASSERT_TRUE(ReachPage(11));
              EXPECT_EQ(ErrorDetail(), "Disk full, cannot write: " + std::string(kInstallDir) +
                                           "\\data\\maps\\map1.dat");
              Click(INST_MenuButton(4));  // Quit
              ended = !AppLoopPass();
            }),
            0);
  EXPECT_TRUE(ended);
  EXPECT_EQ(Changes(before, Outside()), "");
  std::string copy;
  ASSERT_TRUE(machine.ReadFile(std::string(kInstallDir) + "\\ashgrove.exe", &copy));
  EXPECT_EQ(copy, "stand-in game");
}

// The user's answers to the "Disk error" boxes that name the map, in turn
// (Cancel once they run out, and to the boxes for the disc's missing
// pictures and fonts), and what every box said.
std::vector<uint32_t> g_answers;
std::vector<std::string> g_boxes;
size_t g_map_boxes = 0;  // boxes that named the map
std::function<void()> g_before_answer;
uint32_t AnswerDiskError(const char *text, const char *caption, uint32_t) {
  EXPECT_STREQ(caption, "Disk error");
  g_boxes.push_back(text);
  if (std::string(text).find("map1.dat") == std::string::npos) return SYS_ID_CANCEL;
  if (g_before_answer) g_before_answer();
  return g_map_boxes < g_answers.size() ? g_answers[g_map_boxes++] : SYS_ID_CANCEL;
}

// A volume whose packed map is spoiled halfway (same size): the worker's
// read fails and the store asks; OK reads again (the box comes back while
// the damage stays, the copy goes on once it is mended), Cancel leads to
// the error page naming the file.
TEST_F(ScenarioTest, DamagedVolumeAsksAgainUntilMendedOrCancelled) {
  const VolumeFile &map = volume_[1];
  const std::string source = "DISK01\\" + map.installed;  // the store's name of it
  std::vector<TestEntry> entries;
  for (const VolumeFile &f : volume_) entries.push_back({f.store, f.content});
  entries[1].method = 1;
  entries[1].blocks.assign(80, 2500);  // literal-only blocks must stay short
  const std::string archive = BuildArchive(entries);
  const size_t second = archive.find(LiteralStream(map.content.substr(100000, 2500)));
  ASSERT_NE(second, std::string::npos);
  std::string damaged = archive;
  for (size_t i = second + 100; i < second + 164; ++i) damaged[i] = char(0xFF);
  char host[SYS_MAX_PATH];
  ASSERT_NE(SYS_MapPath(Disc("disk01.cbf").c_str(), host, sizeof host), 0u);
  // Puts the archive's bytes back in place, in the file the store holds open.
  auto mend = [&] {
    FILE *f = std::fopen(host, "r+b");
    ASSERT_NE(f, nullptr);
    std::fseek(f, long(second), SEEK_SET);
    std::fwrite(archive.data() + second, 1, 200, f);
    std::fclose(f);
  };
  const struct {
    bool mend;
    std::vector<uint32_t> answers;
    size_t boxes;
    uint32_t end_page;
  } cases[] = {{false, {SYS_ID_OK}, 2, 11}, {true, {SYS_ID_OK}, 1, 10}};
  SYS_SetMessageBoxAnswerer(AnswerDiskError);
  for (const auto &c : cases) {
    ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"), damaged));
    g_answers = c.answers;
    g_boxes.clear();
    g_map_boxes = 0;
    g_before_answer = c.mend ? std::function<void()>(mend) : nullptr;
    EXPECT_EQ(Run([&] {
                ToReadyPage();
                Click(INST_NextButton());
                ASSERT_TRUE(ReachPage(c.end_page));
                if (c.end_page == 11) {
                  EXPECT_EQ(ErrorDetail(), "Cannot read: " + source);
                }
              }),
              0);
    // The boxes for the map (the disc's missing pictures and fonts have their own).
    size_t boxes = 0;
    for (const std::string &text : g_boxes) boxes += text.find(source) != std::string::npos;
    EXPECT_EQ(boxes, c.boxes);
    std::string copy;
    EXPECT_EQ(machine.ReadFile(std::string(kInstallDir) + "\\" + map.installed, &copy) &&
                  copy == map.content,
              c.mend);
  }
  SYS_SetMessageBoxAnswerer(nullptr);
  g_before_answer = nullptr;
}

// Installs over what a killed install left (some files, part of one, no
// uninstall entry), or from a disc in a read-only drive; the files are
// right, and the uninstall then leaves the machine as it was.
TEST_F(ScenarioTest, InstallOverAKilledInstallThenUninstallLeavesNothing) {
  const auto before = Outside();
  ASSERT_TRUE(machine.WriteFile(std::string(kInstallDir) + "\\ashgrove.exe", "stand-in game"));
  ASSERT_TRUE(machine.WriteFile(std::string(kInstallDir) + "\\data\\maps\\map1.dat",
                                volume_[1].content.substr(0, 70000)));
  EXPECT_EQ(Run(InstallWithoutTheAddOn), 0);
  for (const VolumeFile &f : volume_) {
    std::string copy;
    EXPECT_TRUE(machine.ReadFile(std::string(kInstallDir) + "\\" + f.installed, &copy));
    EXPECT_TRUE(copy == f.content) << f.installed;
  }
  EXPECT_EQ(RegText(kUninstallKey, "UninstallString"),
            std::string(kInstallDir) + "\\Uninstall.exe");
  EXPECT_EQ(Run(UninstallWithItsFiles), 0);
  EXPECT_TRUE(SYS_RunPendingMoves());
  EXPECT_EQ(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID);
  EXPECT_EQ(Changes(before, Outside()), "");
}

TEST_F(ScenarioTest, DiscInAReadOnlyDriveInstallsAndUninstalls) {
  ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST));
  MoveDisc("D:\\");
  ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_CDROM, 0));
  EXPECT_EQ(SYS_FileCreate("D:\\beside.txt"), 0u);  // the drive takes no writes
  const auto before = Outside();
  EXPECT_EQ(Run(InstallWithoutTheAddOn), 0);
  std::string uninstaller;
  EXPECT_TRUE(machine.ReadFile(std::string(kInstallDir) + "\\Uninstall.exe", &uninstaller));
  EXPECT_EQ(uninstaller, "the installer's own bytes");
  EXPECT_EQ(Run(UninstallWithItsFiles), 0);
  {
    FILE *f1 = fopen("/tmp/hreg1", "wb");
    fwrite(before.at("registry").data(), 1, before.at("registry").size(), f1);
    fclose(f1);
    std::string a = Outside().at("registry");
    FILE *f2 = fopen("/tmp/hreg2", "wb");
    fwrite(a.data(), 1, a.size(), f2);
    fclose(f2);
  }
  EXPECT_TRUE(SYS_RunPendingMoves());
  EXPECT_EQ(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID);
  EXPECT_EQ(Changes(before, Outside()), "");
}

TEST_F(ScenarioTest, UninstallAsksFirstThenRemovesTheDemo) {
  // Install without the add-on: the finish page ends with "Ok".
  EXPECT_EQ(Run(InstallWithoutTheAddOn), 0);
  EXPECT_EQ(NewLogLines().find("start\t"), std::string::npos) << NewLogLines();
  ASSERT_NE(SYS_GetFileAttributes(kInstallDir), SYS_ATTR_INVALID);

  // Started again: the installed menu, with Uninstall instead of Install.
  EXPECT_EQ(Run([&] {
              ASSERT_EQ(INST_CurrentPage(), 14u);
              EXPECT_EQ(INST_MenuButton(1), nullptr);
              Click(INST_MenuButton(2));
              ASSERT_EQ(INST_CurrentPage(), 15u);
              Next(14);  // box not ticked: nothing removed
              ShortcutFields link;
              EXPECT_TRUE(ReadShortcut(kDesktopLink, &link));
              EXPECT_FALSE(INST_MenuButton(2)->GetFlags() & WF_DISABLED);
              Click(INST_MenuButton(2));
              c_INST_ItemPage *ask = static_cast<c_INST_ItemPage *>(INST_Page(15));
              EXPECT_EQ(static_cast<c_GUIB_CheckBox *>(ask->ItemWidget(1))->GetCheck(), 0u);
              Click(ask->ItemWidget(1));
              Next(17);
              EXPECT_TRUE(INST_MenuButton(0)->GetFlags() & WF_DISABLED);
              EXPECT_TRUE(INST_MenuButton(2)->GetFlags() & WF_DISABLED);
              EXPECT_FALSE(INST_MenuButton(3)->GetFlags() & WF_DISABLED);
            }),
            0);
  ShortcutFields link;
  EXPECT_FALSE(ReadShortcut(kDesktopLink, &link));
  EXPECT_EQ(SYS_GetFileAttributes((std::string(kInstallDir) + "\\ashgrove.exe").c_str()),
            SYS_ATTR_INVALID);
  SYS_RegKey key = SYS_RegOpenKey(kUninstallKey);
  EXPECT_EQ(key, 0u);
  if (key) SYS_RegCloseKey(key);
}

TEST_F(ScenarioTest, PlayAndWebGoThroughTheMachine) {
  ASSERT_TRUE(machine.WriteFile(std::string(kInstallDir) + "\\ashgrove.exe", "game"));
  SYS_RegKey key = SYS_RegCreateKey(kUninstallKey);
  ASSERT_NE(key, 0u);
  const std::string uninstall = std::string(kInstallDir) + "\\Uninstall.exe";
  ASSERT_EQ(SYS_RegSetText(key, "UninstallString", uninstall.c_str()), 0u);
  SYS_RegCloseKey(key);
  bool ended = false;
  EXPECT_EQ(Run([&] {
              ASSERT_EQ(INST_CurrentPage(), 14u);
              Click(INST_MenuButton(3));  // Web
              Click(INST_MenuButton(0));  // Play ends the program
              ended = !AppLoopPass();
            }),
            0);
  EXPECT_TRUE(ended);
  const std::string log = NewLogLines();
  EXPECT_NE(log.find("open\thttp://www.ashgrove-demo.example\n"), std::string::npos) << log;
  EXPECT_NE(log.find("start\t" + std::string(kInstallDir) + "\\ashgrove.exe\t" + kInstallDir),
            std::string::npos)
      << log;
}

// The script player: commands, the program ending first, and failures that
// name their line.
TEST_F(ScenarioTest, ScriptsRunToTheirEndOrNameTheFailingLine) {
  const std::string shots = std::string(SYS_GetMachineRoot()) + "/shots";
  ASSERT_EQ(std::system(("mkdir -p '" + shots + "'").c_str()), 0);
  AppScript ok;
  ok.frames = shots;
  ok.text =
      "# Install (the disc has no fonts: the menu is in the default font)\n"
      "click 50 72\n"
      "page 1 3000\n"
      "shot intro\n"
      "wait 50\n"
      "key 13\n";
  EXPECT_EQ(AppMain(0, AppRunScript, &ok), 0) << ok.error;
  FILE *png = std::fopen((shots + "/intro.png").c_str(), "rb");
  EXPECT_NE(png, nullptr);
  if (png) std::fclose(png);

  struct Case {
    const char *script;
    const char *error;
  } cases[] = {
      {"\nwait 10\npage 3 100\n", "line 3: page 3 100: page 0 is shown"},
      {"move 1\n", "line 1: move 1: expected X Y"},
      {"jump 1 2\n", "line 1: jump 1 2: unknown command"},
      {"shot ../x\n", "line 1: shot ../x: expected a plain name"},
  };
  for (const Case &c : cases) {
    AppScript bad;
    bad.text = c.script;
    bad.frames = shots;
    EXPECT_EQ(AppMain(0, AppRunScript, &bad), 1) << c.script;
    EXPECT_EQ(bad.error, c.error);
  }
  // A shot never lands outside the frame folder.
  EXPECT_EQ(std::fopen((std::string(SYS_GetMachineRoot()) + "/x.png").c_str(), "rb"), nullptr);
  // Quit ends the program: the lines after it are skipped.
  AppScript quit;
  quit.text = "click 45 264\njump\n";
  EXPECT_EQ(AppMain(0, AppRunScript, &quit), 0) << quit.error;
}

}  // namespace

// The native driver as a program: its exit code and the failing line.
TEST_F(ScenarioTest, DriverExitsWithOneAndNamesTheLine) {
  const std::string root = SYS_GetMachineRoot();
  const std::string script = root + "/script.txt", err = root + "/stderr.txt";
  FILE *f = std::fopen(script.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("# two lines\nwait 20\nfrobnicate\n", f);
  std::fclose(f);
  auto run = [&](const std::string &args) {
    const std::string cmd = "SETUP_MACHINE_ROOT='" + root + "' '" SETUP_PATH "' '" + line_ + "' " +
                            args + " 2>'" + err + "'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run("--script '" + script + "'"), 1);
  std::string message;
  FILE *e = std::fopen(err.c_str(), "rb");
  ASSERT_NE(e, nullptr);
  char buffer[512];
  message.assign(buffer, std::fread(buffer, 1, sizeof buffer, e));
  std::fclose(e);
  EXPECT_NE(message.find("line 3: frobnicate: unknown command"), std::string::npos) << message;

  f = std::fopen(script.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("wait 20\n", f);
  std::fclose(f);
  EXPECT_EQ(run("--script '" + script + "'"), 0);
}
