// Widget base: routing, activation, handlers, capture, hover, focus, enable,
// flags and destruction.
#include <algorithm>

#include "gui_test_util.h"
#include "platform/platform.h"

using WidgetTest = GuiTest;
using Log = std::vector<std::string>;

static bool Has(const Log &log, const std::string &line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

TEST_F(WidgetTest, MouseRoutingTranslatesPointAndClip) {
  Log log;
  auto *panel = new Probe(Params(20, 10, 100, 50), &log, "panel");
  auto *child = new Probe(Params(5, 5, 30, 20, panel), &log, "child");
  (void)child;
  desk->InputMouse(GM_LBUTTON_DOWN, 30, 20);
  // The child gets the point and clip in its own coordinates; its parent
  // is not asked once the child took the event.
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "child ev1 5,5 clip 0,0,30,20 b1");
  log.clear();
  desk->InputMouse(GM_LBUTTON_UP, 100, 40);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "panel ev3 80,30 clip 0,0,100,50 b0");
  // Clip narrowed by the parent: a child sticking out of its parent is
  // not hit outside it.
  log.clear();
  auto *wide = new Probe(Params(90, 40, 40, 40, panel), &log, "wide");
  (void)wide;
  desk->InputMouse(GM_MOUSE_MOVE, 125, 65);  // inside wide, outside panel
  EXPECT_TRUE(log.empty());
  desk->InputMouse(GM_MOUSE_MOVE, 115, 55);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "wide ev0 5,5 clip 0,0,10,10 b0");
}

TEST_F(WidgetTest, TopMostChildFirstAndDisabledOrHiddenSkipped) {
  Log log;
  auto *back = new Probe(Params(0, 0, 50, 50), &log, "back");
  auto *front = new Probe(Params(0, 0, 50, 50), &log, "front");
  desk->InputMouse(GM_LBUTTON_DOWN, 10, 10);
  desk->InputMouse(GM_LBUTTON_UP, 10, 10);
  EXPECT_TRUE(Has(log, "front ev1 10,10 clip 0,0,50,50 b1"));
  EXPECT_FALSE(std::any_of(log.begin(), log.end(),
                           [](const std::string &s) { return s.rfind("back", 0) == 0; }));
  log.clear();
  front->Enable(false);
  desk->InputMouse(GM_MOUSE_MOVE, 11, 10);
  EXPECT_TRUE(Has(log, "back ev0 11,10 clip 0,0,50,50 b0"));
  log.clear();
  front->Enable(true);
  front->Show(false);
  desk->InputMouse(GM_MOUSE_MOVE, 12, 10);
  EXPECT_TRUE(Has(log, "back ev0 12,10 clip 0,0,50,50 b0"));
  (void)back;
}

TEST_F(WidgetTest, OutsidePressIsSwallowed) {
  Log log;
  auto *behind = new Probe(Params(0, 0, 200, 100), &log, "behind");
  auto *modal = new Probe(Params(50, 20, 40, 40, nullptr, WF_WANT_OUTSIDE_PRESS), &log, "modal");
  (void)behind;
  (void)modal;
  desk->InputMouse(GM_LBUTTON_DOWN, 5, 5);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "modal ev11 -45,-15 clip 0,0,40,40");
  log.clear();
  desk->InputMouse(GM_LBUTTON_UP, 5, 5);
  desk->InputMouse(GM_MOUSE_MOVE, 6, 6);
  EXPECT_TRUE(log.empty());  // swallowed without a call
  desk->InputMouse(GM_MOUSE_MOVE, 60, 30);
  EXPECT_TRUE(Has(log, "modal ev0 10,10 clip 0,0,40,40 b0"));
}

TEST_F(WidgetTest, SendUpToDisabledRootGivesNothingBroadcastStillDelivers) {
  Log log;
  auto *p = new Probe(Params(0, 0, 10, 10), &log, "p");
  auto *c = new Probe(Params(0, 0, 5, 5, p), &log, "c");
  p->answer = 7;
  p->Enable(false);
  // A disabled receiver answers nothing on the way up...
  uint32_t state = 0xDEAD;
  desk->Enable(false);
  c->SendUp(GM_GET_KEY_STATE, reinterpret_cast<uintptr_t>(&state), 0);
  EXPECT_EQ(state, 0xDEADu);
  desk->Enable(true);
  c->SendUp(GM_GET_KEY_STATE, reinterpret_cast<uintptr_t>(&state), 0);
  EXPECT_EQ(state, 0u);
  // ...but a broadcast without the skip flag reaches disabled widgets.
  EXPECT_EQ(p->Broadcast(GM_INFO, 5, 0, 0), 7u);
  EXPECT_TRUE(Has(log, "p msg44 5"));
  log.clear();
  EXPECT_EQ(p->Broadcast(GM_INFO, 5, 0, BC_SKIP_DISABLED), 0u);
  EXPECT_TRUE(log.empty());
}

TEST_F(WidgetTest, ActivationGroups) {
  Log log;
  auto *group = new Probe(Params(0, 0, 100, 100, nullptr, WF_ACTIVATABLE), &log, "group");
  auto *a = new Probe(Params(0, 0, 40, 40, group, WF_ACTIVATABLE), &log, "a");
  auto *b = new Probe(Params(50, 0, 40, 40, group, WF_ACTIVATABLE), &log, "b");
  desk->InputMouse(GM_LBUTTON_DOWN, 10, 10);
  EXPECT_TRUE(a->GetFlags() & WF_ACTIVE);
  EXPECT_TRUE(group->GetFlags() & WF_ACTIVE);
  EXPECT_EQ(group->ActiveChild(), a);
  EXPECT_EQ(desk->ActiveChild(), group);
  EXPECT_TRUE(Has(log, "a msg22 1"));
  desk->InputMouse(GM_LBUTTON_UP, 10, 10);
  log.clear();
  desk->InputMouse(GM_RBUTTON_DOWN, 60, 10);
  EXPECT_FALSE(a->GetFlags() & WF_ACTIVE);
  EXPECT_TRUE(b->GetFlags() & WF_ACTIVE);
  EXPECT_EQ(group->ActiveChild(), b);
  EXPECT_TRUE(Has(log, "a msg22 0"));
  EXPECT_TRUE(Has(log, "b msg22 1"));
  // The activated widget came to the front of its parent.
  uintptr_t *keys = nullptr;
  uint32_t n = 0;
  ASSERT_EQ(group->ChildList(&keys, &n), 0u);
  ASSERT_EQ(n, 2u);
  EXPECT_EQ(keys[0], reinterpret_cast<uintptr_t>(b));
  SYS_Free(keys);
  // Destroying the active one makes its group forget it.
  b->Release();
  EXPECT_EQ(group->ActiveChild(), nullptr);
}

TEST_F(WidgetTest, HandlerOrderAndSnapshot) {
  c_GUIB_Widget *w = new c_GUIB_Widget(Params(0, 0, 10, 10));
  static std::vector<int> calls;
  calls.clear();
  auto h1 = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(1);
    return 0;
  };
  auto h2 = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(2);
    return 1;
  };
  auto h3 = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(3);
    return 0;
  };
  ASSERT_EQ(w->AddHandler(h1, 0), 0u);
  ASSERT_EQ(w->AddHandler(h2, 0), 0u);
  ASSERT_EQ(w->AddHandler(h3, 0), 0u);
  EXPECT_EQ(w->CallHandlers(GN_CLICKED, 0, 0), 1u);
  EXPECT_EQ(calls, (std::vector<int>{3, 2}));  // newest first; 2 stops the chain
  calls.clear();
  EXPECT_EQ(w->CallHandlers(GM_TOOLTIP_SHOW, 0, 0), 0u);
  EXPECT_EQ(calls, (std::vector<int>{3, 2, 1}));

  // A handler that removes a later one and adds a new one: the removed one is
  // skipped, the new one waits for the next call.
  c_GUIB_Widget *v = new c_GUIB_Widget(Params(0, 0, 10, 10));
  calls.clear();
  v->AddHandler(h1, 0);
  auto editor = [](c_GUIB_Widget *self, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(9);
    self->RemoveHandler(
        [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t { return 0; });
    return 0;
  };
  (void)editor;
  static WidgetHandlerFn s_h1;
  s_h1 = h1;
  auto editor2 = [](c_GUIB_Widget *self, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(9);
    self->RemoveHandler(s_h1);
    self->AddHandler(
        [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
          calls.push_back(5);
          return 0;
        },
        0);
    return 0;
  };
  v->AddHandler(editor2, 0);
  v->CallHandlers(GN_CLICKED, 0, 0);
  EXPECT_EQ(calls, (std::vector<int>{9}));
  calls.clear();
  v->CallHandlers(GN_CLICKED, 0, 0);
  EXPECT_EQ(calls, (std::vector<int>{5, 9}));
  v->Release();
  w->Release();
}

TEST_F(WidgetTest, CaptureRoutesEverythingToTheHolder) {
  Log log;
  auto *panel = new Probe(Params(20, 20, 100, 60), &log, "panel");
  auto *holder = new Probe(Params(10, 10, 20, 20, panel), &log, "holder");
  auto *other = new Probe(Params(150, 0, 40, 40), &log, "other");
  holder->Capture();
  EXPECT_EQ(desk->CaptureWidget(), holder);
  desk->InputMouse(GM_LBUTTON_DOWN, 160, 10);  // over "other"
  ASSERT_EQ(log.size(), 1u);
  // Point relative to the holder, clip narrowed to it.
  EXPECT_EQ(log[0], "holder ev1 130,-20 clip 0,0,20,20 b1");
  EXPECT_EQ(desk->MouseButtons(), GMB_LEFT);
  // Another widget ending "the" capture ends it, whoever holds it.
  desk->SendUp(GM_RELEASE_CAPTURE, reinterpret_cast<uintptr_t>(other), 0);
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
  log.clear();
  desk->InputMouse(GM_LBUTTON_UP, 160, 10);
  EXPECT_TRUE(Has(log, "other ev3 10,10 clip 0,0,40,40 b0"));
  // A captured widget that dies gives the capture back.
  holder->ReleaseCapture();
  holder->Capture();
  holder->Release();
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
}

TEST_F(WidgetTest, HoverFollowsThePointer) {
  Log log;
  auto *a = new c_GUIB_Widget(Params(0, 0, 50, 50));
  auto *b = new c_GUIB_Widget(Params(60, 0, 50, 50));
  a->AddHandler(LogHandler, reinterpret_cast<uintptr_t>(&log));
  b->AddHandler(LogHandler, reinterpret_cast<uintptr_t>(&log));
  const std::string ia = std::to_string(a->GetId()), ib = std::to_string(b->GetId());
  desk->InputMouse(GM_MOUSE_MOVE, 10, 10);
  EXPECT_EQ(desk->HoverWidget(), a);
  EXPECT_TRUE(a->GetFlags() & WF_HOVER);
  desk->InputMouse(GM_MOUSE_MOVE, 70, 10);
  EXPECT_EQ(desk->HoverWidget(), b);
  EXPECT_FALSE(a->GetFlags() & WF_HOVER);
  EXPECT_EQ(log, (Log{ia + ":9:0", ia + ":10:0", ib + ":9:0"}));
  // Over no child: nobody hovers.
  desk->InputMouse(GM_MOUSE_MOVE, 150, 80);
  EXPECT_EQ(desk->HoverWidget(), nullptr);
  EXPECT_FALSE(b->GetFlags() & WF_HOVER);
  // A hovered widget that dies leaves no dangling hover.
  desk->InputMouse(GM_MOUSE_MOVE, 10, 10);
  a->Release();
  EXPECT_EQ(desk->HoverWidget(), nullptr);
}

TEST_F(WidgetTest, FocusBookkeeping) {
  Log log;
  auto *a = new Probe(Params(0, 0, 10, 10), &log, "a");
  auto *b = new Probe(Params(0, 0, 10, 10), &log, "b");
  a->SetFocus();
  EXPECT_EQ(desk->FocusWidget(), a);
  b->SetFocus();
  EXPECT_EQ(desk->FocusWidget(), b);
  EXPECT_FALSE(a->GetFlags() & WF_FOCUSED);
  EXPECT_EQ(log, (Log{"a msg192 1", "a msg192 0", "b msg192 1"}));
  a->KillFocus();  // not focused: no effect
  EXPECT_EQ(desk->FocusWidget(), b);
  b->ClearFlags(WF_FOCUSABLE);
  b->KillFocus();
  a->ClearFlags(WF_FOCUSABLE);
  a->SetFocus();  // not focusable
  EXPECT_EQ(desk->FocusWidget(), nullptr);
  // Keys go to the focus widget.
  b->SetFlags(WF_FOCUSABLE);
  b->SetFocus();
  log.clear();
  desk->InputKey('A', true);
  EXPECT_EQ(log, (Log{"b msg16 " + std::to_string(KW_CHAR | 'a')}));
  b->Enable(false);
  desk->InputKey('A', false);  // key up ignores the state
  desk->InputKey('A', true);   // key down skips a disabled focus widget
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(WidgetTest, EnableRemembersSelfDisabledChildren) {
  auto *p = new c_GUIB_Widget(Params(0, 0, 50, 50));
  auto *c1 = new c_GUIB_Widget(Params(0, 0, 5, 5, p));
  auto *c2 = new c_GUIB_Widget(Params(0, 0, 5, 5, p));
  auto *g = new c_GUIB_Widget(Params(0, 0, 5, 5, c2));
  c1->Enable(false);
  p->Enable(false);
  EXPECT_TRUE(c1->GetFlags() & WF_SELF_DISABLED);
  EXPECT_TRUE(c2->GetFlags() & WF_DISABLED);
  EXPECT_TRUE(g->GetFlags() & WF_DISABLED);
  EXPECT_FALSE(c2->GetFlags() & WF_SELF_DISABLED);
  p->Enable(true);
  EXPECT_TRUE(c1->GetFlags() & WF_DISABLED);
  EXPECT_FALSE(c2->GetFlags() & WF_DISABLED);
  EXPECT_FALSE(g->GetFlags() & WF_DISABLED);
}

TEST_F(WidgetTest, FlagsMaskAndDirtyRules) {
  auto *w = new c_GUIB_Widget(Params(0, 0, 10, 10));
  EXPECT_FALSE(w->GetFlags() & WF_DIRTY);  // a base widget starts clean
  w->SetFlags(WF_SELF_DISABLED);
  EXPECT_TRUE(w->GetFlags() & WF_SELF_DISABLED);
  EXPECT_FALSE(w->GetFlags() & WF_DIRTY);
  w->SetFlags(WF_DIRTY | WF_CAPTURED);  // outside the settable bits
  EXPECT_EQ(w->GetFlags() & (WF_DIRTY | WF_CAPTURED), 0u);
  w->SetFlags(WF_USER_1);
  EXPECT_TRUE(w->GetFlags() & WF_DIRTY);
}

TEST_F(WidgetTest, HidingInvalidatesTheSubtree) {
  auto *bg = new c_GUIB_Widget(Params(0, 0, 200, 100));
  auto *p = new c_GUIB_Widget(Params(10, 10, 50, 50));
  auto *c = new c_GUIB_Widget(Params(60, 5, 30, 10, p));  // sticks out of p
  (void)bg;
  (void)c;
  PumpAt(1000);
  p->Show(false);
  // The background under both rectangles is collected, clipped to it.
  const auto &u = desk->UpdateList();
  ASSERT_EQ(u.size(), 2u);
  EXPECT_EQ(u[0].left, 10);
  EXPECT_EQ(u[0].right, 60);
  EXPECT_EQ(u[1].left, 70);
  EXPECT_EQ(u[1].top, 15);
  EXPECT_EQ(u[1].right, 100);
  EXPECT_EQ(u[1].bottom, 25);
}

TEST_F(WidgetTest, OriginInvalidateAndBringToFront) {
  auto *bg = new c_GUIB_Widget(Params(0, 0, 200, 100));
  auto *p = new c_GUIB_Widget(Params(20, 30, 100, 60));
  auto *c = new c_GUIB_Widget(Params(10, 5, 20, 20, p));
  GUI_Point o{1, 2};
  c->GetOrigin(&o);
  EXPECT_EQ(o.x, 31);
  EXPECT_EQ(o.y, 37);
  c->Invalidate(GUIB_Rect{0, 0, 4, 4});
  ASSERT_EQ(desk->UpdateList().size(), 1u);
  EXPECT_EQ(desk->UpdateList()[0].left, 30);
  EXPECT_EQ(desk->UpdateList()[0].top, 35);
  c_GUIB_Widget *d = c->GetDesktop();
  EXPECT_EQ(d, desk);
  d->Release();
  EXPECT_EQ(desk->GetDesktop(), nullptr);
  bg->BringToFront();
  uintptr_t *keys = nullptr;
  uint32_t n = 0;
  ASSERT_EQ(desk->ChildList(&keys, &n), 0u);
  ASSERT_EQ(n, 2u);
  EXPECT_EQ(keys[0], reinterpret_cast<uintptr_t>(bg));
  SYS_Free(keys);
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
  EXPECT_TRUE(gone);
  EXPECT_TRUE(child_gone);

  // A handler may refuse; an extra reference keeps the widget alive.
  gone = false;
  auto *v = new Probe(Params(0, 0, 10, 10), &log, "v");
  v->destroyed = &gone;
  v->AddHandler([](c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t,
                   uintptr_t) -> uint32_t { return msg == GM_DESTROY ? 1 : 0; },
                0);
  EXPECT_EQ(v->RequestDestroy(), 1u);
  PumpAt(1002);
  EXPECT_FALSE(gone);
  auto *x = new Probe(Params(0, 0, 10, 10), &log, "x");
  bool x_gone = false;
  x->destroyed = &x_gone;
  x->AddRef();
  x->RequestDestroy();
  PumpAt(1003);
  EXPECT_FALSE(x_gone);
  EXPECT_EQ(x->RefCount(), 1);
  // Its parent's death leaves a held child detached, not dangling.
  auto *y = new Probe(Params(0, 0, 5, 5, x), &log, "y");
  y->AddRef();
  x->Release();
  EXPECT_TRUE(x_gone);
  EXPECT_EQ(y->ParentPtr(), nullptr);
  y->Release();
}

TEST_F(WidgetTest, TooltipAfterASecondOfHover) {
  Log log;
  auto *w = new c_GUIB_Widget(Params(10, 10, 50, 50));
  auto *listener = new c_GUIB_Widget(Params(0, 0, 1, 1));
  listener->AddHandler(LogHandler, reinterpret_cast<uintptr_t>(&log));
  w->SetTooltipText("tip");
  desk->InputMouse(GM_MOUSE_MOVE, 20, 25);
  PumpAt(1100);  // starts the clock
  PumpAt(2000);
  EXPECT_TRUE(log.empty());
  PumpAt(2101);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find(":42:"), std::string::npos);
  log.clear();
  desk->InputMouse(GM_MOUSE_MOVE, 150, 90);  // leaving hides it
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find(":43:"), std::string::npos);
}
