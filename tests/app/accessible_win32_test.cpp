// The installer window as a screen reader sees it: the accessible object of
// its client area (AccessibleObjectFromWindow, as readers ask for it), on
// the menu, the shortcuts page and the uninstall question, printed as a
// tree, and the uninstall page's check box before and after Space.
#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>
#include <windows.h>  // before the other system headers, which need it

#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "gui/desktop.h"
#include "installer/state.h"
#include "installer/wizard.h"
#include "platform/com_ref_win32.h"
#include "support/scratch.h"

namespace {

struct Child {
  std::string name, value, role;
  LONG state = 0;
};

std::string Narrow(BSTR s) {
  std::string out;
  for (const OLECHAR *c = s; c && *c; ++c) out += char(*c);
  SysFreeString(s);
  return out;
}

// The children of the window's client object, printed one a line.
std::vector<Child> ReadTree(const char *title) {
  std::vector<Child> children;
  IAccessible *raw = nullptr;
  HWND window = reinterpret_cast<HWND>(InstallerDesktop->GetWindowHandle());
  if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void **>(&raw))))
    return children;
  ComRef<IAccessible> owner;
  owner.p = raw;
  IAccessible *acc = raw;
  LONG count = 0;
  acc->get_accChildCount(&count);
  std::printf("%s (%ld children)\n", title, long(count));
  for (LONG i = 1; i <= count; ++i) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = i;
    Child c;
    BSTR text = nullptr;
    if (acc->get_accName(id, &text) == S_OK) c.name = Narrow(text);
    text = nullptr;
    if (acc->get_accValue(id, &text) == S_OK) c.value = Narrow(text);
    VARIANT v;
    VariantInit(&v);
    char role[64] = "";
    if (acc->get_accRole(id, &v) == S_OK) GetRoleTextA(DWORD(v.lVal), role, sizeof role);
    c.role = role;
    if (acc->get_accState(id, &v) == S_OK) c.state = v.lVal;
    LONG x = 0, y = 0, w = 0, h = 0;
    acc->accLocation(&x, &y, &w, &h, id);
    std::printf("  %2ld %-14s \"%s\"%s%s%s%s%s  at %ld,%ld %ldx%ld\n", long(i), c.role.c_str(),
                c.name.substr(0, 48).c_str(), c.value.empty() ? "" : " value ", c.value.c_str(),
                (c.state & STATE_SYSTEM_FOCUSED) ? " focused" : "",
                (c.state & STATE_SYSTEM_UNAVAILABLE) ? " disabled" : "",
                (c.state & STATE_SYSTEM_CHECKED) ? " checked" : "", long(x), long(y), long(w),
                long(h));
    children.push_back(c);
  }
  return children;
}

const Child *Find(const std::vector<Child> &tree, const std::string &role) {
  for (const Child &c : tree)
    if (c.role == role) return &c;
  return nullptr;
}

int Walk(void *) {
  AppLoopPass();
  std::vector<Child> menu = ReadTree("menu (page 0)");
  std::string names;
  for (const Child &c : menu)
    if (c.role == "push button")
      names += c.name + (c.state & STATE_SYSTEM_UNAVAILABLE ? "- " : " ");
  EXPECT_EQ(names, "Play- Install Web Quit ");

  INST_ShowPage(4);
  AppLoopPass();
  EXPECT_NE(Find(ReadTree("shortcuts (page 4)"), "check button"), nullptr);

  INST_ShowPage(15);
  AppLoopPass();
  const Child *box = Find(ReadTree("uninstall question (page 15)"), "check button");
  EXPECT_TRUE(box && !(box->state & STATE_SYSTEM_CHECKED));
  HWND window = reinterpret_cast<HWND>(InstallerDesktop->GetWindowHandle());
  SendMessageW(window, WM_KEYDOWN, VK_TAB, 0);    // from Next to the box
  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);  // ticks it
  AppLoopPass();
  box = Find(ReadTree("after Tab and Space"), "check button");
  EXPECT_TRUE(box && (box->state & STATE_SYSTEM_CHECKED) && (box->state & STATE_SYSTEM_FOCUSED));
  EXPECT_EQ(Installer.remove_confirmation, 1u);
  return 0;
}

uint32_t Quietly(const char *, const char *, uint32_t buttons) {
  return buttons == SYS_MB_OKCANCEL ? SYS_ID_CANCEL : SYS_ID_OK;
}

TEST_F(ScratchTest, ScreenReaderSeesEveryControlOfThePage) {
  // A disc with an empty installer archive: built-in texts, no pictures.
  ASSERT_TRUE(machine.MakeDirs(machine.Path("disc")));
  std::string archive(52, '\0');
  archive.replace(0, 4, "BIGF");
  archive[8] = archive[20] = 52;  // archive size, directory offset
  ASSERT_TRUE(machine.WriteFile(machine.Path("disc\\setup.cbf"), archive));
  const std::string line = "\"" + machine.Path("disc\\setup.exe") + "\"";
  SYS_SetCommandLine(line.c_str());
  SYS_SetMessageBoxAnswerer(Quietly);
  EXPECT_EQ(AppMain(0, Walk, nullptr), 0);
  SYS_SetMessageBoxAnswerer(nullptr);
  SYS_SetCommandLine(nullptr);
}

}  // namespace
