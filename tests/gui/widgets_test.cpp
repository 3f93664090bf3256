// Widgets with something to guard: what assistive technology reads and the
// focus mark, the button's hold on its icons, and the message box that
// keeps every key and press from the widgets behind it.
#include "gui_test_util.h"

namespace {

std::vector<uint32_t> g_answers;

uint32_t Record(c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t a, uintptr_t) {
  if (msg == GN_MSGBOX_RESULT) g_answers.push_back(uint32_t(a));
  return 0;
}

}  // namespace

// The visible widgets that describe themselves, with role, name or value,
// state and place; the focus and a progress step raise events naming the
// child; the focus mark is drawn around the focused widget.
TEST_F(GuiTest, WidgetsDescribeThemselvesAndTheFocusIsMarked) {
  c_GUIB_Panel *panel = new c_GUIB_Panel(Params(10, 10, 150, 80));
  c_GUIB_Button *button = new c_GUIB_Button(Params(5, 5, 40, 14, panel));
  button->SetText("Go");
  button->Enable(false);
  c_GUIB_CheckBox *box = new c_GUIB_CheckBox(Params(5, 25, 80, 14, panel));
  box->SetText("Tick");
  new c_GUIB_Label(Params(90, 45, 20, 12, panel));  // empty: nothing to read
  c_GUIB_ProgressBar *bar = new c_GUIB_ProgressBar(Params(5, 60, 80, 10, panel));
  c_GUIB_Panel *hidden = new c_GUIB_Panel(Params(0, 0, 20, 20));
  (new c_GUIB_Button(Params(0, 0, 10, 10, hidden)))->SetText("Hidden");
  hidden->Show(false);
  box->SetFocus();
  desk->InputKey(' ', true);
  bar->SetValue(50, 0);
  const std::vector<GUI_Description> all = GUI_DescribeTree(desk);
  ASSERT_EQ(all.size(), 3u);
  const struct {
    uint32_t role;
    std::u16string name, value;
    uint32_t state;
    int32_t left, top;
  } want[] = {{ACC_BUTTON, u"Go", u"", ACCS_DISABLED, 15, 15},
              {ACC_CHECKBOX, u"Tick", u"", ACCS_FOCUSED | ACCS_CHECKED, 15, 35},
              {ACC_PROGRESS, u"", u"50%", 0, 15, 70}};
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_TRUE(all[i].role == want[i].role && all[i].name == want[i].name &&
                all[i].value == want[i].value && all[i].state == want[i].state &&
                all[i].rect.left == want[i].left && all[i].rect.top == want[i].top)
        << i;
  }
  const auto &events = desk->AccessibleEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_TRUE(events[0].event == ACC_EVENT_FOCUS && events[0].child == 2);
  EXPECT_TRUE(events[1].event == ACC_EVENT_VALUE && events[1].child == 3);
  PumpAt(2000);
  EXPECT_EQ(desk->Screen()->GetPixel(13, 40), 0xFFFFF080u);
  box->KillFocus();
  PumpAt(3000);
  EXPECT_NE(desk->Screen()->GetPixel(13, 40), 0xFFFFF080u);  // gone with the focus
}

TEST_F(GuiTest, ButtonIconsAreHeldUntilTheButtonGoes) {
  auto *b = new c_GUIB_Button(Params(10, 10, 60, 20));
  c_GUIB_Bitmap *icon = new c_GUIB_Bitmap(8, 8);
  EXPECT_EQ(b->SetIcon(icon, 9), GUI_ERR_BAD_ID);
  ASSERT_EQ(b->SetIcon(icon, 0), 0u);
  EXPECT_EQ(icon->RefCount(), 2);
  b->Release();
  EXPECT_EQ(icon->RefCount(), 1);
  icon->Release();
}

TEST_F(GuiTest, MessageBoxKeysAnswerAndNeverReachTheWidgetBehind) {
  struct Case {
    uint32_t mask, key, answer;
  } cases[] = {
      {MBB_OK | MBB_CANCEL, 13, 0},
      {MBB_OK, 13, MBB_OK},
      {MBB_YES | MBB_NO, 27, MBB_NO},
      {MBB_OK, 27, 0},
      {0x100, 13, 0},  // no button: no key answers
  };
  uint32_t now = 1000;
  for (const Case &c : cases) {
    SCOPED_TRACE("mask " + std::to_string(c.mask) + " key " + std::to_string(c.key));
    g_answers.clear();
    std::vector<std::string> log;
    auto *behind = new Probe(Params(0, 0, 200, 100), &log, "behind");
    behind->SetFocus();
    c_GUIB_MessageBox *box = ShowMessageBox(desk, "T", "x", c.mask, Record);
    const uint32_t id = box->GetId();
    log.clear();  // losing the focus to the box
    desk->InputKey(c.key, true);
    desk->InputKey(c.key, false);
    Click(2, 2);  // outside the box: swallowed
    EXPECT_TRUE(log.empty());
    PumpAt(now += 30);
    c_GUIB_Widget *still = ctx->FindWidget(id);
    EXPECT_EQ(g_answers, c.answer ? std::vector<uint32_t>{c.answer} : std::vector<uint32_t>{});
    EXPECT_EQ(still != nullptr, c.answer == 0);
    if (still) {
      still->Release();
      box->Release();
    }
    behind->Release();
  }
}
