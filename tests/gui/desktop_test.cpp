// Desktop: key words, update list, pump passes, ticks, closing.
#include "gui_test_util.h"

using DesktopTest = GuiTest;

TEST(KeyWordTest, CharacterTranslation) {
  const uint32_t S = KW_LSHIFT | KW_SHIFT, C = KW_CAPSLOCK, N = KW_NUMLOCK, R = KW_RSHIFT;
  const uint32_t ctrl = KW_LCTRL | KW_CTRL;
  const struct {
    uint32_t in;
    uint32_t ch;  // the character, or 0 when the key word stays as it was
  } cases[] = {
      {'0', '0'},     {'9' | S, '('},     {'2' | R, '@'},    {'A', 'a'},      {'Z' | S, 'Z'},
      {'Q' | C, 'Q'}, {'Q' | C | S, 'q'}, {'C' | ctrl, 'c'}, {0x60 | N, '0'}, {0x69 | N, '9'},
      {0x60, 0},      {0x20, ' '},        {0x6A, '*'},       {0x6B, '+'},     {0x6D, '-'},
      {0x6F, '/'},    {0x6E | N, '.'},    {0xBA, ';'},       {0xBA | S, ':'}, {0xC0 | S, '~'},
      {0xDC, '\\'},   {0xDE | S, '"'},    {0x0D | S, 0},     {0x70, 0},
  };
  for (const auto &c : cases) {
    const uint32_t want = c.ch ? (c.in & 0xFFFF0000u) | KW_CHAR | c.ch : c.in;
    EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(c.in), want) << std::hex << c.in;
  }
  // Keypad decimal without Num Lock is the Delete key.
  EXPECT_EQ(c_GUIB_Desktop::KeyWordToChar(0x6E | S), S | 0x2E);
}

TEST_F(DesktopTest, ModifierStateThroughTheInputApi) {
  EXPECT_EQ(desk->TranslateVirtualKey(0), 0u);
  desk->InputKey(161, true);  // right Shift
  desk->InputKey(20, true);   // Caps Lock toggles on
  desk->InputKey(20, false);
  desk->InputKey(17, true);  // Ctrl counts as the left one
  const uint32_t held = KW_RSHIFT | KW_SHIFT | KW_CAPSLOCK | KW_LCTRL | KW_CTRL;
  EXPECT_EQ(desk->TranslateVirtualKey(0x41), 0x41u | held);
  uint32_t state = 0;
  desk->SendUp(GM_GET_KEY_STATE, reinterpret_cast<uintptr_t>(&state), 0);
  EXPECT_EQ(state, held);
  desk->InputKey(20, true);  // toggles off again
  desk->InputKey(161, false);
  desk->InputKey(17, false);
  EXPECT_EQ(desk->TranslateVirtualKey(0), 0u);
  desk->InputKey(144, true);
  EXPECT_EQ(desk->TranslateVirtualKey(0), uint32_t(KW_NUMLOCK));
}

TEST(MergeRuleTest, UpdateListMerge) {
  const struct {
    std::vector<GUIB_Rect> in;
    const char *want;
  } cases[] = {
      {{{0, 0, 10, 10}, {10, 0, 20, 10}}, "0,0,20,10"},             // side by side
      {{{0, 0, 10, 10}, {20, 0, 30, 10}}, "0,0,10,10 20,0,30,10"},  // apart
      {{{0, 0, 10, 10}, {5, 5, 15, 15}}, "0,0,10,10 5,5,15,15"},    // box 225 > 200
      {{{0, 0, 10, 10}, {0, 5, 10, 15}}, "0,0,10,15"},              // box 150 <= 200
      // A chain merges over several passes; the far one stays.
      {{{0, 0, 10, 10}, {100, 100, 110, 110}, {20, 0, 30, 10}, {10, 0, 20, 10}},
       "100,100,110,110 0,0,30,10"},
  };
  for (const auto &c : cases) {
    std::vector<GUIB_Rect> v = c.in;
    GUI_MergeRects(&v);
    EXPECT_EQ(RectsText(v), c.want) << RectsText(c.in);
  }
}

TEST_F(DesktopTest, DirtyRectsDroppedWhenCoveredAndClipped) {
  auto *bg = new c_GUIB_Widget(Params(0, 0, 200, 100));
  bg->Invalidate(GUIB_Rect{10, 10, 50, 50});
  bg->Invalidate(GUIB_Rect{10, 10, 50, 50});      // the same again: dropped
  bg->Invalidate(GUIB_Rect{20, 20, 30, 30});      // inside: dropped
  bg->Invalidate(GUIB_Rect{40, 40, 60, 60});      // partly outside: appended
  bg->Invalidate(GUIB_Rect{190, 90, 300, 300});   // clipped to the desktop
  bg->Invalidate(GUIB_Rect{300, 300, 400, 400});  // outside: ignored
  EXPECT_EQ(RectsText(desk->UpdateList()), "10,10,50,50 40,40,60,60 190,90,200,100");
}

TEST_F(DesktopTest, IdlePassComposesAndPresentsNothing) {
  new c_GUIB_Panel(Params(0, 0, 200, 100));
  auto *other = new c_GUIB_Panel(Params(150, 50, 20, 20));
  PumpAt(1000);
  const uint32_t presented = desk->PresentCount();
  EXPECT_GT(presented, 0u);
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
  struct TickProbe : c_GUIB_Widget {
    using c_GUIB_Widget::c_GUIB_Widget;
    uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override {
      if (msg == GM_TICK) ticks.push_back(uint32_t(a));
      return c_GUIB_Widget::HandleMessage(msg, a, b);
    }
  };
  new TickProbe(Params(0, 0, 5, 5));
  // The desktop was made at 1000: no tick until more than 20 ms passed.
  EXPECT_EQ(desk->TimeToNextTick(), 21u);
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

TEST_F(DesktopTest, ButtonsRepeatedMovesAndClosing) {
  std::vector<std::string> log;
  new Probe(Params(0, 0, 200, 100), &log, "p");
  desk->InputMouse(GM_LBUTTON_DBLCLK, 1, 1);
  desk->InputMouse(GM_RBUTTON_DOWN, 1, 1);
  desk->InputMouse(GM_MBUTTON_DOWN, 1, 1);
  EXPECT_EQ(desk->MouseButtons(), GMB_LEFT | GMB_RIGHT | GMB_MIDDLE);
  desk->InputMouse(GM_LBUTTON_UP, 1, 1);
  desk->InputMouse(GM_MBUTTON_UP, 1, 1);
  EXPECT_EQ(desk->MouseButtons(), uint32_t(GMB_RIGHT));
  log.clear();
  desk->InputMouse(GM_MOUSE_MOVE, 1, 1);  // to the last known position: dropped
  EXPECT_TRUE(log.empty());
  desk->InputMouse(GM_MOUSE_MOVE, 2, 1);
  EXPECT_EQ(log.size(), 1u);

  EXPECT_EQ(desk->SetDisplayMode(2, nullptr), GUI_ERR_BAD_ID);
  EXPECT_EQ(desk->PumpOnce(), 1u);
  desk->InputClose();
  EXPECT_EQ(desk->PumpOnce(), 0u);
  EXPECT_TRUE(desk->IsClosed());
}
