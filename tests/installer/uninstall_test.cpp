// Uninstall: the installed state read from the uninstall entry, the guarded
// folder removal, and the whole removal run once and twice.
#include "installer/uninstall.h"

#include "installer/system.h"
#include "installer_fixture.h"

namespace {

const std::string kUninstallKey =
    std::string(INST_UNINSTALL_KEY_BASE) + "Ashgrove Multiplayer demo";

void SetUninstallString(const std::string &value) {
  SYS_RegKey key = SYS_RegCreateKey(kUninstallKey.c_str());
  ASSERT_NE(key, 0u);
  SYS_RegSetText(key, "UninstallString", value.c_str());
  SYS_RegCloseKey(key);
}

TEST_F(InstallerTest, InstalledStateComesFromTheUninstallEntryAlone) {
  const struct {
    std::string uninstall_string;  // "-": no key
    const char *game_path;         // null: not installed, GamePath untouched
  } cases[] = {
      {"-", nullptr},
      {"D:\\Games\\Demo\\Uninstall.exe", "D:\\Games\\Demo\\ashgrove.exe"},
      {"Uninstall.exe", "ashgrove.exe"},
      {"D:\\" + std::string(250, 'x') + "\\Uninstall.exe", nullptr},  // the path would not fit
  };
  for (const auto &c : cases) {
    SYS_RegDeleteKeyTree(kUninstallKey.c_str());
    if (c.uninstall_string != "-") SetUninstallString(c.uninstall_string);
    SYS_StrCopy(GamePath, sizeof GamePath, "untouched");
    INST_ReadInstalledState();
    EXPECT_EQ(Installer.installed, c.game_path ? 1u : 0u) << c.uninstall_string;
    EXPECT_EQ(Installer.menu_mode, c.game_path ? 2u : 1u);
    EXPECT_EQ(std::string(GamePath), c.game_path ? c.game_path : "untouched");
  }
  // The key without the value.
  SYS_RegDeleteKeyTree(kUninstallKey.c_str());
  SYS_RegCloseKey(SYS_RegCreateKey(kUninstallKey.c_str()));
  INST_ReadInstalledState();
  EXPECT_EQ(Installer.installed, 0u);
}

TEST_F(InstallerTest, RemoveFolderRefusesRootsSystemAndUserFolders) {
  ASSERT_TRUE(machine.WriteFile(machine.Path("Games\\Demo\\a.txt"), "a"));
  char system[SYS_MAX_PATH], profile[SYS_MAX_PATH];
  ASSERT_GT(SYS_GetSpecialFolder(SYS_FOLDER_SYSTEM, system, sizeof system), 0u);
  ASSERT_GT(SYS_GetSpecialFolder(SYS_FOLDER_PROFILE, profile, sizeof profile), 0u);
  std::string above_profile = profile;
  above_profile.resize(above_profile.rfind('\\'));
  const std::string refused[] = {
      "",
      "\\",
      "C:",
      "C:\\",
      system,
      std::string(system) + "\\",
      above_profile,
      machine.Path("Games\\Demo\\..\\..\\.."),
      machine.Path("Games/Demo"),
  };
  for (const std::string &path : refused) {
    EXPECT_EQ(INST_RemoveFolder(path.c_str(), true), 0) << path;
    EXPECT_TRUE(Exists(system)) << path;
    EXPECT_TRUE(Exists(profile)) << path;
  }
  EXPECT_TRUE(Exists(machine.Path("Games\\Demo\\a.txt")));
  EXPECT_EQ(INST_RemoveFolder((machine.Path("Games\\Demo") + "\\").c_str(), true), 1);
  EXPECT_FALSE(Exists(machine.Path("Games\\Demo")));
}

TEST_F(InstallerTest, DeleteTreeClearsReadOnlyAndPassesDotFolders) {
  std::string top = machine.Path("tree");
  ASSERT_TRUE(machine.WriteFile(top + "\\sub\\ro.txt", "r"));
  ASSERT_TRUE(SYS_SetFileAttributes((top + "\\sub\\ro.txt").c_str(), SYS_ATTR_READONLY));
  ASSERT_TRUE(machine.WriteFile(top + "\\.keep\\inside.txt", "k"));
  char path[SYS_MAX_PATH];
  SYS_StrCopy(path, sizeof path, top.c_str());
  EXPECT_EQ(INST_DeleteTree(path, top.size(), true), 0);  // the dot folder stays, so does top
  EXPECT_FALSE(Exists(top + "\\sub"));
  EXPECT_TRUE(Exists(top + "\\.keep\\inside.txt"));
  SYS_StrCopy(path, sizeof path, machine.Path("missing").c_str());
  EXPECT_EQ(INST_DeleteTree(path, SYS_StrLen(path), true), 0);
}

TEST_F(InstallerTest, UninstallRemovesEverythingAndASecondRunChangesNothing) {
  ASSERT_TRUE(machine.WriteFile(Installed("ashgrove.exe"), "game"));
  ASSERT_TRUE(machine.WriteFile(Installed("data\\maps\\m.dat"), "map"));
  ASSERT_EQ(INST_FinishInstall(), 1);
  ASSERT_NE(RegText(kUninstallKey, "UninstallString"), "<missing>");
  char desktop_link[SYS_MAX_PATH], group[SYS_MAX_PATH];
  ASSERT_EQ(INST_GetDesktopPath("Ashgrove Multiplayer demo.lnk", desktop_link), 1);
  ASSERT_EQ(INST_GetProgramsPath("Ashgrove MP demo", group), 1);
  ASSERT_TRUE(Exists(desktop_link));
  ASSERT_TRUE(Exists(group));
  for (int run = 0; run < 2; run++) {
    INST_Uninstall();
    EXPECT_FALSE(Exists(install_dir_)) << run;
    EXPECT_FALSE(Exists(desktop_link)) << run;
    EXPECT_FALSE(Exists(group)) << run;
    EXPECT_EQ(SYS_RegOpenKey(kUninstallKey.c_str()), 0u) << run;
    EXPECT_EQ(SYS_RegOpenKey(INST_GetText(412)), 0u) << run;
  }
}

TEST_F(InstallerTest, AnUninstallEntryPointingAtASystemFolderRemovesNothingThere) {
  char windows[SYS_MAX_PATH];
  ASSERT_GT(SYS_GetSpecialFolder(SYS_FOLDER_WINDOWS, windows, sizeof windows), 0u);
  std::string planted = std::string(windows) + "\\demodisc-guard-test.txt";
  ASSERT_TRUE(machine.WriteFile(planted, "keep me"));
  SetUninstallString(std::string(windows) + "\\Uninstall.exe");
  INST_ReadInstalledState();
  ASSERT_EQ(Installer.installed, 1u);
  INST_Uninstall();
  EXPECT_TRUE(Exists(planted));
  EXPECT_EQ(SYS_RegOpenKey(kUninstallKey.c_str()), 0u);  // the rest still ran
  SYS_FileDelete(planted.c_str());
}

}  // namespace
