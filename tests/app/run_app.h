// Runs the whole program (AppMain) with a test body in place of its main
// loop, and drives it there as a user would: clicks at widgets through the
// desktop's input path, waits for pages.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/app.h"
#include "gui/desktop.h"
#include "installer/wizard.h"

inline int RunAppWith(const std::function<void()> &body) {
  std::function<void()> copy = body;
  return AppMain(
      0,
      [](void *data) {
        (*static_cast<std::function<void()> *>(data))();
        return 0;
      },
      &copy);
}

// A widget's top-left corner in desktop pixels.
inline GUI_Point Origin(c_GUIB_Widget *w) {
  GUI_Point o = {0, 0};
  for (c_GUIB_Widget *p = w; p && p != InstallerDesktop; p = p->ParentPtr()) {
    int32_t x, y;
    p->GetPosition(&x, &y);
    o.x += x;
    o.y += y;
  }
  return o;
}

// Clicks a desktop pixel and runs one pass.
inline void ClickAt(int32_t x, int32_t y) {
  InstallerDesktop->InputMouse(GM_MOUSE_MOVE, x, y);
  InstallerDesktop->InputMouse(GM_LBUTTON_DOWN, x, y);
  InstallerDesktop->InputMouse(GM_LBUTTON_UP, x, y);
  AppLoopPass();
}

// Clicks the middle of a widget.
inline void Click(c_GUIB_Widget *w) {
  ASSERT_NE(w, nullptr);
  int32_t width = 0, height = 0;
  w->GetSize(&width, &height);
  const GUI_Point o = Origin(w);
  ClickAt(o.x + width / 2, o.y + height / 2);
}

// Runs the program until page n is shown (at most ms milliseconds).
inline bool ReachPage(uint32_t n, uint32_t ms = 20000) {
  const uint32_t start = SYS_GetTickCount();
  while (INST_CurrentPage() != n && SYS_GetTickCount() - start < ms && AppLoopPass())
    InstallerDesktop->WaitForWork();
  return INST_CurrentPage() == n;
}

// Next, and the page it should lead to.
inline void Next(uint32_t expected) {
  Click(INST_NextButton());
  ASSERT_TRUE(ReachPage(expected)) << "expected page " << expected << ", on " << INST_CurrentPage();
}

inline std::string LabelText(c_GUIB_Widget *w) {
  std::string s;
  for (const uint16_t *t = w ? w->GetText() : nullptr; t && *t; ++t) s += char(*t);
  return s;
}
