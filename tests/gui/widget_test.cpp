// Widget lifetimes and the desktop's hold on them: capture, hover, focus,
// the active child and handlers must never point at a widget that is gone,
// keys never reach a disabled widget, and a button holds its icons.
#include "gui_test_util.h"

using WidgetTest = GuiTest;
using Log = std::vector<std::string>;

TEST_F(WidgetTest, CaptureRoutesEverythingToTheHolderAndEndsWithIt) {
  Log log;
  auto *panel = new Probe(Params(20, 20, 100, 60), &log, "panel");
  auto *holder = new Probe(Params(10, 10, 20, 20, panel), &log, "holder");
  new Probe(Params(150, 0, 40, 40), &log, "other");
  holder->Capture();
  desk->InputMouse(GM_LBUTTON_DOWN, 160, 10);  // over "other"
  EXPECT_EQ(log, Log{"holder down 130,-20 clip 0,0,20,20 b1"});
  holder->ReleaseCapture();
  log.clear();
  desk->InputMouse(GM_LBUTTON_UP, 160, 10);
  EXPECT_EQ(log, Log{"other up 10,10 clip 0,0,40,40 b0"});
  // A captured widget that dies gives the capture back.
  holder->Capture();
  holder->Release();
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
  desk->InputMouse(GM_MOUSE_MOVE, 160, 12);
}

TEST_F(WidgetTest, HoverFocusAndActiveChildDieWithTheirWidget) {
  auto *a = new c_GUIB_Widget(Params(0, 0, 50, 50));
  desk->InputMouse(GM_MOUSE_MOVE, 10, 10);
  EXPECT_TRUE(a->GetFlags() & WF_HOVER);
  a->SetFocus();
  a->Release();
  EXPECT_EQ(desk->HoverWidget(), nullptr);
  EXPECT_EQ(desk->FocusWidget(), nullptr);
  auto *group = new c_GUIB_Widget(Params(0, 0, 100, 100, nullptr, WF_ACTIVATABLE));
  auto *b = new c_GUIB_Widget(Params(50, 0, 40, 40, group, WF_ACTIVATABLE));
  desk->InputMouse(GM_LBUTTON_DOWN, 60, 10);
  EXPECT_EQ(group->ActiveChild(), b);
  b->Release();
  EXPECT_EQ(group->ActiveChild(), nullptr);
  desk->InputMouse(GM_LBUTTON_UP, 60, 10);
}

TEST_F(WidgetTest, KeysSkipADisabledFocusWidget) {
  Log log;
  auto *b = new Probe(Params(0, 0, 10, 10), &log, "b");
  b->SetFocus();
  log.clear();
  desk->InputKey('A', true);
  EXPECT_EQ(log, (Log{"b keydown " + std::to_string(KW_CHAR | 'a')}));
  b->Enable(false);
  desk->InputKey('A', false);  // key up ignores the state
  desk->InputKey('A', true);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(log.back(), "b keyup " + std::to_string(KW_CHAR | 'a'));
}

TEST_F(WidgetTest, HandlersChangedDuringACall) {
  static std::vector<int> calls;
  static WidgetHandlerFn s_first, s_stopper;
  s_first = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(1);
    return 0;
  };
  s_stopper = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(2);
    return 1;
  };
  // A handler that removes a later one and adds a new one: the removed one is
  // skipped, the new one waits for the next call, and its non-zero answer
  // ends the chain.
  auto v = new c_GUIB_Widget(Params(0, 0, 10, 10));
  v->AddHandler(s_first, 0);
  v->AddHandler(
      [](c_GUIB_Widget *self, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
        calls.push_back(9);
        self->RemoveHandler(s_first);
        self->AddHandler(s_stopper, 0);
        return 0;
      },
      0);
  calls.clear();
  v->CallHandlers(GN_CLICKED, 0, 0);
  EXPECT_EQ(v->CallHandlers(GN_CLICKED, 0, 0), 1u);
  EXPECT_EQ(calls, (std::vector<int>{9, 2}));
}

TEST_F(WidgetTest, DeferredDestruction) {
  Log log;
  bool gone = false, child_gone = false;
  auto *w = new Probe(Params(0, 0, 10, 10), &log, "w");
  auto *kid = new Probe(Params(0, 0, 5, 5, w), &log, "kid");
  w->destroyed = &gone;
  kid->destroyed = &child_gone;
  w->RequestDestroy();
  w->RequestDestroy();  // queued once
  EXPECT_FALSE(gone);
  PumpAt(1001);
  EXPECT_TRUE(gone && child_gone);
  // An extra reference keeps the widget alive; its parent's death leaves a
  // held child detached, not dangling.
  gone = false;
  auto *x = new Probe(Params(0, 0, 10, 10), &log, "x");
  x->destroyed = &gone;
  x->AddRef();
  x->RequestDestroy();
  PumpAt(1003);
  EXPECT_FALSE(gone);
  auto *y = new Probe(Params(0, 0, 5, 5, x), &log, "y");
  y->AddRef();
  x->Release();
  EXPECT_TRUE(gone);
  EXPECT_EQ(y->ParentPtr(), nullptr);
  y->Release();
}

TEST_F(WidgetTest, RegistriesHoldTheirOwnReferences) {
  uintptr_t v = 0;
  EXPECT_EQ(ctx->GetProperty(2, &v), GUI_ERR_BAD_ID);
  EXPECT_EQ(ctx->SetProperty(34, 1), GUI_ERR_BAD_ID);
  // A second widget with a taken id is not registered over the first, and
  // its end does not unregister the first.
  c_GUIB_Widget *a = new c_GUIB_Widget(Params(0, 0, 4, 4));
  WidgetCreateParams p = Params(0, 0, 4, 4);
  p.id = a->GetId();
  (new c_GUIB_Widget(p))->Release();
  c_GUIB_Widget *found = ctx->FindWidget(a->GetId());
  EXPECT_EQ(found, a);
  if (found) found->Release();
  const uint32_t id = a->GetId();
  a->Release();
  EXPECT_EQ(ctx->FindWidget(id), nullptr);
  // Images are kept as copies: the caller's goes with its last release.
  c_GUIB_Bitmap *image = new c_GUIB_Bitmap(3, 1);
  ASSERT_EQ(ctx->RegisterImage(7, image), 0u);
  EXPECT_EQ(image->RefCount(), 1);
  image->Release();
  c_GUIB_Bitmap *got = nullptr;
  ASSERT_EQ(ctx->GetImage(7, &got), 0u);
  EXPECT_EQ(got->Width(), 3u);
  got->Release();
}

TEST_F(WidgetTest, ButtonIconsAreHeldUntilTheButtonGoes) {
  auto *b = new c_GUIB_Button(Params(10, 10, 60, 20));
  c_GUIB_Bitmap *icon = new c_GUIB_Bitmap(8, 8);
  EXPECT_EQ(b->SetIcon(icon, 9), GUI_ERR_BAD_ID);
  ASSERT_EQ(b->SetIcon(icon, 0), 0u);
  EXPECT_EQ(icon->RefCount(), 2);
  b->Release();
  EXPECT_EQ(icon->RefCount(), 1);
  icon->Release();
}

// A screen reader is told of the widgets on show only.
TEST_F(WidgetTest, HiddenWidgetsAreNotDescribed) {
  c_GUIB_Panel *hidden = new c_GUIB_Panel(Params(0, 0, 20, 20));
  (new c_GUIB_Button(Params(0, 0, 10, 10, hidden)))->SetText("Hidden");
  (new c_GUIB_Button(Params(30, 0, 10, 10)))->SetText("Shown");
  hidden->Show(false);
  const std::vector<GUI_Description> all = GUI_DescribeTree(desk);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_TRUE(all[0].name == u"Shown");
}

// Esc answers No (or Cancel) where the box has it, and nothing where it
// has not: a box with OK alone waits for OK.
TEST_F(WidgetTest, EscapeAnswersOnlyWhatTheBoxOffers) {
  static std::vector<uint32_t> answers;
  uint32_t now = 1000;
  for (uint32_t mask : {uint32_t(MBB_OK), uint32_t(MBB_YES | MBB_NO)}) {
    answers.clear();
    c_GUIB_MessageBox *box = ShowMessageBox(
        desk, "T", "x", mask,
        [](c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t a, uintptr_t) -> uint32_t {
          if (msg == GN_MSGBOX_RESULT) answers.push_back(uint32_t(a));
          return 0;
        });
    const uint32_t id = box->GetId();
    desk->InputKey(27, true);
    desk->InputKey(27, false);
    PumpAt(now += 30);
    EXPECT_EQ(answers, mask == MBB_OK ? std::vector<uint32_t>{} : std::vector<uint32_t>{MBB_NO});
    if (c_GUIB_Widget *still = ctx->FindWidget(id)) {
      still->Release();
      box->Release();
    }
  }
}
