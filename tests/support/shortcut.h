// ReadShortcut: the fields of a shell link file, for tests that check the
// shortcuts the program made. Natively lnkinfo reads the .lnk file the emulated
// machine wrote; on Windows it asks the system's shell link object (COM is
// started for the call when this thread has not started it).
//
//   ShortcutFields link;
//   ASSERT_TRUE(ReadShortcut("C:\\...\\Desktop\\Demo.lnk", &link));
//   EXPECT_EQ(link.target, "C:\\Games\\Demo\\demo.exe");
//
// Texts the link does not hold read as "".
#pragma once

#include <string>

struct ShortcutFields {
  std::string target, description, working_dir, icon_file, arguments;
  int icon_index = 0;
};

// false when the file is missing or is no shell link.
bool ReadShortcut(const char *windows_link_path, ShortcutFields *out);
