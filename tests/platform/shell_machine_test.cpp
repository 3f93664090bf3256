// The shell and the system as the emulated machine answers them: link files
// other tools can read, the machine's log of started programs, opened
// addresses and probed libraries, and the one-copy-at-a-time claim.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/machine.h"
#include "platform/platform.h"
#include "support/scratch.h"
#include "support/shortcut.h"

namespace {

class ShellMachine : public ScratchTest {
 protected:
  std::string Log() {
    std::ifstream in(std::string(SYS_GetMachineRoot()) + "/log", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Host(const std::string &windows) {
    char host[4096];
    return SYS_MapPath(windows.c_str(), host, sizeof host) ? std::string(host) : "";
  }
};

std::string Output(const std::string &command) {
  std::string out;
  if (FILE *p = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

}  // namespace

TEST_F(ShellMachine, LinkFilesReadInOtherTools) {
  if (access("/usr/bin/lnkinfo", X_OK) != 0) GTEST_SKIP() << "lnkinfo is not installed";
  const std::string game = machine.Path("Game\\demo.exe");
  ASSERT_TRUE(machine.WriteFile(game, "MZ"));
  SYS_Shortcut link = {game.c_str(), "Ashgrove demo", "C:\\WORK\\Game", "C:\\WORK\\Game\\g.ico", 3,
                       "-window"};
  const std::string path = "C:\\Documents and Settings\\User\\Desktop\\Demo.lnk";
  ASSERT_TRUE(SYS_CreateShortcut(path.c_str(), &link));
  const std::string info = Output("lnkinfo '" + Host(path) + "' 2>&1");
  SCOPED_TRACE(info);
  for (const char *line :
       {"Local path\t\t\t: C:\\WORK\\Game\\demo.exe", "Description\t\t\t: Ashgrove demo",
        "Working directory\t\t: C:\\WORK\\Game", "Command line arguments\t\t: -window",
        "Icon location\t\t\t: C:\\WORK\\Game\\g.ico", "Icon index\t\t\t: 3"})
    EXPECT_NE(info.find(line), std::string::npos) << line;
}

TEST_F(ShellMachine, WebAddressIsTheLinkTarget) {
  const char *address = "http://arcade.example.net/features/launch.asp?svcname=x&distID=744";
  SYS_Shortcut link = {address, nullptr, machine.Work().c_str(), nullptr, 0, nullptr};
  const std::string path = machine.Path("online.lnk");
  ASSERT_TRUE(SYS_CreateShortcut(path.c_str(), &link));
  ShortcutFields read;
  ASSERT_TRUE(ReadShortcut(path.c_str(), &read));
  EXPECT_EQ(read.target, address);
  EXPECT_EQ(read.working_dir, machine.Work());
}

TEST_F(ShellMachine, ReaderRejectsLinksCutShort) {
  SYS_Shortcut link = {"C:\\a.exe", "d", "C:\\", "C:\\a.ico", 1, "x"};
  const std::string path = machine.Path("a.lnk"), cut = machine.Path("cut.lnk");
  ASSERT_TRUE(SYS_CreateShortcut(path.c_str(), &link));
  std::string bytes;
  ASSERT_TRUE(machine.ReadFile(path, &bytes));
  ShortcutFields read;
  for (size_t size = 0; size < bytes.size(); size++) {
    ASSERT_TRUE(machine.WriteFile(cut, bytes.substr(0, size)));
    EXPECT_FALSE(ReadShortcut(cut.c_str(), &read)) << size;
  }
}

TEST_F(ShellMachine, StartedProgramsAreLoggedAndHaveEnded) {
  const std::string game = machine.Path("demo.exe");
  EXPECT_EQ(SYS_StartProgram(game.c_str(), machine.Work().c_str(), true), 0u);  // no such file
  ASSERT_TRUE(machine.WriteFile(game, "MZ"));
  EXPECT_EQ(SYS_StartProgram(game.c_str(), machine.Path("none").c_str(), true), 0u);
  EXPECT_EQ(Log(), "");

  SYS_Handle process = SYS_StartProgram(game.c_str(), machine.Work().c_str(), true);
  ASSERT_NE(process, 0u);
  EXPECT_EQ(SYS_WaitResult(process, 0), SYS_OK);
  EXPECT_EQ(SYS_SetEvent(process, false), SYS_ERR_FAILED);  // a process, not an event
  EXPECT_EQ(SYS_CloseHandle(process), SYS_OK);
  EXPECT_EQ(Log(), "start\tC:\\WORK\\demo.exe\tC:\\WORK\n");
}

TEST_F(ShellMachine, OpenedAddressesAreLoggedUnchanged) {
  EXPECT_TRUE(SYS_ShellOpen("www.example.com"));
  EXPECT_TRUE(SYS_ShellOpen("http://dl.example.com/directx/?a=1&b=%20"));
  EXPECT_FALSE(SYS_ShellOpen(nullptr));
  EXPECT_EQ(Log(), "open\twww.example.com\nopen\thttp://dl.example.com/directx/?a=1&b=%20\n");
}

TEST_F(ShellMachine, LibrariesCountOnlyInTheSystemFolder) {
  ASSERT_TRUE(machine.WriteFile("C:\\WINDOWS\\SYSTEM32\\dpnhpast.dll", "MZ"));
  // Planted where a search or a joined path could reach them.
  for (const char *plant : {"C:\\WINDOWS\\x.dll", "C:\\x.dll", "C:\\WORK\\x.dll"})
    ASSERT_TRUE(machine.WriteFile(plant, "MZ"));
  ASSERT_TRUE(SYS_SetCurrentDir(machine.Work().c_str()));
  EXPECT_TRUE(SYS_SystemLibraryPresent("DPNHPAST.DLL"));
  EXPECT_FALSE(SYS_SystemLibraryPresent("d3d8x.dll"));
  EXPECT_FALSE(SYS_SystemLibraryPresent("x.dll"));
  for (const char *refused : {"..\\x.dll", "../x.dll", "C:\\x.dll", "C:x.dll"})
    EXPECT_FALSE(SYS_SystemLibraryPresent(refused)) << refused;
  EXPECT_EQ(Log(), "probe\tDPNHPAST.DLL\t1\nprobe\td3d8x.dll\t0\nprobe\tx.dll\t0\n");
}

TEST_F(ShellMachine, PlatformIdIsNtUntilATestSaysOtherwise) {
  EXPECT_EQ(SYS_GetPlatformId(), 2u);
  SYS_SetPlatformId(1);
  EXPECT_EQ(SYS_GetPlatformId(), 1u);
  const std::string root = SYS_GetMachineRoot();
  ASSERT_TRUE(SYS_SetMachineRoot(root.c_str()));  // a restart of the same machine
  EXPECT_EQ(SYS_GetPlatformId(), 2u);
}

// Another process holds the claim until it ends, even when it is killed;
// then this one gets it, and keeps getting it.
TEST_F(ShellMachine, SingleInstanceClaimLastsAsLongAsItsHolder) {
  const char kName[] = "Local\\Ashgrove.Test";
  int ready[2];
  ASSERT_EQ(0, pipe(ready));
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const char got = SYS_ClaimSingleInstance(kName) ? '1' : '0';
    if (write(ready[1], &got, 1) != 1) _exit(1);
    for (;;) pause();  // until killed
  }
  char got = 0;
  ASSERT_EQ(1, read(ready[0], &got, 1));
  close(ready[0]);
  close(ready[1]);
  EXPECT_EQ('1', got);
  EXPECT_FALSE(SYS_ClaimSingleInstance(kName));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(SYS_ClaimSingleInstance(kName));
  EXPECT_TRUE(SYS_ClaimSingleInstance(kName));
}
