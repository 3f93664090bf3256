// The registry under HKEY_LOCAL_MACHINE, below the scratch machine's key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/scratch.h"

namespace {

using Names = std::vector<std::string>;

class Registry : public ScratchTest {
 protected:
  std::string Key(const std::string &relative) { return machine.RegistryPath(relative); }
  void Create(const std::string &relative, const char *value = nullptr) {
    SYS_RegKey key = SYS_RegCreateKey(Key(relative).c_str());
    ASSERT_NE(key, 0u) << relative;
    if (value) {
      EXPECT_EQ(SYS_RegSetText(key, value, "x"), SYS_OK);
    }
    SYS_RegCloseKey(key);
  }
  static std::string Query(SYS_RegKey key, const char *name) {
    char buffer[SYS_MAX_PATH];
    uint32_t size = sizeof buffer;
    if (SYS_RegQueryValue(key, name, buffer, &size) != SYS_OK) return "<none>";
    return std::string(buffer, size);
  }
  // The names of the subkeys (or values) of a key, in enumeration order.
  static Names Enum(const std::string &path, bool values) {
    Names names;
    SYS_RegKey key = SYS_RegOpenKey(path.c_str());
    char name[SYS_MAX_PATH];
    for (uint32_t i = 0; key && (values ? SYS_RegEnumValue(key, i, name, sizeof name)
                                        : SYS_RegEnumKey(key, i, name, sizeof name)) == SYS_OK;
         i++)
      names.push_back(name);
    if (key) SYS_RegCloseKey(key);
    return names;
  }
};

}  // namespace

TEST_F(Registry, SetQueryAndDeleteTextValues) {
  SYS_RegKey key = SYS_RegCreateKey(Key("App").c_str());
  ASSERT_NE(key, 0u);
  EXPECT_EQ(SYS_RegSetText(key, "InstallDir", "C:\\Games\\Ashgrove"), SYS_OK);
  EXPECT_EQ(Query(key, "InstallDir"), std::string("C:\\Games\\Ashgrove\0", 18));  // terminated
  EXPECT_EQ(SYS_RegSetText(key, "Empty", nullptr), SYS_OK);
  EXPECT_EQ(Query(key, "Empty"), std::string("\0", 1));
  EXPECT_EQ(SYS_RegSetText(key, nullptr, "x"), SYS_ERR_BADARG);
  EXPECT_EQ(SYS_RegSetText(key, "InstallDir", "D:\\Other"), SYS_OK);  // replaced
  EXPECT_EQ(Query(key, "InstallDir"), std::string("D:\\Other\0", 9));

  char small[4];
  uint32_t size = sizeof small;
  EXPECT_EQ(SYS_RegQueryValue(key, "InstallDir", small, &size), SYS_ERR_OS);  // too small
  EXPECT_EQ(SYS_RegQueryValue(key, "Missing", small, &size), SYS_ERR_OS);
  EXPECT_EQ(SYS_RegDeleteValue(key, "InstallDir"), SYS_OK);
  EXPECT_EQ(Query(key, "InstallDir"), "<none>");
  EXPECT_EQ(SYS_RegDeleteValue(key, "InstallDir"), SYS_ERR_OS);
  SYS_RegCloseKey(key);
}

TEST_F(Registry, NamesMatchWithoutRegardToCase) {
  Create("Product\\Settings", "DisplayName");
  SYS_RegKey key = SYS_RegOpenKey(Key("PRODUCT\\settings").c_str());
  ASSERT_NE(key, 0u);
  EXPECT_EQ(Query(key, "DISPLAYNAME"), std::string("x\0", 2));
  EXPECT_EQ(SYS_RegSetText(key, "displayname", "Other"), SYS_OK);
  EXPECT_EQ(Enum(Key("Product\\Settings"), true).size(), 1u);  // the same value, not a second
  SYS_RegCloseKey(key);
  Create("product");  // opens the existing key
  EXPECT_EQ(Enum(machine.RegistryBase(), false), Names{"Product"});
}

TEST_F(Registry, KeysAreMadeWithTheirParentsAndDeletedOnlyWhenEmpty) {
  EXPECT_EQ(SYS_RegOpenKey(Key("Nope").c_str()), 0u);
  EXPECT_EQ(SYS_RegCreateKey(nullptr), 0u);
  EXPECT_EQ(SYS_RegOpenKey(nullptr), 0u);
  Create("A\\B\\C");
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B").c_str()), SYS_ERR_OS);  // has a subkey
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B\\C").c_str()), SYS_OK);
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B\\C").c_str()), SYS_ERR_OS);
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B").c_str()), SYS_OK);
  EXPECT_EQ(Enum(Key("A"), false), Names{});
}

TEST_F(Registry, EnumerationStopsAndNeverCutsANameShort) {
  for (const char *name : {"E\\Zeta", "E\\alpha"}) Create(name);
  EXPECT_EQ(Enum(Key("E"), false), (Names{"alpha", "Zeta"}));  // sorted, case ignored
  SYS_RegKey key = SYS_RegOpenKey(Key("E").c_str());
  ASSERT_NE(key, 0u);
  char name[SYS_MAX_PATH], tiny[3];
  EXPECT_EQ(SYS_RegEnumKey(key, 2, name, sizeof name), SYS_REG_NO_MORE);
  EXPECT_EQ(SYS_RegEnumValue(key, 0, name, sizeof name), SYS_REG_NO_MORE);
  EXPECT_EQ(SYS_RegEnumKey(key, 0, tiny, sizeof tiny), SYS_ERR_OS);  // "alpha" does not fit
  SYS_RegCloseKey(key);
}
TEST_F(Registry, DeleteKeyTreeTakesTheWholeTreeAndNothingBeside) {
  for (const char *p : {"T\\a", "T\\a\\deep\\deeper", "T\\b", "T\\b\\x", "Keep\\Child"})
    Create(p, "v");
  EXPECT_EQ(SYS_RegDeleteKeyTree(Key("T").c_str()), SYS_OK);
  EXPECT_EQ(SYS_RegOpenKey(Key("T").c_str()), 0u);
  EXPECT_EQ(Enum(machine.RegistryBase(), false), Names{"Keep"});
  // A missing key: an error, and nothing changes.
  EXPECT_EQ(SYS_RegDeleteKeyTree(Key("Keep\\Missing").c_str()), SYS_ERR_OS);
  EXPECT_EQ(SYS_RegDeleteKeyTree(Key("Missing").c_str()), SYS_ERR_OS);
  EXPECT_EQ(Enum(Key("Keep"), false), Names{"Child"});
  EXPECT_EQ(Enum(Key("Keep\\Child"), true), Names{"v"});
}
