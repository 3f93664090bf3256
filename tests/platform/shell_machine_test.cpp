// The shell and the system as the emulated machine answers them: the
// machine's log of started programs and probed libraries, and the
// one-copy-at-a-time claim.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "support/scratch.h"

using ShellMachine = ScratchTest;

TEST_F(ShellMachine, StartsAndProbesAreLogged) {
  const std::string game = machine.Path("demo.exe");
  EXPECT_EQ(SYS_StartProgram(game.c_str(), machine.Work().c_str(), true), 0u);  // no such file
  ASSERT_TRUE(machine.WriteFile(game, "MZ"));
  EXPECT_EQ(SYS_StartProgram(game.c_str(), machine.Path("none").c_str(), true), 0u);
  EXPECT_EQ(MachineFile("log"), "");
  SYS_Handle process = SYS_StartProgram(game.c_str(), machine.Work().c_str(), true);
  ASSERT_NE(process, 0u);
  EXPECT_EQ(SYS_WaitResult(process, 0), SYS_OK);            // it has ended
  EXPECT_EQ(SYS_SetEvent(process, false), SYS_ERR_FAILED);  // a process, not an event
  EXPECT_EQ(SYS_CloseHandle(process), SYS_OK);
  std::string log = "start\tC:\\WORK\\demo.exe\tC:\\WORK\n";
  EXPECT_EQ(MachineFile("log"), log);

  EXPECT_FALSE(SYS_ShellOpen(nullptr));
  // Libraries count only in the system folder, not where a search or a
  // joined path could reach them.
  ASSERT_TRUE(machine.WriteFile("C:\\WINDOWS\\SYSTEM32\\dpnhpast.dll", "MZ"));
  for (const char *plant : {"C:\\WINDOWS\\x.dll", "C:\\x.dll", "C:\\WORK\\x.dll"})
    ASSERT_TRUE(machine.WriteFile(plant, "MZ"));
  ASSERT_TRUE(SYS_SetCurrentDir(machine.Work().c_str()));
  EXPECT_TRUE(SYS_SystemLibraryPresent("DPNHPAST.DLL"));
  EXPECT_FALSE(SYS_SystemLibraryPresent("d3d8x.dll"));
  EXPECT_FALSE(SYS_SystemLibraryPresent("x.dll"));
  for (const char *refused : {"..\\x.dll", "../x.dll", "C:\\x.dll", "C:x.dll"})
    EXPECT_FALSE(SYS_SystemLibraryPresent(refused)) << refused;
  log += "probe\tDPNHPAST.DLL\t1\nprobe\td3d8x.dll\t0\nprobe\tx.dll\t0\n";
  EXPECT_EQ(MachineFile("log"), log);
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
