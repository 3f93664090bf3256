// Button, check box, label, progress bar and panel.
#include "gui_test_util.h"

using ButtonTest = GuiTest;
using CheckBoxTest = GuiTest;
using LabelTest = GuiTest;
using ProgressTest = GuiTest;
using PanelTest = GuiTest;
using Log = std::vector<std::string>;

namespace {

c_GUIB_Bitmap *Solid(int32_t w, int32_t h, uint32_t argb) {
  c_GUIB_Bitmap *b = new c_GUIB_Bitmap(w, h);
  b->SetColor(argb);
  b->FillArea(0, 0, w, h);
  return b;
}

size_t Count(const Log &log, const std::string &what) {
  size_t n = 0;
  for (const auto &s : log) n += s.find(what) != std::string::npos;
  return n;
}

const uint32_t kBlack = 0xFF000000u;

}  // namespace

TEST_F(ButtonTest, ClickOnlyWhenReleasedOverIt) {
  Log log;
  auto *b = new c_GUIB_Button(Params(10, 10, 60, 20));
  b->AddHandler(LogHandler, reinterpret_cast<uintptr_t>(&log));
  desk->InputMouse(GM_MOUSE_MOVE, 20, 15);
  desk->InputMouse(GM_LBUTTON_DOWN, 20, 15);
  EXPECT_EQ(b->GetState(), 3u);
  EXPECT_EQ(desk->CaptureWidget(), b);
  desk->InputMouse(GM_MOUSE_MOVE, 150, 80);  // out: disarmed, still held
  EXPECT_EQ(b->GetState(), 2u);
  desk->InputMouse(GM_LBUTTON_UP, 150, 80);
  EXPECT_EQ(Count(log, ":clicked:"), 0u);
  EXPECT_EQ(b->GetState(), 0u);
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
  // Out and back in before the release: a click.
  desk->InputMouse(GM_MOUSE_MOVE, 20, 15);
  desk->InputMouse(GM_LBUTTON_DOWN, 20, 15);
  desk->InputMouse(GM_MOUSE_MOVE, 150, 80);
  desk->InputMouse(GM_MOUSE_MOVE, 30, 20);
  EXPECT_EQ(b->GetState(), 3u);
  desk->InputMouse(GM_LBUTTON_UP, 30, 20);
  EXPECT_EQ(Count(log, ":clicked:"), 1u);
  b->Enable(false);
  Click(20, 15);
  EXPECT_EQ(Count(log, ":clicked:"), 1u);
}

TEST_F(ButtonTest, AutoRepeatOnlyWhileOverTheButton) {
  static std::vector<uint32_t> repeats;
  repeats.clear();
  auto *b = new c_GUIB_Button(Params(10, 10, 60, 20));
  b->AddHandler(
      [](c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t, uintptr_t) -> uint32_t {
        if (msg == GN_REPEAT) repeats.push_back(g_testNow);
        return 0;
      },
      0);
  desk->InputMouse(GM_MOUSE_MOVE, 20, 15);
  desk->InputMouse(GM_LBUTTON_DOWN, 20, 15);
  // The sampler's scenario checks the timing of the repeats.
  for (uint32_t t = 1020; t <= 2000; t += 20) PumpAt(t);
  // Out: the repeats stop but the press goes on.
  const size_t n = repeats.size();
  desk->InputMouse(GM_MOUSE_MOVE, 150, 80);
  for (uint32_t t = 2020; t <= 2500; t += 20) PumpAt(t);
  EXPECT_EQ(repeats.size(), n);
  desk->InputMouse(GM_MOUSE_MOVE, 20, 15);
  PumpAt(2520);
  EXPECT_EQ(repeats.size(), n + 1);
  desk->InputMouse(GM_LBUTTON_UP, 20, 15);
  PumpAt(3000);
  EXPECT_EQ(repeats.size(), n + 1);
}

TEST_F(ButtonTest, PressedLookIconSlotsAndReferences) {
  // The sampler's reference frames show the other states and an icon beside
  // a text; none of them is taken with a button held down.
  auto *b = new c_GUIB_Button(Params(10, 10, 60, 20));
  b->SetFillColor(7, 0xFF000070);
  desk->InputMouse(GM_MOUSE_MOVE, 12, 12);
  desk->InputMouse(GM_LBUTTON_DOWN, 12, 12);
  PumpAt(1000);
  EXPECT_EQ(b->Bitmap()->GetPixel(1, 1), 0xFF000070u);
  desk->InputMouse(GM_LBUTTON_UP, 12, 12);
  c_GUIB_Bitmap *icon = Solid(8, 8, 0xFFFF0000);
  EXPECT_EQ(b->SetIcon(icon, 9), GUI_ERR_BAD_ID);
  ASSERT_EQ(b->SetIcon(icon, 0), 0u);
  EXPECT_EQ(icon->RefCount(), 2);
  b->Release();
  EXPECT_EQ(icon->RefCount(), 1);
  icon->Release();
}

TEST_F(ButtonTest, HitMask) {
  auto *b = new c_GUIB_Button(Params(0, 0, 20, 20));
  c_GUIB_Bitmap *mask = Solid(20, 20, kBlack);
  mask->SetPixel(5, 5, 0xFF0A0B0C);  // 33: inside
  mask->SetPixel(6, 5, 0xFF0A0A0A);  // 30: outside
  b->SetHitMask(mask);
  mask->Release();
  EXPECT_TRUE(b->HitTest(5, 5));
  EXPECT_FALSE(b->HitTest(6, 5));
  EXPECT_FALSE(b->HitTest(25, 5));
}

TEST_F(CheckBoxTest, ClickTogglesEvenWhenReleasedOutside) {
  Log log;
  auto *c = new c_GUIB_CheckBox(Params(10, 10, 100, 20));
  c->SetText("Hello");
  c->AddHandler(LogHandler, reinterpret_cast<uintptr_t>(&log));
  const std::string id = std::to_string(c->GetId());
  Click(12, 12);  // on the box
  EXPECT_EQ(c->GetCheck(), 1u);
  desk->InputMouse(GM_LBUTTON_DOWN, 30, 12);  // on the text
  desk->InputMouse(GM_MOUSE_MOVE, 190, 90);
  desk->InputMouse(GM_LBUTTON_UP, 190, 90);
  EXPECT_EQ(c->GetCheck(), 0u);
  EXPECT_EQ(Count(log, id + ":check:1"), 1u);
  EXPECT_EQ(Count(log, id + ":check:0"), 1u);
  Click(100, 12);  // right of the text: not the check box
  EXPECT_EQ(c->GetCheck(), 0u);
  c->SetCheck(3);
  EXPECT_EQ(c->GetCheck(), 0u);
  c->SetCheck(2);
  Click(12, 12);
  EXPECT_EQ(c->GetCheck(), 0u);  // the third state clicks to unchecked
}

TEST_F(CheckBoxTest, TextTooWideIsCutAtTheBox) {
  auto *c = new c_GUIB_CheckBox(Params(0, 0, 100, 20));
  c->SetText("Hello");
  EXPECT_EQ(c->TextRect().left * 1000 + c->TextRect().right, 15045);
  c->SetStyle(c_GUIB_CheckBox::STYLE_BOX_RIGHT);
  c->SetText("a very long text that cannot fit");
  EXPECT_EQ(c->TextRect().left * 1000 + c->TextRect().right, 85);
}

TEST_F(LabelTest, AlignmentAndTallFont) {
  const uint32_t green = 0xFF00FF00;
  auto *l = new c_GUIB_Label(Params(0, 0, 100, 20));
  l->SetFrameStyle(0);
  l->SetFillColor(1, green);
  l->SetText("ab");
  const struct {
    uint32_t align;
    int32_t x, y;
    uint32_t want;
  } cases[] = {
      // Text rect (2, 0, 99, 19).
      {GUIB_ALIGN_RIGHT | GUIB_ALIGN_TOP, 87, 0, kBlack},
      {GUIB_ALIGN_RIGHT | GUIB_ALIGN_TOP, 86, 0, green},
      {GUIB_ALIGN_RIGHT | GUIB_ALIGN_TOP, 98, 10, green},
      {GUIB_ALIGN_LEFT | GUIB_ALIGN_BOTTOM, 2, 18, kBlack},
      {GUIB_ALIGN_LEFT | GUIB_ALIGN_BOTTOM, 2, 8, green},
  };
  uint32_t now = 1000;
  for (const auto &c : cases) {
    l->SetTextAlign(c.align);
    PumpAt(now++);
    EXPECT_EQ(l->Bitmap()->GetPixel(c.x, c.y), c.want) << c.x << "," << c.y;
  }
  // Lower than the font: bottom alignment would put the glyphs at rows
  // -5..4; centred they cover row 5 too. (Wrapping is in the sampler's frames.)
  l->Resize(100, 6);
  PumpAt(now++);
  EXPECT_EQ(l->Bitmap()->GetPixel(2, 5), kBlack);
}

TEST_F(ProgressTest, ValueTextAndFill) {
  auto *p = new c_GUIB_ProgressBar(Params(0, 0, 101, 20));
  const struct {
    int32_t value;
    const char *text;
    int32_t fill;
  } cases[] = {{150, "100 %", 100}, {-5, "  0 %", 0}, {7, "  7 %", 7}};
  for (const auto &c : cases) {
    p->SetValue(c.value, 0);
    EXPECT_STREQ(p->GetPercentText(), c.text);
    EXPECT_EQ(p->GetFillLength(), c.fill) << c.value;
  }

  auto *v = new c_GUIB_ProgressBar(Params(0, 0, 10, 51), c_GUIB_ProgressBar::STYLE_VERTICAL |
                                                             c_GUIB_ProgressBar::STYLE_REVERSED |
                                                             c_GUIB_ProgressBar::STYLE_NO_TEXT);
  v->SetFillColor(4, 0xFF0000AA);
  v->SetFillColor(0, 0xFF0000BB);
  v->SetValue(20, 0);
  EXPECT_EQ(v->GetFillLength(), 10);
  PumpAt(1002);
  EXPECT_EQ(v->Bitmap()->GetPixel(5, 9), 0xFF0000AAu);
  EXPECT_EQ(v->Bitmap()->GetPixel(5, 10), 0xFF0000BBu);
}

TEST_F(PanelTest, CentredImageOnItsFill) {
  auto *p = new c_GUIB_Panel(Params(0, 0, 100, 50));
  c_GUIB_Bitmap *img = Solid(40, 20, 0xFFAA0000);
  ASSERT_EQ(p->SetBackground(0xFF00AA00, img, PANEL_CENTRE), 0u);
  EXPECT_EQ(img->RefCount(), 1);  // a copy is kept
  img->Release();
  PumpAt(1000);
  const struct {
    int32_t x, y;
    uint32_t want;
  } px[] = {{29, 25, 0xFF00AA00}, {30, 14, 0xFF00AA00}, {70, 25, 0xFF00AA00},
            {30, 35, 0xFF00AA00}, {30, 15, 0xFFAA0000}, {69, 34, 0xFFAA0000}};
  for (const auto &c : px) EXPECT_EQ(p->Bitmap()->GetPixel(c.x, c.y), c.want) << c.x << "," << c.y;
}

TEST_F(PanelTest, LargeImageTileStretchAndKeep) {
  auto *p = new c_GUIB_Panel(Params(0, 0, 100, 50));
  p->SetFrameStyle(0);
  c_GUIB_Bitmap *big = Solid(120, 60, 0xFF111111);
  big->SetPixel(10, 5, 0xFF222222);
  ASSERT_EQ(p->SetBackground(0xFF00AA00, big, PANEL_CENTRE), 0u);
  PumpAt(1000);
  EXPECT_EQ(p->Bitmap()->GetPixel(0, 0), 0xFF222222u);  // origin (-10, -5), no fill
  EXPECT_EQ(p->Bitmap()->GetPixel(99, 49), 0xFF111111u);

  c_GUIB_Bitmap *tile = Solid(30, 30, 0xFF333333);
  tile->SetPixel(0, 0, 0xFF444444);
  ASSERT_EQ(p->SetBackground(0, tile, PANEL_TILE | PANEL_KEEP_IMAGE), 0u);
  c_GUIB_Bitmap *kept = nullptr;
  uint32_t style = 0;
  p->GetBackground(nullptr, &kept, &style);
  EXPECT_EQ(kept, tile);
  EXPECT_EQ(style, uint32_t(PANEL_TILE));
  PumpAt(1001);
  EXPECT_EQ(p->Bitmap()->GetPixel(90, 30), 0xFF444444u);
  EXPECT_EQ(p->Bitmap()->GetPixel(91, 30), 0xFF333333u);

  ASSERT_EQ(p->SetBackground(0, big, PANEL_STRETCH), 0u);
  p->GetBackground(nullptr, &kept, nullptr);
  EXPECT_EQ(kept->Width(), 100u);
  EXPECT_EQ(kept->Height(), 50u);
  p->Resize(120, 60);  // not stretched again
  EXPECT_EQ(kept->Width(), 100u);
  PumpAt(1002);
  EXPECT_EQ(p->SetBackground(0, big, 3), GUI_ERR_BAD_ARG);
  EXPECT_FALSE(p->GetFlags() & WF_DIRTY);
  big->Release();
  tile->Release();
}

TEST_F(PanelTest, ColourOnlyAndActiveMark) {
  auto *p = new c_GUIB_Panel(Params(0, 0, 40, 40, nullptr, WF_ACTIVATABLE));
  EXPECT_FALSE(p->GetFlags() & WF_FOCUSABLE);
  PumpAt(1000);
  EXPECT_EQ(p->SetBackground(0xFF123456, nullptr, 0), 0u);  // no image before or now
  EXPECT_FALSE(p->GetFlags() & WF_DIRTY);
  p->SetFillColor(1, 0xFF123456);
  Click(20, 10);
  EXPECT_TRUE(p->GetFlags() & WF_ACTIVE);
  PumpAt(1001);
  EXPECT_EQ(p->Bitmap()->GetPixel(20, 10), 0xFF123456u);
  EXPECT_EQ(p->Bitmap()->GetPixel(20, 20), kBlack);  // the diagonal of the active mark
}

// What assistive technology reads: the visible widgets that describe
// themselves, with role, name or value, state and place; the focus, a
// toggle by Space and a progress step raise events naming the child; the
// focus mark is drawn around the focused widget.
TEST_F(GuiTest, WidgetsDescribeThemselvesAndTheFocusIsMarked) {
  c_GUIB_Panel *panel = new c_GUIB_Panel(Params(10, 10, 150, 80));
  c_GUIB_Button *button = new c_GUIB_Button(Params(5, 5, 40, 14, panel));
  button->SetText("Go");
  button->Enable(false);
  c_GUIB_CheckBox *box = new c_GUIB_CheckBox(Params(5, 25, 80, 14, panel));
  box->SetText("Tick");
  (new c_GUIB_Label(Params(5, 45, 80, 12, panel)))->SetText("Hello");
  new c_GUIB_Label(Params(90, 45, 20, 12, panel));  // empty: nothing to read
  c_GUIB_ProgressBar *bar = new c_GUIB_ProgressBar(Params(5, 60, 80, 10, panel));
  bar->SetValue(42, 0);
  c_GUIB_Panel *hidden = new c_GUIB_Panel(Params(0, 0, 20, 20));
  (new c_GUIB_Button(Params(0, 0, 10, 10, hidden)))->SetText("Hidden");
  hidden->Show(false);

  box->SetFocus();
  desk->InputKey(' ', true);
  bar->SetValue(50, 0);
  const std::vector<GUI_Description> all = GUI_DescribeTree(desk);
  ASSERT_EQ(all.size(), 4u);
  const struct {
    uint32_t role;
    std::u16string name, value;
    uint32_t state;
    GUIB_Rect rect;
  } want[] = {{ACC_BUTTON, u"Go", u"", ACCS_DISABLED, {15, 15, 55, 29}},
              {ACC_CHECKBOX, u"Tick", u"", ACCS_FOCUSED | ACCS_CHECKED, {15, 35, 95, 49}},
              {ACC_TEXT, u"Hello", u"", 0, {15, 55, 95, 67}},
              {ACC_PROGRESS, u"", u"50%", 0, {15, 70, 95, 80}}};
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].role, want[i].role) << i;
    EXPECT_TRUE(all[i].name == want[i].name && all[i].value == want[i].value) << i;
    EXPECT_EQ(all[i].state, want[i].state) << i;
    const GUIB_Rect &r = all[i].rect;
    EXPECT_TRUE(r.left == want[i].rect.left && r.top == want[i].rect.top &&
                r.right == want[i].rect.right && r.bottom == want[i].rect.bottom)
        << i;
  }
  const auto &events = desk->AccessibleEvents();
  ASSERT_EQ(events.size(), 3u);  // 42 %, the focus, 50 %
  EXPECT_TRUE(events[0].event == ACC_EVENT_VALUE && events[0].child == 4);
  EXPECT_TRUE(events[1].event == ACC_EVENT_FOCUS && events[1].child == 2);
  EXPECT_TRUE(events[2].event == ACC_EVENT_VALUE && events[2].child == 4);

  PumpAt(2000);
  const GUIB_Rect ring = desk->FocusRing();
  EXPECT_TRUE(ring.left == 12 && ring.top == 32 && ring.right == 98 && ring.bottom == 52);
  EXPECT_EQ(desk->Screen()->GetPixel(12, 40), kBlack);
  EXPECT_EQ(desk->Screen()->GetPixel(13, 40), 0xFFFFF080u);
  box->KillFocus();
  PumpAt(3000);
  EXPECT_NE(desk->Screen()->GetPixel(13, 40), 0xFFFFF080u);  // gone with the focus
}
