// The registry under HKEY_LOCAL_MACHINE, below the scratch machine's key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/scratch.h"

namespace {

class Registry : public ScratchTest {
 protected:
  std::string Key(const std::string &relative) { return machine.RegistryPath(relative); }

  std::string Query(SYS_RegKey key, const char *name) {
    char buffer[SYS_MAX_PATH];
    uint32_t size = sizeof buffer;
    if (SYS_RegQueryValue(key, name, buffer, &size) != SYS_OK) return "<none>";
    return std::string(buffer, size);
  }

  std::vector<std::string> SubKeys(const std::string &path) {
    std::vector<std::string> names;
    SYS_RegKey key = SYS_RegOpenKey(path.c_str());
    if (!key) return names;
    char name[SYS_MAX_PATH];
    for (uint32_t i = 0; SYS_RegEnumKey(key, i, name, sizeof name) == SYS_OK; i++)
      names.push_back(name);
    SYS_RegCloseKey(key);
    return names;
  }

  std::vector<std::string> Values(const std::string &path) {
    std::vector<std::string> names;
    SYS_RegKey key = SYS_RegOpenKey(path.c_str());
    if (!key) return names;
    char name[SYS_MAX_PATH];
    for (uint32_t i = 0; SYS_RegEnumValue(key, i, name, sizeof name) == SYS_OK; i++)
      names.push_back(name);
    SYS_RegCloseKey(key);
    return names;
  }
};

}  // namespace

TEST_F(Registry, SetQueryAndDeleteTextValues) {
  SYS_RegKey key = SYS_RegCreateKey(Key("App").c_str());
  ASSERT_NE(key, 0u);
  EXPECT_EQ(SYS_RegSetText(key, "InstallDir", "C:\\Games\\Ashgrove"), SYS_OK);
  EXPECT_EQ(Query(key, "InstallDir"),
            std::string("C:\\Games\\Ashgrove\0", 18));  // with its terminator
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
  SYS_RegKey key = SYS_RegCreateKey(Key("Product\\Settings").c_str());
  ASSERT_NE(key, 0u);
  EXPECT_EQ(SYS_RegSetText(key, "DisplayName", "Ashgrove"), SYS_OK);
  SYS_RegCloseKey(key);

  std::string upper = Key("PRODUCT\\settings");
  key = SYS_RegOpenKey(upper.c_str());
  ASSERT_NE(key, 0u);
  EXPECT_EQ(Query(key, "DISPLAYNAME"), std::string("Ashgrove\0", 9));
  EXPECT_EQ(SYS_RegSetText(key, "displayname", "Other"), SYS_OK);
  EXPECT_EQ(Values(Key("Product\\Settings")).size(), 1u);  // the same value, not a second one
  SYS_RegCloseKey(key);

  SYS_RegKey again = SYS_RegCreateKey(Key("product").c_str());  // opens the existing key
  ASSERT_NE(again, 0u);
  SYS_RegCloseKey(again);
  EXPECT_EQ(SubKeys(machine.RegistryBase()), std::vector<std::string>{"Product"});
}

TEST_F(Registry, OpenCreateAndDeleteKeys) {
  EXPECT_EQ(SYS_RegOpenKey(Key("Nope").c_str()), 0u);
  EXPECT_EQ(SYS_RegCreateKey(nullptr), 0u);
  EXPECT_EQ(SYS_RegOpenKey(nullptr), 0u);
  SYS_RegKey key = SYS_RegCreateKey(Key("A\\B\\C").c_str());  // with its parents
  ASSERT_NE(key, 0u);
  SYS_RegCloseKey(key);
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B").c_str()), SYS_ERR_OS);  // has a subkey
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B\\C").c_str()), SYS_OK);
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B\\C").c_str()), SYS_ERR_OS);
  EXPECT_EQ(SYS_RegDeleteKey(Key("A\\B").c_str()), SYS_OK);
  EXPECT_EQ(SubKeys(Key("A")), std::vector<std::string>{});
}

TEST_F(Registry, EnumerationByIndex) {
  for (const char *name : {"Zeta", "alpha", "Mid"}) {
    SYS_RegKey k = SYS_RegCreateKey(Key(std::string("E\\") + name).c_str());
    ASSERT_NE(k, 0u);
    SYS_RegCloseKey(k);
  }
  SYS_RegKey key = SYS_RegOpenKey(Key("E").c_str());
  ASSERT_NE(key, 0u);
  EXPECT_EQ(SYS_RegSetText(key, "one", "1"), SYS_OK);
  EXPECT_EQ(SYS_RegSetText(key, "two", "2"), SYS_OK);

  std::vector<std::string> keys = SubKeys(Key("E"));
  EXPECT_EQ(keys, (std::vector<std::string>{"alpha", "Mid", "Zeta"}));  // sorted, case ignored
  std::vector<std::string> values = Values(Key("E"));
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (std::vector<std::string>{"one", "two"}));

  char name[SYS_MAX_PATH];
  EXPECT_EQ(SYS_RegEnumKey(key, 3, name, sizeof name), SYS_REG_NO_MORE);
  EXPECT_EQ(SYS_RegEnumValue(key, 2, name, sizeof name), SYS_REG_NO_MORE);
  char tiny[3];
  EXPECT_EQ(SYS_RegEnumKey(key, 0, tiny, sizeof tiny), SYS_ERR_OS);  // "alpha" does not fit
  SYS_RegCloseKey(key);
}

TEST_F(Registry, DeleteKeyTreeRemovesNestedKeysAndValues) {
  const char *paths[] = {"T\\a", "T\\a\\deep\\deeper", "T\\b", "T\\b\\x"};
  for (const char *p : paths) {
    SYS_RegKey k = SYS_RegCreateKey(Key(p).c_str());
    ASSERT_NE(k, 0u);
    EXPECT_EQ(SYS_RegSetText(k, "v1", "one"), SYS_OK);
    EXPECT_EQ(SYS_RegSetText(k, "v2", "two"), SYS_OK);
    SYS_RegCloseKey(k);
  }
  SYS_RegKey sibling = SYS_RegCreateKey(Key("T2").c_str());
  SYS_RegCloseKey(sibling);

  EXPECT_EQ(SYS_RegDeleteKeyTree(Key("T").c_str()), SYS_OK);
  EXPECT_EQ(SYS_RegOpenKey(Key("T").c_str()), 0u);
  EXPECT_EQ(SubKeys(machine.RegistryBase()), std::vector<std::string>{"T2"});
}

TEST_F(Registry, DeleteKeyTreeOfAMissingKeyChangesNothing) {
  SYS_RegKey k = SYS_RegCreateKey(Key("Keep\\Child").c_str());
  ASSERT_NE(k, 0u);
  EXPECT_EQ(SYS_RegSetText(k, "v", "x"), SYS_OK);
  SYS_RegCloseKey(k);
  EXPECT_EQ(SYS_RegDeleteKeyTree(Key("Keep\\Missing").c_str()), SYS_ERR_OS);
  EXPECT_EQ(SYS_RegDeleteKeyTree(Key("Missing").c_str()), SYS_ERR_OS);
  EXPECT_EQ(SubKeys(Key("Keep")), std::vector<std::string>{"Child"});
  EXPECT_EQ(Values(Key("Keep\\Child")), std::vector<std::string>{"v"});
}
