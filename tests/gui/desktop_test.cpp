// Desktop: key words, update list, pump passes, ticks, closing.
#include "gui_test_util.h"

using DesktopTest = GuiTest;

namespace {

uint32_t Char(uint32_t kw, uint32_t c) {
  return (kw & 0xFFFF0000u) | KW_CHAR | c;
}

}  // namespace

TEST(KeyWordTest, CharacterTable) {
  const uint32_t S = KW_LSHIFT | KW_SHIFT, C = KW_CAPSLOCK, N = KW_NUMLOCK;
  const char *shifted_digits = ")!@#$%^&*(";
  for (uint32_t d = 0; d < 10; ++d) {
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x30 + d), Char(0, '0' + d));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar((0x30 + d) | S), Char(S, uint8_t(shifted_digits[d])));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar((0x60 + d) | N), Char(N, '0' + d));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x60 + d), 0x60 + d);  // without Num Lock: unchanged
  }
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x32 | KW_RSHIFT), Char(KW_RSHIFT, 0x40));
  for (uint32_t k = 0x41; k <= 0x5A; ++k) {
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(k), Char(0, k + 0x20));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(k | S), Char(S, k));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(k | C), Char(C, k));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(k | C | S), Char(C | S, k + 0x20));
  }
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x20), Char(0, ' '));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6A), Char(0, '*'));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6B), Char(0, '+'));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6D), Char(0, '-'));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6F), Char(0, '/'));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6E | N), Char(N, '.'));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6E | S), S | 0x2E);  // the Delete key
  const struct {
    uint32_t key;
    char plain, shifted;
  } punct[] = {{0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
               {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
               {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};
  for (const auto &p : punct) {
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(p.key), Char(0, uint8_t(p.plain)));
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(p.key | S), Char(S, uint8_t(p.shifted)));
  }
  // Ctrl and Alt do not stop the translation; other keys stay as they are.
  const uint32_t ctrl = KW_LCTRL | KW_CTRL;
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x43 | ctrl), Char(ctrl, 'c'));
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x0D | S), 0x0Du | S);
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x70), 0x70u);
}

TEST_F(DesktopTest, ModifierStateThroughTheInputApi) {
  EXPECT_EQ(desk->TranslateVirtualKey(0), 0u);
  desk->InputKey(161, true);  // right Shift
  desk->InputKey(20, true);   // Caps Lock toggles on
  desk->InputKey(20, false);
  desk->InputKey(17, true);  // Ctrl counts as the left one
  EXPECT_EQ(desk->TranslateVirtualKey(0x41),
            0x41u | KW_RSHIFT | KW_SHIFT | KW_CAPSLOCK | KW_LCTRL | KW_CTRL);
  uint32_t state = 0;
  desk->SendUp(GM_GET_KEY_STATE, reinterpret_cast<uintptr_t>(&state), 0);
  EXPECT_EQ(state, KW_RSHIFT | KW_SHIFT | KW_CAPSLOCK | KW_LCTRL | KW_CTRL);
  desk->InputKey(20, true);  // toggles off again
  desk->InputKey(161, false);
  desk->InputKey(17, false);
  EXPECT_EQ(desk->TranslateVirtualKey(0), 0u);
  desk->InputKey(144, true);
  EXPECT_EQ(desk->TranslateVirtualKey(0), uint32_t(KW_NUMLOCK));
}

TEST(MergeRuleTest, UpdateListMerge) {
  std::vector<GUIB_Rect> v{{0, 0, 10, 10}, {10, 0, 20, 10}};
  GUI_MergeRects(&v);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].right, 20);
  v = {{0, 0, 10, 10}, {20, 0, 30, 10}};
  GUI_MergeRects(&v);
  EXPECT_EQ(v.size(), 2u);
  // A chain merges over several passes; the far one stays.
  v = {{0, 0, 10, 10}, {100, 100, 110, 110}, {20, 0, 30, 10}, {10, 0, 20, 10}};
  GUI_MergeRects(&v);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].left, 100);
  EXPECT_EQ(v[1].left, 0);
  EXPECT_EQ(v[1].right, 30);
  // Partial overlap merges only when the rule allows.
  v = {{0, 0, 10, 10}, {5, 5, 15, 15}};
  GUI_MergeRects(&v);
  EXPECT_EQ(v.size(), 2u);  // 225 > 200
  v = {{0, 0, 10, 10}, {0, 5, 10, 15}};
  GUI_MergeRects(&v);
  EXPECT_EQ(v.size(), 1u);  // 150 <= 200
}

TEST_F(DesktopTest, DirtyRectsDroppedWhenCoveredAndClipped) {
  auto *bg = new c_GUIB_Widget(Params(0, 0, 200, 100));
  (void)bg;
  bg->Invalidate(GUIB_Rect{10, 10, 50, 50});
  bg->Invalidate(GUIB_Rect{10, 10, 50, 50});      // the same again: dropped
  bg->Invalidate(GUIB_Rect{20, 20, 30, 30});      // inside: dropped
  bg->Invalidate(GUIB_Rect{40, 40, 60, 60});      // partly outside: appended
  bg->Invalidate(GUIB_Rect{190, 90, 300, 300});   // clipped to the desktop
  bg->Invalidate(GUIB_Rect{300, 300, 400, 400});  // outside: ignored
  const auto &u = desk->UpdateList();
  ASSERT_EQ(u.size(), 3u);
  EXPECT_EQ(u[1].left, 40);
  EXPECT_EQ(u[2].right, 200);
  EXPECT_EQ(u[2].bottom, 100);
}

TEST_F(DesktopTest, IdlePassComposesAndPresentsNothing) {
  auto *panel = new c_GUIB_Panel(Params(0, 0, 200, 100));
  auto *other = new c_GUIB_Panel(Params(150, 50, 20, 20));
  (void)other;
  PumpAt(1000);
  const uint32_t presented = desk->PresentCount();
  EXPECT_GT(presented, 0u);
  ASSERT_NE(desk->Screen(), nullptr);
  EXPECT_EQ(desk->Screen()->GetPixel(5, 5), panel->GetFillColor(1) | 0xFF000000u);
  for (uint32_t t = 1030; t < 1500; t += 20) PumpAt(t);  // ticks, nothing dirty
  EXPECT_EQ(desk->PresentCount(), presented);
  EXPECT_EQ(desk->ComposeCount(), presented);
  // One dirty widget: exactly its rectangle.
  other->SetFillColor(1, 0xFF0000FF);
  PumpAt(1520);
  EXPECT_EQ(desk->PresentCount(), presented + 1);
  EXPECT_EQ(desk->Screen()->GetPixel(160, 60), 0xFF0000FFu);
}

TEST_F(DesktopTest, TicksStartAfterTheFirstIntervalAndEveryPassThen) {
  static std::vector<uint32_t> ticks;
  ticks.clear();
  auto *w = new c_GUIB_Widget(Params(0, 0, 10, 10));
  (void)w;
  // The desktop was made at 1000: no tick until more than 20 ms passed.
  EXPECT_EQ(desk->TimeToNextTick(), 21u);
  struct TickProbe : c_GUIB_Widget {
    using c_GUIB_Widget::c_GUIB_Widget;
    uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override {
      if (msg == GM_TICK) ticks.push_back(uint32_t(a));
      return c_GUIB_Widget::HandleMessage(msg, a, b);
    }
  };
  new TickProbe(Params(0, 0, 5, 5));
  PumpAt(1020);
  EXPECT_TRUE(ticks.empty());
  PumpAt(1021);
  PumpAt(1022);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{1021, 1022}));
  g_testNow = 1030;
  EXPECT_EQ(desk->TimeToNextTick(), 12u);
  g_testNow = 1050;
  EXPECT_EQ(desk->TimeToNextTick(), 0u);
}

TEST_F(DesktopTest, ClosedDesktopStopsPumping) {
  EXPECT_EQ(desk->PumpOnce(), 1u);
  EXPECT_EQ(desk->SetDisplayMode(2, nullptr), GUI_ERR_BAD_ID);
  EXPECT_EQ(desk->GetDisplayMode(), 0u);
  desk->InputClose();
  EXPECT_EQ(desk->PumpOnce(), 0u);
  EXPECT_TRUE(desk->IsClosed());
}

TEST_F(DesktopTest, MouseButtonsAndDoubleClicks) {
  std::vector<std::string> log;
  auto *p = new Probe(Params(0, 0, 200, 100), &log, "p");
  (void)p;
  desk->InputMouse(GM_LBUTTON_DBLCLK, 1, 1);
  desk->InputMouse(GM_RBUTTON_DOWN, 1, 1);
  desk->InputMouse(GM_MBUTTON_DOWN, 1, 1);
  EXPECT_EQ(desk->MouseButtons(), GMB_LEFT | GMB_RIGHT | GMB_MIDDLE);
  desk->InputMouse(GM_LBUTTON_UP, 1, 1);
  desk->InputMouse(GM_MBUTTON_UP, 1, 1);
  EXPECT_EQ(desk->MouseButtons(), uint32_t(GMB_RIGHT));
  // A move to the last known position is dropped.
  log.clear();
  desk->InputMouse(GM_MOUSE_MOVE, 1, 1);
  EXPECT_TRUE(log.empty());
  desk->InputMouse(GM_MOUSE_MOVE, 2, 1);
  EXPECT_EQ(log.size(), 1u);
}
