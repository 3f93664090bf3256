// Message box: sizing, buttons, keys, answers, modality. Dragging by the
// title bar shows in the sampler's frames.
#include "gui_test_util.h"

using MessageBoxTest = GuiTest;

namespace {

std::vector<uint32_t> g_answers;

uint32_t Record(c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t a, uintptr_t) {
  if (msg == GN_MSGBOX_RESULT) g_answers.push_back(uint32_t(a));
  return 0;
}

}  // namespace

TEST_F(MessageBoxTest, SizingAndButtonRow) {
  struct Case {
    const char *text;
    uint32_t mask;
    int32_t w, h;  // box size
    uint32_t buttons;
  } cases[] = {
      {"Hello", MBB_OK | MBB_CANCEL, 2 * 86 - 6 + 16, 10 + 46, 2},
      // Wider than the desktop allows: wrapped onto two lines.
      {"aaaa aaaa aaaa aaaa aaaa aaaa aaaa aaaa ", MBB_OK, 188 + 16, 20 + 46, 1},
  };
  g_answers.clear();
  for (const Case &c : cases) {
    c_GUIB_MessageBox *box = ShowMessageBox(desk, "Title", c.text, c.mask, Record);
    ASSERT_NE(box, nullptr);
    int32_t w, h;
    box->GetSize(&w, &h);
    EXPECT_EQ(w, c.w) << c.text;
    EXPECT_EQ(h, c.h) << c.text;
    EXPECT_EQ(box->ButtonCount(), c.buttons);
    EXPECT_EQ(desk->FocusWidget(), box);
    box->Release();
  }
  // Placing and the button row show in the sampler's frames; clicks at
  // their places are checked below.
  c_GUIB_MessageBox *box = ShowMessageBox(desk, "Title", "Hello", MBB_OK | MBB_CANCEL, Record);
  // Mask 0 shows "Ok"; a mask without any button flag shows none, and then
  // no key can answer: the box stays.
  box->SetButtons(0);
  EXPECT_EQ(box->ButtonCount(), 1u);
  EXPECT_NE(box->ButtonSlot(0), nullptr);
  // Captions from the creator; a null one stays English.
  const char *const texts[4] = {nullptr, "Ja", nullptr, nullptr};
  box->SetButtons(MBB_YES | MBB_NO, texts);
  EXPECT_EQ(Narrow(box->ButtonSlot(1)->GetText()), "Ja");
  EXPECT_EQ(Narrow(box->ButtonSlot(2)->GetText()), "No");
  box->SetButtons(0x100);
  EXPECT_EQ(box->ButtonCount(), 0u);
  desk->InputKey(13, true);
  desk->InputKey(27, true);
  PumpAt(1001);
  c_GUIB_Widget *still = ctx->FindWidget(box->GetId());
  EXPECT_EQ(still, box);
  if (still) still->Release();
  EXPECT_TRUE(g_answers.empty());
}

TEST_F(MessageBoxTest, KeysAnswerAndNeverReachTheWidgetBehind) {
  struct Case {
    uint32_t mask, key, answer;
  } cases[] = {
      {MBB_OK | MBB_CANCEL, 13, 0},   {MBB_OK, 13, MBB_OK},
      {MBB_CANCEL, 32, MBB_CANCEL},   {MBB_YES | MBB_NO | MBB_CANCEL, 27, MBB_CANCEL},
      {MBB_YES | MBB_NO, 27, MBB_NO}, {MBB_OK, 27, 0},
  };
  uint32_t now = 1000;
  for (const Case &c : cases) {
    SCOPED_TRACE("mask " + std::to_string(c.mask) + " key " + std::to_string(c.key));
    g_answers.clear();
    std::vector<std::string> log;
    auto *behind = new Probe(Params(0, 0, 10, 10), &log, "behind");
    behind->SetFocus();
    c_GUIB_MessageBox *box = ShowMessageBox(desk, "T", "x", c.mask, Record);
    const uint32_t id = box->GetId();
    log.clear();  // losing the focus to the box
    desk->InputKey(c.key, true);
    desk->InputKey(c.key, false);
    EXPECT_TRUE(log.empty());
    PumpAt(now += 30);
    c_GUIB_Widget *still = ctx->FindWidget(id);
    if (c.answer) {
      EXPECT_EQ(g_answers, std::vector<uint32_t>{c.answer});
      EXPECT_EQ(still, nullptr);
    } else {
      EXPECT_TRUE(g_answers.empty());
      ASSERT_NE(still, nullptr);
      still->Release();
      box->Release();
    }
    behind->Release();
  }
}

TEST_F(MessageBoxTest, ClickAnswersAndOutsideIsSwallowed) {
  std::vector<std::string> log;
  new Probe(Params(0, 0, 200, 100), &log, "behind");
  g_answers.clear();
  c_GUIB_MessageBox *box = ShowMessageBox(desk, "Question", "Go on?", MBB_OK | MBB_CANCEL, Record);
  const uint32_t id = box->GetId();
  PumpAt(1000);
  log.clear();
  Click(2, 2);  // outside the box
  EXPECT_TRUE(log.empty());
  // Cancel: box at (9, 22), body at y 15, button at (94, 21) in the body.
  Click(9 + 94 + 5, 22 + 15 + 21 + 5);
  EXPECT_EQ(g_answers, std::vector<uint32_t>{MBB_CANCEL});
  c_GUIB_Widget *w = ctx->FindWidget(id);
  EXPECT_EQ(w, box);  // destroyed only by the next pass
  if (w) w->Release();
  PumpAt(1030);
  EXPECT_EQ(ctx->FindWidget(id), nullptr);
  Click(2, 2);
  EXPECT_FALSE(log.empty());  // the box is gone
}
