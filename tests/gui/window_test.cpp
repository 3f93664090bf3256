// The desktop's window: on Windows a real top-level window whose client area
// is exactly the desktop and whose messages are translated; natively display
// mode 1 is refused and the desktop stays headless. Runs natively and in
// wintests.exe under Wine.
#include <gtest/gtest.h>

#include <vector>

#include "gui/gui.h"

namespace {

struct EventLog : c_GUIB_Widget {
  using c_GUIB_Widget::c_GUIB_Widget;
  std::vector<uint32_t> events;
  void OnEvent(uint32_t e, const GUI_Point *, uint32_t, const GUIB_Rect *) override {
    if (e <= GM_MBUTTON_UP) events.push_back(e);
  }
};

// Windows message numbers, as the window procedure receives them.
const uint32_t kWmClose = 0x0010, kWmLButtonDblClk = 0x0203, kWmRButtonDblClk = 0x0206;

intptr_t Point(int x, int y) {
  return intptr_t((y << 16) | (x & 0xFFFF));
}

}  // namespace

TEST(DesktopWindow, ClientAreaMessagesAndClose) {
  const uint32_t no_font[1] = {0};
  GuiContext *ctx = nullptr;
  ASSERT_LE(GuiStartup(no_font, &ctx), 1u);
  WidgetCreateParams p = {};
  p.width = 640;
  p.height = 284;
  p.context = ctx;
  c_GUIB_Desktop *desk = new c_GUIB_Desktop(p);
  WidgetCreateParams c = p;
  c.parent = desk;
  EventLog *probe = new EventLog(c);
  const uint32_t rc = desk->SetDisplayMode(1, nullptr);
  if (rc == GUI_ERR_WINDOW) {
    // Native: no window system, the desktop stays headless.
    EXPECT_EQ(desk->GetDisplayMode(), 0u);
    EXPECT_EQ(desk->GetWindowHandle(), 0u);
  } else {
    ASSERT_EQ(rc, 0u);
    EXPECT_EQ(desk->GetDisplayMode(), 1u);
    EXPECT_NE(desk->GetWindowHandle(), 0u);
    int32_t w = 0, h = 0;
    desk->GetClientSize(&w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 284);
    EXPECT_EQ(desk->PumpOnce(), 1u);
    GUI_DesktopHost *host = desk;  // the window procedure's view of the desktop
    // Right double-click arrives as a right press; left keeps its own event.
    // (The real pointer may add moves of its own: only presses are compared.)
    host->WindowMessage(kWmRButtonDblClk, 0, Point(10, 10));
    host->WindowMessage(kWmLButtonDblClk, 0, Point(12, 10));
    std::vector<uint32_t> presses;
    for (uint32_t e : probe->events)
      if (e != GM_MOUSE_MOVE) presses.push_back(e);
    EXPECT_EQ(presses, (std::vector<uint32_t>{GM_RBUTTON_DOWN, GM_LBUTTON_DBLCLK}));
    EXPECT_EQ(desk->MouseButtons(), uint32_t(GMB_LEFT | GMB_RIGHT));
    // A second window replaces the first.
    ASSERT_EQ(desk->SetDisplayMode(1, nullptr), 0u);
    host->WindowMessage(kWmClose, 0, 0);
    EXPECT_EQ(desk->PumpOnce(), 0u);
    EXPECT_TRUE(desk->IsClosed());
  }
  EXPECT_EQ(desk->SetDisplayMode(0, nullptr), 0u);
  EXPECT_EQ(desk->GetWindowHandle(), 0u);
  desk->Release();
  GuiShutdown();
}
