// The finishing step: shortcuts as the two flags say, the application key,
// the uninstall entry, and the older product's key tree removed.
#include "installer/system.h"

#include <algorithm>
#include <utility>

#include "installer/uninstall.h"
#include "installer_fixture.h"
#include "support/shortcut.h"

namespace {

std::string Folder(SYS_SpecialFolder which, const std::string &name) {
  char folder[SYS_MAX_PATH];
  EXPECT_GT(SYS_GetSpecialFolder(which, folder, sizeof folder), 0u);
  return std::string(folder) + "\\" + name;
}

void ExpectLink(const std::string &path, const ShortcutFields &want) {
  ShortcutFields got;
  ASSERT_TRUE(ReadShortcut(path.c_str(), &got)) << path;
  if (want.target.compare(0, 7, "http://") == 0) {
    // Wine's link object stores a web address as a file path; the address's
    // path and query still stand at its end.
    std::string tail = want.target.substr(want.target.find('/', 7)), slashed = got.target;
    for (char &c : slashed) c = c == '\\' ? '/' : c;
    EXPECT_TRUE(got.target == want.target ||
                slashed.compare(slashed.size() - std::min(slashed.size(), tail.size()),
                                std::string::npos, tail) == 0)
        << got.target;
  } else {
    EXPECT_EQ(got.target, want.target) << path;
  }
  EXPECT_EQ(got.description, want.description) << path;
  EXPECT_EQ(got.working_dir, want.working_dir) << path;
  EXPECT_EQ(got.icon_file, want.icon_file) << path;
  EXPECT_EQ(got.icon_index, 0) << path;
  EXPECT_EQ(got.arguments, "") << path;
}

TEST_F(InstallerTest, FinishInstallMakesTheShortcutsTheFlagsAskFor) {
  ASSERT_TRUE(machine.WriteFile(Disc("Programs\\gamespy.ico"), "icon bytes"));
  ASSERT_TRUE(machine.MakeDirs(install_dir_));
  const std::string game = install_dir_ + "\\ashgrove.exe";
  const std::string product = "Ashgrove Multiplayer demo";
  const std::string desktop_link = Folder(SYS_FOLDER_DESKTOP, product + ".lnk");
  const std::string group = Folder(SYS_FOLDER_PROGRAMS, "Ashgrove MP demo");
  const std::string icon = install_dir_ + "\\gamespy.ico";
  const std::string uninstall_key = std::string(INST_UNINSTALL_KEY_BASE) + product;

  for (uint32_t flags = 0; flags < 4; flags++) {
    SCOPED_TRACE(flags);
    Installer.desktop_shortcut = flags & 1;
    Installer.start_menu_shortcut = (flags >> 1) & 1;
    // Another product of the maker, and on one run a group folder already there.
    SYS_RegKey other = SYS_RegCreateKey("SOFTWARE\\Halvorin\\Ashgrove");
    ASSERT_EQ(SYS_RegSetText(other, "Serial", "1234"), SYS_OK);
    SYS_RegCloseKey(other);
    if (flags == 3) {
      ASSERT_TRUE(machine.MakeDirs(group));
    }
    Installer.installed_bytes = 5000;
    ASSERT_EQ(INST_FinishInstall(), 1);

    bool desktop = flags & 1, start_menu = flags & 2;
    EXPECT_EQ(Exists(desktop_link), desktop);
    if (desktop) ExpectLink(desktop_link, {game, product, install_dir_, game, ""});
    EXPECT_EQ(Exists(group), start_menu);
    EXPECT_EQ(Exists(icon), start_menu);
    if (start_menu) {
      ExpectLink(group + "\\" + product + ".lnk", {game, product, install_dir_, game, ""});
      ExpectLink(group + "\\Uninstall " + product + ".lnk",
                 {install_dir_ + "\\Uninstall.exe", "", install_dir_,
                  install_dir_ + "\\Uninstall.exe", ""});
      ExpectLink(group + "\\Play " + product + " Online With GameSpy Arcade.lnk",
                 {INST_GetText(409), "", install_dir_, icon, ""});
    }

    EXPECT_EQ(RegText("SOFTWARE\\Halvorin\\Ashgrove Demo", "InstallDir"), install_dir_);
    const std::pair<const char *, std::string> values[] = {
        {"DisplayName", product},
        {"UninstallString", "\"" + install_dir_ + "\\Uninstall.exe\""},
        {"DisplayIcon", "\"" + install_dir_ + "\\Uninstall.exe\",0"},
        {"InstallLocation", install_dir_}};
    for (const auto &v : values) EXPECT_EQ(RegText(uninstall_key, v.first), v.second) << v.first;
    SYS_RegKey key = SYS_RegOpenKey(uninstall_key.c_str());
    uint32_t kib = 0, size = sizeof kib;
    EXPECT_EQ(SYS_RegQueryValue(key, "EstimatedSize", &kib, &size), SYS_OK);
    EXPECT_EQ(kib, 5u);
    SYS_RegCloseKey(key);
    EXPECT_EQ(RegText("SOFTWARE\\Halvorin\\Ashgrove", "Serial"), "1234");

    SYS_FileDelete(desktop_link.c_str());
    char path[SYS_MAX_PATH];
    SYS_StrCopy(path, sizeof path, group.c_str());
    if (start_menu) INST_DeleteTree(path, group.size(), true);
    SYS_FileDelete(icon.c_str());
  }
}

// The system's list runs UninstallString as a command line; the program
// takes its folder from the first token, which must be the whole path even
// with spaces in it. Installs of earlier versions wrote the bare path.
TEST_F(InstallerTest, TheUninstallCommandNamesTheInstallFolder) {
  ASSERT_EQ(INST_FinishInstall(), 1);
  const std::string key = std::string(INST_UNINSTALL_KEY_BASE) + "Ashgrove Multiplayer demo";
  const std::string written = RegText(key, "UninstallString");
  ASSERT_TRUE(ParseCommandLine(written.c_str()));
  EXPECT_EQ(std::string(AppPaths.program_folder), install_dir_ + "\\");
  for (const std::string &value : {written, install_dir_ + "\\Uninstall.exe"}) {
    SYS_RegKey k = SYS_RegOpenKey(key.c_str());
    ASSERT_EQ(SYS_RegSetText(k, "UninstallString", value.c_str()), SYS_OK);
    SYS_RegCloseKey(k);
    GamePath[0] = 0;
    INST_ReadInstalledState();
    EXPECT_EQ(std::string(GamePath), install_dir_ + "\\ashgrove.exe") << value;
  }
}

}  // namespace
