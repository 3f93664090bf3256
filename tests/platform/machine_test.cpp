// The emulated Windows machine of the POSIX backend (machine.h), as far as
// other tests rely on it: path mapping and its refusals, lengths,
// protected files and the registry file.
#include "platform/machine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

class Machine : public ScratchTest {
 protected:
  std::string Root() { return SYS_GetMachineRoot(); }
  std::string Host(const std::string &windows) {
    char host[4096];
    return SYS_MapPath(windows.c_str(), host, sizeof host) ? std::string(host) : "<refused>";
  }
};

}  // namespace

TEST_F(Machine, WindowsPathsMapIntoTheDriveFolders) {
  ASSERT_TRUE(machine.WriteFile("C:\\WORK\\Games\\Ashgrove\\ReadMe.TXT", "x"));
  ASSERT_TRUE(machine.WriteFile("C:\\WORK\\Games\\readme.txt", "y"));
  const struct {
    std::string windows, host;  // host: below the root, or "<refused>"
  } cases[] = {
      {"C:\\WORK\\a.txt", "/drive_c/WORK/a.txt"},
      {"c:/work/b.txt", "/drive_c/WORK/b.txt"},                 // forward slashes, any case
      {"C:\\WORK\\..\\..\\..\\WORK\\.\\x", "/drive_c/WORK/x"},  // no way out of the drive
      {"C:\\..\\x", "/drive_c/x"},
      {"C:\\WORK\\GAMES\\ASHGROVE\\README.TXT", "/drive_c/WORK/Games/Ashgrove/ReadMe.TXT"},
      {"c:\\work\\games\\New.txt", "/drive_c/WORK/Games/New.txt"},        // a new name as given
      {"C:\\WORK\\Games\\readme.txt", "/drive_c/WORK/Games/readme.txt"},  // exact match wins
      {"x.txt", "/drive_c/x.txt"},  // relative to C:\ at first
      {"D:\\x", "<refused>"},       // no drive D
      {"\\\\server\\share\\file", "<refused>"},
      {"C:\\WORK\\a|b", "<refused>"},
      {"C:\\WORK\\a*b", "<refused>"},
      {"1:\\x", "<refused>"},
      {"", "<refused>"},
      {std::string(300, 'a'), "<refused>"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Host(c.windows), c.host == "<refused>" ? c.host : Root() + c.host) << c.windows;
  EXPECT_EQ(SYS_FileOpenRead("\\\\server\\share\\file", 0), 0u);
  EXPECT_EQ(SYS_FileCreate("\\\\server\\share\\file"), 0u);
}

// The system makes folders of up to 247 characters and files of up to 259.
TEST_F(Machine, FoldersAndFilesStopAtTheSystemsLengths) {
  const std::string base = "C:\\" + std::string(100, 'a') + "\\";  // 104 characters
  ASSERT_TRUE(SYS_CreateDirectory(base.substr(0, 103).c_str()));
  EXPECT_TRUE(SYS_CreateDirectory((base + std::string(143, 'b')).c_str()));
  EXPECT_FALSE(SYS_CreateDirectory((base + std::string(144, 'c')).c_str()));
  for (size_t length : {259u, 260u}) {
    SYS_Handle f = SYS_FileCreate((base + std::string(length - 104, 'd')).c_str());
    EXPECT_EQ(f != 0, length == 259) << length;
    SYS_FileClose(f);
  }
}

// Windows refuses CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL over a read-only,
// hidden or system file; Wine does not (and run as root ignores read-only
// too), so this is checked against the emulation only.
TEST_F(Machine, ProtectedFilesAreNotOverwrittenByCreate) {
  ASSERT_TRUE(machine.WriteFile("C:\\WORK\\kept.txt", "keep"));
  for (uint32_t attribute : {SYS_ATTR_HIDDEN, SYS_ATTR_SYSTEM, SYS_ATTR_READONLY}) {
    ASSERT_TRUE(SYS_SetFileAttributes("C:\\WORK\\kept.txt", attribute));
    EXPECT_EQ(SYS_FileCreate("C:\\WORK\\kept.txt"), 0u) << attribute;
  }
  EXPECT_EQ(SYS_FileOpenRead("C:\\WORK\\kept.txt", SYS_ACCESS_WRITE), 0u);
  std::string contents;
  ASSERT_TRUE(machine.ReadFile("C:\\WORK\\kept.txt", &contents));
  EXPECT_EQ(contents, "keep");
}

TEST_F(Machine, RegistryFileSurvivesARestartAndFollowsOtherWriters) {
  SYS_RegKey key = SYS_RegCreateKey("SOFTWARE\\Halvorin\\Ashgrove Demo");
  ASSERT_NE(key, 0u);
  ASSERT_EQ(SYS_RegSetText(key, "InstallDir", "C:\\Games\\\"Quoted\"\\Ash\ngrove"), SYS_OK);
  SYS_RegCloseKey(key);
  EXPECT_NE(MachineFile("registry").find("[SOFTWARE\\Halvorin\\Ashgrove Demo]"), std::string::npos);

  ASSERT_TRUE(SYS_SetMachineRoot(Root().c_str()));  // the restart: nothing cached survives
  key = SYS_RegOpenKey("software\\halvorin\\ashgrove demo");
  ASSERT_NE(key, 0u);
  char buffer[SYS_MAX_PATH];
  uint32_t size = sizeof buffer;
  ASSERT_EQ(SYS_RegQueryValue(key, "installdir", buffer, &size), SYS_OK);
  EXPECT_STREQ(buffer, "C:\\Games\\\"Quoted\"\\Ash\ngrove");
  EXPECT_EQ(size, SYS_StrLen(buffer) + 1);
  SYS_RegCloseKey(key);
  key = SYS_RegOpenKey("SOFTWARE\\DemoDiscTests\\Scratch");  // empty keys survive too
  EXPECT_NE(key, 0u);
  SYS_RegCloseKey(key);

  // Another process replaces the file.
  std::ofstream(Root() + "/registry.new", std::ios::binary)
      << "[SOFTWARE\\Other]\n\"Name\"=sz:\"Written outside\"\n; end\n";
  ASSERT_EQ(std::rename((Root() + "/registry.new").c_str(), (Root() + "/registry").c_str()), 0);
  key = SYS_RegOpenKey("SOFTWARE\\OTHER");
  ASSERT_NE(key, 0u);
  size = sizeof buffer;
  ASSERT_EQ(SYS_RegQueryValue(key, "name", buffer, &size), SYS_OK);
  EXPECT_STREQ(buffer, "Written outside");
  SYS_RegCloseKey(key);
}

TEST_F(Machine, RegistryFileIsNeverSeenHalfWritten) {
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0}, torn{0};
  std::thread reader([&] {
    while (!stop) {
      std::string content = MachineFile("registry");
      if (content.empty()) continue;
      reads++;
      if (content.size() < 6 || content.compare(content.size() - 6, 6, "; end\n") != 0) torn++;
    }
  });
  SYS_RegKey key = SYS_RegCreateKey("SOFTWARE\\Busy");
  ASSERT_NE(key, 0u);
  std::string big(2000, 'v');
  for (int i = 0; i < 200; i++) {
    char name[16];
    SYS_Format(name, sizeof name, "value%d", i);
    ASSERT_EQ(SYS_RegSetText(key, name, big.c_str()), SYS_OK);
  }
  SYS_RegCloseKey(key);
  stop = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(torn.load(), 0);
  std::string listing;  // no temporary files are left behind
  for (const auto &e : fs::directory_iterator(Root()))
    listing += e.path().filename().string() + " ";
  EXPECT_EQ(listing.find(".tmp"), std::string::npos) << listing;
}
