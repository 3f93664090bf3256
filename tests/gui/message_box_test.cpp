// Message box: sizing, buttons, keys, answers, dragging, modality.
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
  c_GUIB_MessageBox *box = ShowMessageBox(desk, "Title", "Hello", MBB_OK | MBB_CANCEL, Record);
  ASSERT_NE(box, nullptr);
  int32_t x, y, w, h;
  box->GetPosition(&x, &y);
  box->GetSize(&w, &h);
  EXPECT_EQ(w, 182);  // 2 * 86 - 6 + 16
  EXPECT_EQ(h, 56);   // one line of 10 + 46
  EXPECT_EQ(x, 9);
  EXPECT_EQ(y, 22);
  EXPECT_EQ(box->ButtonCount(), 2u);
  ASSERT_NE(box->ButtonSlot(0), nullptr);
  ASSERT_NE(box->ButtonSlot(3), nullptr);
  EXPECT_EQ(box->ButtonSlot(1), nullptr);
  int32_t bx, by, bx2;
  box->ButtonSlot(0)->GetPosition(&bx, &by);
  box->ButtonSlot(3)->GetPosition(&bx2, nullptr);
  // Body 182 x 41: row (182 - 6 - 160) / 2 = 8, 6 above the bottom.
  EXPECT_EQ(bx, 8);
  EXPECT_EQ(bx2, 94);
  EXPECT_EQ(by, 41 - 6 - 14);
  EXPECT_EQ(desk->FocusWidget(), box);
  EXPECT_TRUE(box->GetFlags() & WF_NO_BITMAP);
  EXPECT_EQ(box->Bitmap(), nullptr);
}

TEST_F(MessageBoxTest, LongTextWrapsAndGrows) {
  std::string text;
  for (int i = 0; i < 8; ++i) text += "aaaa ";
  c_GUIB_MessageBox *box = ShowMessageBox(desk, nullptr, text.c_str(), MBB_OK, nullptr);
  int32_t w, h;
  box->GetSize(&w, &h);
  EXPECT_EQ(w, 188 + 16);
  EXPECT_EQ(h, 20 + 46);  // two lines
  // Mask 0 shows "Ok"; a mask without any button flag shows none.
  box->SetButtons(0);
  EXPECT_EQ(box->ButtonCount(), 1u);
  EXPECT_NE(box->ButtonSlot(0), nullptr);
  box->SetButtons(0x100);
  EXPECT_EQ(box->ButtonCount(), 0u);
  desk->InputKey(13, true);
  desk->InputKey(27, true);
  PumpAt(1001);
  EXPECT_NE(ctx->FindWidget(box->GetId()), nullptr);  // stays: no answer possible
  box->Release();
  box->Release();
}

TEST_F(MessageBoxTest, KeysAnswer) {
  struct Case {
    uint32_t mask, key, answer;
  } cases[] = {
      {MBB_OK | MBB_CANCEL, 13, 0},   {MBB_OK, 13, MBB_OK},
      {MBB_CANCEL, 32, MBB_CANCEL},   {MBB_YES | MBB_NO | MBB_CANCEL, 27, MBB_CANCEL},
      {MBB_YES | MBB_NO, 27, MBB_NO}, {MBB_OK, 27, 0},
  };
  uint32_t now = 1000;
  for (const Case &c : cases) {
    g_answers.clear();
    std::vector<std::string> log;
    auto *behind = new Probe(Params(0, 0, 10, 10), &log, "behind");
    behind->SetFocus();
    c_GUIB_MessageBox *box = ShowMessageBox(desk, "T", "x", c.mask, Record);
    const uint32_t id = box->GetId();
    log.clear();  // losing the focus to the box
    desk->InputKey(c.key, true);
    desk->InputKey(c.key, false);
    EXPECT_TRUE(log.empty()) << "keys reached the widget behind, mask " << c.mask;
    PumpAt(now += 30);
    c_GUIB_Widget *still = ctx->FindWidget(id);
    if (c.answer) {
      EXPECT_EQ(g_answers, std::vector<uint32_t>{c.answer}) << "mask " << c.mask;
      EXPECT_EQ(still, nullptr);
    } else {
      EXPECT_TRUE(g_answers.empty()) << "mask " << c.mask;
      ASSERT_NE(still, nullptr);
      still->Release();
      box->Release();
    }
    behind->Release();
  }
}

TEST_F(MessageBoxTest, ClickAnswersAndOutsideIsSwallowed) {
  std::vector<std::string> log;
  auto *behind = new Probe(Params(0, 0, 200, 100), &log, "behind");
  (void)behind;
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
  w->Release();
  PumpAt(1030);
  EXPECT_EQ(ctx->FindWidget(id), nullptr);
  log.clear();
  Click(2, 2);
  EXPECT_FALSE(log.empty());  // the box is gone
}

TEST_F(MessageBoxTest, TitleBarDragsTheBox) {
  c_GUIB_MessageBox *box = ShowMessageBox(desk, "Drag me", "Text", MBB_OK, Record);
  int32_t x0, y0;
  box->GetPosition(&x0, &y0);
  int32_t bx0, by0;
  box->ButtonSlot(0)->GetPosition(&bx0, &by0);
  desk->InputMouse(GM_MOUSE_MOVE, x0 + 20, y0 + 5);
  desk->InputMouse(GM_LBUTTON_DOWN, x0 + 20, y0 + 5);
  desk->InputMouse(GM_MOUSE_MOVE, x0 + 25, y0 + 12);
  desk->InputMouse(GM_MOUSE_MOVE, x0 + 10, y0 + 9);
  desk->InputMouse(GM_LBUTTON_UP, x0 + 10, y0 + 9);
  int32_t x1, y1;
  box->GetPosition(&x1, &y1);
  EXPECT_EQ(x1, x0 - 10);
  EXPECT_EQ(y1, y0 + 4);
  int32_t bx1, by1;
  box->ButtonSlot(0)->GetPosition(&bx1, &by1);
  EXPECT_EQ(bx1, bx0);  // children move with the box
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
  // The title bar: border, fill colour 1, text at (2, (16 - 10) / 2).
  PumpAt(1000);
  c_GUIB_Bitmap *tb = box->TitleBar()->Bitmap();
  EXPECT_EQ(box->TitleBar()->GetTextColor(0), 0xFFFFFFFFu);
  EXPECT_EQ(tb->GetPixel(0, 0), 0xFF000000u);
  EXPECT_EQ(tb->GetPixel(2, 2), box->TitleBar()->GetFillColor(1));
  EXPECT_EQ(tb->GetPixel(2, 5), 0xFF000000u);
}
