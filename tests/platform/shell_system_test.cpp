// The library probe and the search restriction against a real system
// (wintests.exe only): libraries of the system folder load, a library beside
// the program or in the current folder never counts.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <aclapi.h>

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

// Elevated, the run folder admits only SYSTEM and the administrators and
// inherits nothing from the user's temporary folder, where any program of
// the user could otherwise replace what the elevated run starts from it.
// Wine keeps no access list of a folder (it reads back SYSTEM and the
// user, whatever was set), so this runs on Windows only.
TEST(ShellSystem, ElevatedRunFolderAdmitsOnlySystemAndAdministrators) {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
    GTEST_SKIP() << "Wine keeps no access list of a folder";
  if (!SYS_IsElevated()) GTEST_SKIP() << "needs an elevated run";
  char folder[SYS_MAX_PATH];
  ASSERT_NE(SYS_CreateRunFolder("acltest-", folder, sizeof folder), 0u);
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoA(folder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, &dacl, nullptr, &sd),
            DWORD(ERROR_SUCCESS));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(sd, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  ASSERT_NE(dacl, nullptr);
  EXPECT_EQ(dacl->AceCount, 2);
  for (DWORD i = 0; i < dacl->AceCount; i++) {
    ACCESS_ALLOWED_ACE *ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void **>(&ace)));
    ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    PSID sid = &ace->SidStart;
    EXPECT_TRUE(IsWellKnownSid(sid, WinLocalSystemSid) ||
                IsWellKnownSid(sid, WinBuiltinAdministratorsSid))
        << "entry " << i;
  }
  LocalFree(sd);
  EXPECT_TRUE(RemoveDirectoryA(folder));
}
