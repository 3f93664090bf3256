// ScratchMachine: a fresh place for one test to work in.
//
// Natively: a fresh machine root (see src/platform/machine.h) in a temporary
// host folder with drive C: fixed and the work folder C:\WORK; the whole
// root is removed afterwards. On Windows: a fresh folder under the temporary
// folder and a fresh registry key HKEY_LOCAL_MACHINE\SOFTWARE\DemoDiscTests\<n>,
// both removed afterwards. Either way the current directory is restored.
//
//   TEST(Thing, Works) {
//     ScratchMachine m;
//     ASSERT_TRUE(m.WriteFile(m.Path("a.txt"), "bytes"));
//     SYS_RegKey k = SYS_RegCreateKey(m.RegistryPath("Sub").c_str());
//   }
//
// One at a time: natively it switches the process's machine root.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ScratchMachine {
 public:
  ScratchMachine();
  ~ScratchMachine();
  ScratchMachine(const ScratchMachine &) = delete;
  ScratchMachine &operator=(const ScratchMachine &) = delete;

  // Windows path of the work folder, no trailing backslash ("C:\WORK").
  const std::string &Work() const { return work_; }
  // Work() + "\" + relative.
  std::string Path(const std::string &relative) const;
  // Registry path (under HKEY_LOCAL_MACHINE) reserved for this test, and a
  // path below it. The key itself exists.
  const std::string &RegistryBase() const { return registry_base_; }
  std::string RegistryPath(const std::string &relative) const;

  // Writes a file at a Windows path, creating missing folders.
  bool WriteFile(const std::string &path, const std::string &bytes) const;
  // The whole file at a Windows path; false when it cannot be read.
  bool ReadFile(const std::string &path, std::string *bytes) const;
  // Creates a folder and its missing parents.
  bool MakeDirs(const std::string &path) const;

  // Registry keys outside RegistryBase() that the test writes (fixed product
  // keys, say): deleted with their subkeys when the scratch machine goes.
  void DeleteKeyOnExit(const std::string &path) { extra_keys_.push_back(path); }

 private:
  std::string work_;
  std::string registry_base_;
  std::string saved_cwd_;
  std::string host_;  // backend data: the host root (native) or the temp folder (Windows)
  std::vector<std::string> extra_keys_;
};

// Whether a file or folder exists at a Windows path.
bool Exists(const std::string &path);
// The data of a REG_SZ value under HKEY_LOCAL_MACHINE; "<missing>" when the
// key or the value is.
std::string RegText(const std::string &key, const char *value);
// Natively: the machine root's file NAME ("log", "registry",
// "pending_moves"); "" when it cannot be read.
std::string MachineFile(const std::string &name);

// A fixture that gives each test its own scratch machine.
class ScratchTest : public ::testing::Test {
 protected:
  ScratchMachine machine;
};
