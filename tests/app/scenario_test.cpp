// The whole program natively: a disc folder with setup.cbf and disk01.cbf,
// the wizard driven through the desktop's input path, and the results read
// from the emulated machine (installed files, registry, the machine's log).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "installer/config.h"
#include "installer/pages.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "platform/machine.h"
#include "platform/sha256.h"
#include "run_app.h"
#include "store/hash_list.h"
#include "support/scratch.h"
#include "support/shortcut.h"

namespace fs = std::filesystem;

namespace {

const std::string kInstallDir = "C:\\Program Files\\Ashgrove MP demo";
const char kDesktopLink[] =
    "C:\\Documents and Settings\\User\\Desktop\\Ashgrove Multiplayer demo.lnk";
const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ashgrove Multiplayer demo";

// A host file's bytes; "" when it cannot be read.
std::string HostFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The volume's files as the archive stores them and where they land.
struct VolumeFile {
  std::string store, installed, content;
};

class ScenarioTest : public ScratchTest {
 protected:
  void SetUp() override {
    volume_ = {{"DISK01\\ASHGROVE.EXE", "ashgrove.exe", "stand-in game"},
               {"DISK01\\DATA\\MAPS\\MAP1.DAT", "data\\maps\\map1.dat", RandomBytes(200000, 1)},
               {"DISK01\\DATA\\README.TXT", "data\\readme.txt", "read me"}};
    MoveDisc(machine.Path("disc\\"));
    machine.DeleteKeyOnExit("SOFTWARE\\Halvorin");
    machine.DeleteKeyOnExit(kUninstallKey);
    // What any machine has already.
    ASSERT_TRUE(machine.MakeDirs("C:\\Program Files"));
    SYS_RegCloseKey(SYS_RegCreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    log_start_ = MachineLog().size();
  }
  void TearDown() override { SYS_SetCommandLine(nullptr); }

  std::string Disc(const std::string &name = "") const { return disc_ + name; }
  // A file below the install folder; "<missing>" when it cannot be read.
  std::string Installed(const std::string &relative) const {
    std::string bytes;
    return machine.ReadFile(kInstallDir + "\\" + relative, &bytes) ? bytes : "<missing>";
  }
  void RemoveInstallDir() {
    char host[SYS_MAX_PATH];
    ASSERT_NE(SYS_MapPath(kInstallDir.c_str(), host, sizeof host), 0u);
    fs::remove_all(host);
  }

  // Puts the disc (installer, its archive and the volume) in a folder and
  // starts the installer from there.
  void MoveDisc(const std::string &folder) {
    disc_ = folder;
    ASSERT_TRUE(machine.WriteFile(Disc("setup.exe"), "the installer's own bytes"));
    WriteSetupArchive(false);
    WriteVolume();
    line_ = "\"" + Disc("setup.exe") + "\"";
    SYS_SetCommandLine(line_.c_str());
  }
  void WriteSetupArchive(bool gamespy, const char *language = nullptr) {
    std::vector<TestEntry> entries = {{"la.txt", "Licence of the test disc.\nUse it kindly.\n"}};
    if (gamespy) entries.push_back({"Programs\\GameSpy.exe", "online-play set-up"});
    if (language) entries.push_back({INST_LANGUAGE_ENTRY, language});
    ASSERT_TRUE(machine.WriteFile(Disc("setup.cbf"), BuildArchive(entries)));
  }
  void WriteVolume() {
    std::vector<TestEntry> entries;
    for (const VolumeFile &f : volume_) entries.push_back({f.store, f.content});
    ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"), BuildArchive(entries)));
  }

  static std::string MachineLog() { return MachineFile("log"); }
  std::string NewLogLines() const { return MachineLog().substr(log_start_); }

  std::vector<VolumeFile> volume_;
  std::string disc_, line_;
  size_t log_start_ = 0;
};

void Previous(uint32_t expected) {
  Click(INST_PreviousButton());
  ASSERT_EQ(INST_CurrentPage(), expected);
}

bool Visible(c_GUIB_Widget *w) {
  return w->GetFlags() & WF_VISIBLE;
}
bool Disabled(c_GUIB_Widget *w) {
  return w->GetFlags() & WF_DISABLED;
}

// The detail line of the error page.
std::string ErrorDetail() {
  c_INST_ItemPage *page = static_cast<c_INST_ItemPage *>(INST_Page(11));
  return page ? LabelText(page->ItemWidget(1)) : "(no error page)";
}

// Every file and folder of the machine's drives and its registry, with
// their contents, except what lies below the install folder: what an
// install may not touch. A run leaves nothing in the temporary folder.
std::map<std::string, std::string> Outside() {
  const std::string root = SYS_GetMachineRoot();
  char install[SYS_MAX_PATH];
  EXPECT_NE(SYS_MapPath(kInstallDir.c_str(), install, sizeof install), 0u);
  auto below = [](const std::string &path, const std::string &folder) {
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
  };
  std::map<std::string, std::string> seen;
  seen["registry"] = MachineFile("registry");
  for (const fs::directory_entry &e : fs::recursive_directory_iterator(root)) {
    const std::string path = e.path().string();
    if (path.compare(root.size(), 7, "/drive_") != 0 || below(path, install)) continue;
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

// From the menu to the ready page, with the DirectX page when it is missing.
void ToReadyPage() {
  ASSERT_EQ(INST_CurrentPage(), 0u);
  Click(INST_MenuButton(1));
  ASSERT_EQ(INST_CurrentPage(), 1u);
  for (uint32_t page : {2u, 3u, 4u, 6u}) Next(page);
  Next(Installer.directx_missing ? 7 : 8);
  if (INST_CurrentPage() == 7) Next(8);
}

// From the menu to the finish page without the online add-on.
void InstallWithoutTheAddOn() {
  ASSERT_EQ(INST_CurrentPage(), 0u);
  Click(INST_MenuButton(1));
  for (uint32_t page : {2u, 3u, 4u, 6u}) Next(page);
  Click(static_cast<c_INST_ItemPage *>(INST_Page(6))->ItemWidget(4));  // untick the add-on
  EXPECT_EQ(Installer.online_addon, 0u);
  for (uint32_t page : {7u, 8u, 10u}) Next(page);
  EXPECT_EQ(LabelText(INST_NextButton()), "Ok");
  Next(13);
}

// From the installed menu: Uninstall asks first (unticked, Next removes
// nothing), then with the box ticked removes the demo; the menu comes back
// as it is for a demo not installed.
void UninstallWithItsFiles() {
  ASSERT_EQ(INST_CurrentPage(), 14u);
  EXPECT_EQ(INST_MenuButton(1), nullptr);  // Uninstall in place of Install
  Click(INST_MenuButton(2));
  ASSERT_EQ(INST_CurrentPage(), 15u);
  Next(14);
  ShortcutFields link;
  EXPECT_TRUE(ReadShortcut(kDesktopLink, &link));
  Click(INST_MenuButton(2));
  c_GUIB_Widget *box = static_cast<c_INST_ItemPage *>(INST_Page(15))->ItemWidget(1);
  EXPECT_EQ(static_cast<c_GUIB_CheckBox *>(box)->GetCheck(), 0u);
  Click(box);
  Next(17);  // the uninstalled page, with its word on the restart
  EXPECT_FALSE(ReadShortcut(kDesktopLink, &link));
  EXPECT_TRUE(Disabled(INST_MenuButton(0)));
  EXPECT_TRUE(Disabled(INST_MenuButton(2)));
  EXPECT_FALSE(Disabled(INST_MenuButton(3)));
}

// The pages speak the user's interface language, or the one the disc fixes.
TEST_F(ScenarioTest, PagesSpeakTheUsersLanguageUnlessTheDiscFixesOne) {
  const struct {
    uint16_t user;
    const char *disc;
    const char *quit, *next;
  } cases[] = {
      {0x0C0A, nullptr, "Salir", "Siguiente"},  // Spanish
      {0x0419, nullptr, "Quit", "Next"},        // Russian: English
      {0x0407, "fr\r\n", "Quitter", "Suivant"}, {0x0407, "en", "Quit", "Next"},
      {0x040C, "xx", "Quitter", "Suivant"},  // a code it does not know
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.user) + " " + (c.disc ? c.disc : "-"));
    SYS_SetUILanguage(c.user);
    WriteSetupArchive(false, c.disc);
    EXPECT_EQ(RunAppWith([&] {
                EXPECT_EQ(LabelText(INST_MenuButton(4)), c.quit);
                Click(INST_MenuButton(1));
                EXPECT_EQ(LabelText(INST_NextButton()), c.next);
              }),
              0);
  }
}

TEST_F(ScenarioTest, FullInstallCopiesTheVolumeAndRegistersTheDemo) {
  WriteSetupArchive(true);
  std::string address, online;
  EXPECT_EQ(RunAppWith([&] {
              // Opened by the menu, with the user's rights, though clicked in the
              // elevated part: no elevated mark.
              address = std::string("open\t") + INST_GetText(304) + "\n";
              online = INST_GetText(409);
              ToReadyPage();
              EXPECT_TRUE(Disabled(INST_MenuButton(3)));
              // The DirectX page's link opens its address once per click.
              Previous(7);
              Click(static_cast<c_INST_ItemPage *>(INST_Page(7))->ItemWidget(2));
              Next(8);
              Next(10);
              EXPECT_TRUE(SYS_IsElevated());  // the install ran in the elevated part
              // The online add-on was ticked: its list and "Next".
              EXPECT_EQ(LabelText(INST_NextButton()), "Next");
              Next(13);
              EXPECT_FALSE(SYS_IsElevated());
              // Installed now: Play enabled, Install disabled.
              EXPECT_FALSE(Disabled(INST_MenuButton(0)));
              EXPECT_TRUE(Disabled(INST_MenuButton(1)));
              Click(INST_MenuButton(3));  // Web
              Click(INST_MenuButton(0));  // Play ends the program
              EXPECT_FALSE(AppLoopPass());
            }),
            0);
  for (const VolumeFile &f : volume_) EXPECT_TRUE(Installed(f.installed) == f.content);
  const std::string uninstaller = kInstallDir + "\\Uninstall.exe";
  EXPECT_EQ(Installed("Uninstall.exe"), "the installer's own bytes");
  EXPECT_EQ(RegText(kUninstallKey, "UninstallString"), "\"" + uninstaller + "\"");
  EXPECT_EQ(RegText("SOFTWARE\\Halvorin\\Ashgrove Demo", "InstallDir"), kInstallDir);

  // The four shortcuts: the game on the desktop and in the group, the
  // uninstaller and the online-play address in the group.
  const std::string game = kInstallDir + "\\ashgrove.exe";
  const std::string group =
      "C:\\Documents and Settings\\User\\Start Menu\\Programs\\Ashgrove MP demo\\";
  const struct {
    std::string link, target, icon;
  } links[] = {
      {kDesktopLink, game, game},
      {group + "Ashgrove Multiplayer demo.lnk", game, game},
      {group + "Uninstall Ashgrove Multiplayer demo.lnk", uninstaller, uninstaller},
      {group + "Play Ashgrove Multiplayer demo Online With GameSpy Arcade.lnk", online,
       kInstallDir + "\\gamespy.ico"},
  };
  for (const auto &l : links) {
    ShortcutFields f;
    ASSERT_TRUE(ReadShortcut(l.link.c_str(), &f)) << l.link;
    EXPECT_EQ(f.target, l.target) << l.link;
    EXPECT_EQ(f.working_dir, kInstallDir) << l.link;
    EXPECT_EQ(f.icon_file, l.icon) << l.link;
  }
  const std::string lines = NewLogLines();
  EXPECT_NE(lines.find(address), std::string::npos) << lines;
  EXPECT_EQ(lines.find(address), lines.rfind(address)) << lines;
  // In this order: Install asked for administrator rights; the add-on
  // started from the temporary folder by the elevated part, which then
  // ended; the web site and the game opened with the user's own rights.
  const std::string started[] = {"elevate\t" + Disc("setup.exe") + "\t/handover:1,0,0\n",
                                 "start\tC:\\WINDOWS\\TEMP\\" INSTALLER_IDENTITY "-",
                                 "\televated\n",
                                 "return\t21\n",
                                 "open\thttp://www.ashgrove-demo.example\n",
                                 "start\t" + game + "\t" + kInstallDir};
  size_t at = 0;
  for (const std::string &line : started) {
    at = lines.find(line, at);
    ASSERT_NE(at, std::string::npos) << line << "\nnot in order in\n" << lines;
  }
  EXPECT_EQ(lines.find("elevated", lines.find("return\t")), std::string::npos) << lines;
}

// Install and Uninstall without administrator rights ask for them; a refusal
// leaves the menu as it was, without a box, and a process that has them
// runs the pages itself. The hand-over argument counts only while a menu
// offers its pages (given by hand it is ignored, and Install still asks).
TEST_F(ScenarioTest, InstallAsksForAdministratorRightsOnlyWhenItLacksThem) {
  const struct {
    SYS_Elevation elevation;
    const char *argument;
    bool offered;
    uint32_t first, after_install;
    bool asked;
  } cases[] = {
      {SYS_ELEVATION_REFUSED, "", false, 0, 0, true},
      {SYS_ELEVATION_ADMIN, "", false, 0, 1, false},
      {SYS_ELEVATION_ADMIN, " /handover:1,5,5", false, 0, 1, false},
      {SYS_ELEVATION_ASKS, " /handover:1,5,5", false, 0, 1, true},
      {SYS_ELEVATION_ASKS, " /handover:1,5,5", true, 1, 1, false},
      {SYS_ELEVATION_ASKS, " /handover:15,5,5", true, 0, 1, true},  // nothing to uninstall
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.elevation) + c.argument + (c.offered ? " offered" : ""));
    SYS_SetElevation(c.elevation);
    const SYS_Handle offer =
        c.offered ? SYS_OfferHandOver("Local\\Halvorin.AshgroveDemo.Setup.HandOver") : 0;
    const std::string line = line_ + c.argument;
    SYS_SetCommandLine(line.c_str());
    const size_t log_start = MachineLog().size();
    static int boxes;
    boxes = 0;
    SYS_SetMessageBoxAnswerer([](const char *, const char *, uint32_t) {
      ++boxes;
      return uint32_t(SYS_ID_CANCEL);
    });
    EXPECT_EQ(RunAppWith([&] {
                EXPECT_EQ(INST_CurrentPage(), c.first);
                boxes = 0;
                if (c.first == 0) Click(INST_MenuButton(1));
                EXPECT_EQ(INST_CurrentPage(), c.after_install);
                if (c.after_install == 0) {
                  EXPECT_EQ(boxes, 0);  // refused: no box
                }
              }),
              0);
    SYS_SetMessageBoxAnswerer(nullptr);
    if (offer) SYS_CloseHandle(offer);
    EXPECT_EQ(MachineLog().find("elevate\t", log_start) != std::string::npos, c.asked);
  }
}

// A folder picked in the tree that leaves no room for the product's folder
// name: the page says so and keeps the path it had, never a cut one.
TEST_F(ScenarioTest, FolderTooDeepForTheProductNameIsRefusedWithAMessage) {
  // With "\\Ashgrove MP demo" 248 characters: a folder the system cannot make.
  const std::string deep = "C:\\0" + std::string(227, 'x');
  ASSERT_TRUE(machine.MakeDirs(deep));
  EXPECT_EQ(RunAppWith([&] {
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
              EXPECT_EQ(path, kInstallDir);
              EXPECT_EQ(LabelText(folder->PathLabel()), "Path too long: " + deep);
            }),
            0);
}

// The copy stopped halfway, by Cancel or by closing the window: the page
// that owns the worker's progress fields outlives the worker, and nothing
// of the install stays.
TEST_F(ScenarioTest, StoppingTheCopyTakesEverythingBack) {
  volume_.push_back({"DISK01\\DATA\\BIG.DAT", "data\\big.dat", RandomBytes(24 << 20, 2)});
  WriteVolume();
  for (bool close : {false, true}) {
    SCOPED_TRACE(close ? "window closed" : "Cancel");
    EXPECT_EQ(RunAppWith([&] {
                ToReadyPage();
                Click(INST_NextButton());
                ASSERT_EQ(INST_CurrentPage(), 9u);
                if (close) {
                  InstallerDesktop->InputClose();
                  EXPECT_FALSE(AppLoopPass());
                  return;
                }
                Next(12);  // Cancel
                EXPECT_EQ(INST_Page(9), nullptr);
                Next(0);  // Ok
                EXPECT_FALSE(Disabled(INST_MenuButton(1)));
              }),
              0);
    EXPECT_EQ(InstallWorkerThread, 0u);
    // The uninstaller comes last in the list: the worker stopped before.
    EXPECT_EQ(Installed("Uninstall.exe"), "<missing>");
    if (!close) {
      EXPECT_FALSE(Exists(kInstallDir));
    }
    EXPECT_EQ(SYS_RegOpenKey(kUninstallKey), 0u);
  }
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
    EXPECT_EQ(RunAppWith([&] {
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
    EXPECT_FALSE(Exists(kInstallDir));
  }
}

// Installs that fail: names that leave the install folder or are too long
// (refused before any write), a file in the way of a folder.
// The error page says why and offers no way on; Quit ends the program;
// nothing outside the install folder changed.
TEST_F(ScenarioTest, FailedInstallsShowWhyAndTouchNothingOutside) {
  const std::string long_name(220, 'L');
  const std::string refused = "Unsafe file name in the archive: ";
  const struct {
    std::string store, says;  // store: a name added to the volume ("" = none)
    std::function<void()> setup;
  } cases[] = {
      {"DISK01\\DATA\\..\\..\\EVIL.TXT", refused + "data\\..\\..\\evil.txt", nullptr},
      {"DISK01\\DATA\\" + long_name + ".DAT",
       "Path too long: data\\" + std::string(220, 'l') + ".dat", nullptr},
      // The file fits 259 characters, its folder not 247.
      {"DISK01\\DATA\\" + std::string(209, 'F') + "\\A.DAT",
       "Path too long: data\\" + std::string(209, 'f') + "\\a.dat", nullptr},
      {"", "Cannot create: " + kInstallDir + "\\data\\maps\\map1.dat",
       [this] { ASSERT_TRUE(machine.WriteFile(kInstallDir + "\\data", "in the way")); }},
  };
  const std::vector<VolumeFile> good = volume_;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.says);
    RemoveInstallDir();
    volume_ = good;
    if (!c.store.empty()) volume_.push_back({c.store, "", "bad"});
    WriteVolume();
    const auto before = Outside();
    if (c.setup) c.setup();
    bool ended = false;
    EXPECT_EQ(RunAppWith([&] {
                ToReadyPage();
                Next(11);
                EXPECT_EQ(ErrorDetail(), c.says);
                EXPECT_FALSE(Visible(INST_NextButton()));
                EXPECT_FALSE(Visible(INST_PreviousButton()));
                Click(INST_MenuButton(4));  // Quit
                ended = !AppLoopPass();
              }),
              0);
    EXPECT_TRUE(ended);
    EXPECT_EQ(Changes(before, Outside()), "");
    if (!c.setup) {
      EXPECT_FALSE(Exists(kInstallDir));
    }
    SYS_SetDrive('C', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST);
  }
}

// The room on the install drive. The folder page names what the install
// needs (the volume, Uninstall.exe and setup.cbf: 1 MB rounded up) and what
// the drive has, and Next does nothing while it is too little; the worker
// checks again before its first write, for a drive filled after the page.
// The figures are the room left once the program has put its copy of
// setup.cbf in the temporary folder on C:.
TEST_F(ScenarioTest, RoomIsCheckedOnTheFolderPageAndBeforeTheCopy) {
  const uint64_t mb = 1 << 20;
  std::string setup_cbf;
  ASSERT_TRUE(machine.ReadFile(Disc("setup.cbf"), &setup_cbf));
  const std::string short_of_room = "Not enough space: 1 MB needed, 0 MB free.";
  const struct {
    uint64_t at_page, at_copy;
    std::string line, error;  // error: "" installs
  } cases[] = {
      {mb - 1, mb - 1, short_of_room, ""},
      {5 * mb, mb - 1, "Space needed: 1 MB. Free on C: 5 MB.", short_of_room},
      {mb, mb, "Space needed: 1 MB. Free on C: 1 MB.", ""},  // last: it installs
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.line);
    RemoveInstallDir();
    ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, c.at_page + setup_cbf.size()));
    EXPECT_EQ(RunAppWith([&] {
                Click(INST_MenuButton(1));
                for (uint32_t page : {2u, 3u}) Next(page);
                auto *folder = static_cast<c_INST_FolderPage *>(INST_Page(3));
                EXPECT_EQ(LabelText(folder->RoomLabel()), c.line);
                Click(INST_NextButton());
                if (c.at_page < mb) {
                  EXPECT_EQ(INST_CurrentPage(), 3u);
                  return;
                }
                ASSERT_EQ(INST_CurrentPage(), 4u);
                ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, c.at_copy));
                Next(6);
                Next(Installer.directx_missing ? 7 : 8);
                if (INST_CurrentPage() == 7) Next(8);
                Next(c.error.empty() ? 10 : 11);
                if (!c.error.empty()) {
                  EXPECT_EQ(ErrorDetail(), c.error);
                }
              }),
              0);
    EXPECT_EQ(Installed(volume_[1].installed) == volume_[1].content,
              c.error.empty() && c.at_page >= mb);
    SYS_SetDrive('C', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST);
  }
}

// A disc whose map was changed in the middle (same size), stored or packed,
// or is missing from the archive's hash list: the copy stops on the error
// page naming the file, leaves no damaged map and reports nothing as
// installed.
TEST_F(ScenarioTest, DamagedFileOnTheDiscEndsOnTheErrorPage) {
  std::string list, unlisted;
  for (const VolumeFile &f : volume_) {
    SYS_Sha256 sha;
    uint8_t digest[SYS_SHA256_SIZE];
    SYS_Sha256Init(&sha);
    SYS_Sha256Update(&sha, f.content.data(), f.content.size());
    SYS_Sha256Final(&sha, digest);
    list += BF_HashListLine(digest, f.store);
    if (&f != &volume_[1]) unlisted += BF_HashListLine(digest, f.store);
  }
  for (uint32_t method : {0u, 1u, 2u}) {  // 2: the map stored, not listed
    SCOPED_TRACE(method);
    RemoveInstallDir();
    std::vector<TestEntry> entries = {{"DISK01.SHA256", method == 2 ? unlisted : list}};
    for (const VolumeFile &f : volume_) entries.push_back({f.store, f.content, method & 1});
    if (method != 2) entries[2].content[100000] ^= 1;  // the map
    entries[2].blocks.assign(80, 2500);                // literal-only blocks must stay short
    ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"), BuildArchive(entries)));
    EXPECT_EQ(RunAppWith([&] {
                ToReadyPage();
                Next(11);
                EXPECT_EQ(ErrorDetail(), "Damaged file on the disc: " + volume_[1].installed);
              }),
              0);
    EXPECT_FALSE(Exists(kInstallDir + "\\" + volume_[1].installed));
    EXPECT_EQ(RegText(kUninstallKey, "UninstallString"), "<missing>");
  }
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
  // The drive filled while the box was open: the next write fails. It is
  // filled once the writer has caught up (the file before the map is all
  // written), so that the write that fails is the map's.
  auto mend_and_fill = [&] {
    mend();
    for (int i = 0; i < 5000 && Installed(volume_[0].installed) != volume_[0].content; ++i)
      SYS_Sleep(1);
    SYS_SetDrive('C', SYS_DRIVE_FIXED, 0);
  };
  const struct {
    bool mend, fill;
    size_t boxes;
    uint32_t end_page;
  } cases[] = {{false, false, 2, 11}, {true, true, 1, 11}, {true, false, 1, 10}};
  SYS_SetMessageBoxAnswerer(AnswerDiskError);
  for (const auto &c : cases) {
    RemoveInstallDir();  // what an earlier case wrote would pass for this one's
    ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"), damaged));
    g_answers = {SYS_ID_OK};
    g_boxes.clear();
    g_map_boxes = 0;
    g_before_answer = c.fill   ? std::function<void()>(mend_and_fill)
                      : c.mend ? std::function<void()>(mend)
                               : nullptr;
    EXPECT_EQ(RunAppWith([&] {
                ToReadyPage();
                Next(c.end_page);
                if (c.end_page == 11) {
                  EXPECT_EQ(ErrorDetail(), c.fill ? "Disk full, cannot write: " + kInstallDir +
                                                        "\\" + map.installed
                                                  : "Cannot read: " + source);
                }
              }),
              0);
    // The boxes for the map (the disc's missing pictures and fonts have their own).
    size_t boxes = 0;
    for (const std::string &text : g_boxes) boxes += text.find(source) != std::string::npos;
    EXPECT_EQ(boxes, c.boxes);
    EXPECT_EQ(Installed(map.installed) == map.content, c.end_page == 10);
    SYS_SetDrive('C', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST);
  }
  SYS_SetMessageBoxAnswerer(nullptr);
  g_before_answer = nullptr;
}

// Installs over what a killed install left (some files, part of one, no
// uninstall entry), or from a disc in a read-only drive; the files are
// right, and the uninstall then leaves the machine as it was.
TEST_F(ScenarioTest, InstallThenUninstallLeavesTheMachineAsItWas) {
  for (bool killed : {true, false}) {
    SCOPED_TRACE(killed ? "over a killed install" : "from a read-only drive");
    if (!killed) {
      ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_FIXED, SYS_FREE_FROM_HOST));
      MoveDisc("D:\\");
      ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_CDROM, 0));
      EXPECT_EQ(SYS_FileCreate("D:\\beside.txt"), 0u);  // the drive takes no writes
    }
    const auto before = Outside();
    EXPECT_EQ(RunAppWith([] { Click(INST_MenuButton(4)); }), 0);  // Quit
    if (killed) {
      ASSERT_TRUE(machine.WriteFile(kInstallDir + "\\ashgrove.exe", "stand-in game"));
      ASSERT_TRUE(machine.WriteFile(kInstallDir + "\\data\\maps\\map1.dat",
                                    volume_[1].content.substr(0, 70000)));
    }
    EXPECT_EQ(RunAppWith(InstallWithoutTheAddOn), 0);
    EXPECT_EQ(NewLogLines().find("start\t"), std::string::npos) << NewLogLines();  // no add-on
    for (const VolumeFile &f : volume_) EXPECT_TRUE(Installed(f.installed) == f.content);
    EXPECT_EQ(Installed("Uninstall.exe"), "the installer's own bytes");
    EXPECT_EQ(RegText(kUninstallKey, "UninstallString"), "\"" + kInstallDir + "\\Uninstall.exe\"");
    EXPECT_EQ(RunAppWith(UninstallWithItsFiles), 0);
    EXPECT_TRUE(SYS_RunPendingMoves());
    EXPECT_FALSE(Exists(kInstallDir));
    EXPECT_EQ(Changes(before, Outside()), "");
  }
}

// The script player, as the native driver runs it: its exit code, the
// failing line, and a shot never written outside the frame folder.
TEST_F(ScenarioTest, DriverExitsWithOneAndNamesTheLine) {
  const std::string root = SYS_GetMachineRoot();
  const std::string script = root + "/script.txt", err = root + "/stderr.txt";
  fs::create_directories(root + "/shots");
  auto run = [&](const char *text) {
    FILE *f = std::fopen(script.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
      std::fputs(text, f);
      std::fclose(f);
    }
    const std::string cmd = "SETUP_MACHINE_ROOT='" + root + "' '" SETUP_PATH "' '" + line_ +
                            "' --script '" + script + "' --frames '" + root + "/shots' 2>'" + err +
                            "'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run("# two lines\nwait 20\nfrobnicate\n"), 1);
  EXPECT_NE(HostFile(err).find("line 3: frobnicate: unknown command"), std::string::npos)
      << HostFile(err);
  EXPECT_EQ(run("shot ../x\n"), 1);
  EXPECT_NE(HostFile(err).find("line 1: shot ../x: expected a plain name"), std::string::npos)
      << HostFile(err);
  EXPECT_FALSE(fs::exists(root + "/x.png"));
  EXPECT_EQ(run("wait 20\nshot intro\n"), 0);
  EXPECT_TRUE(fs::exists(root + "/shots/intro.png"));
}

}  // namespace
