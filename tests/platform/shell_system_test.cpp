// The library probe and the search restriction against a real system
// (wintests.exe only): libraries of the system folder load, a library beside
// the program or in the current folder never counts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "support/scratch.h"

namespace {

const char kPlant[] = "ddtplant.dll";  // built beside wintests.exe

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, length < MAX_PATH ? length : 0);
  return s.substr(0, s.rfind('\\') + 1);
}

bool LoadsByName(const char *name) {
  HMODULE library = LoadLibraryA(name);
  if (library) FreeLibrary(library);
  return library != nullptr;
}

}  // namespace

TEST(ShellSystem, SystemLibrariesArePresent) {
  EXPECT_TRUE(SYS_SystemLibraryPresent("kernel32.dll"));
  char system[MAX_PATH];
  ASSERT_NE(SYS_GetSystemDir(system, sizeof system), 0u);
  if (SYS_GetFileAttributes((std::string(system) + "\\dpnhpast.dll").c_str()) == SYS_ATTR_INVALID)
    GTEST_SKIP() << "this system has no dpnhpast.dll";
  // Wine's own copy counts unless WINEDLLOVERRIDES turns it off.
  char overrides[1024] = "";
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  bool disabled = std::string(overrides).find("dpnhpast=d") != std::string::npos;
  EXPECT_EQ(SYS_SystemLibraryPresent("dpnhpast.dll"), !disabled);
}

TEST(ShellSystem, PlantedLibrariesNeverCount) {
  ScratchMachine machine;
  ASSERT_NE(SYS_GetFileAttributes((ProgramFolder() + kPlant).c_str()), SYS_ATTR_INVALID);
  ASSERT_TRUE(
      CopyFileA((ProgramFolder() + kPlant).c_str(), machine.Path("cwd.dll").c_str(), FALSE));
  ASSERT_TRUE(SYS_SetCurrentDir(machine.Work().c_str()));
  // The plain search finds both; the probe finds neither.
  ASSERT_TRUE(LoadsByName(kPlant));
  ASSERT_TRUE(LoadsByName("cwd.dll"));
  EXPECT_FALSE(SYS_SystemLibraryPresent(kPlant));
  EXPECT_FALSE(SYS_SystemLibraryPresent("cwd.dll"));
  // Once restricted, the process's own search finds neither either. This
  // stays for the rest of the test program, which loads nothing by name.
  SYS_RestrictLibrarySearch();
  EXPECT_FALSE(LoadsByName(kPlant));
  EXPECT_FALSE(LoadsByName("cwd.dll"));
  EXPECT_TRUE(LoadsByName("kernel32.dll"));
}
