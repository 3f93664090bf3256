// Widget base: routing, activation, handlers, capture, hover, focus, enable,
// invalidation and destruction.
#include <algorithm>

#include "gui_test_util.h"
#include "platform/platform.h"

using WidgetTest = GuiTest;
using Log = std::vector<std::string>;

namespace {

bool Has(const Log &log, const std::string &line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

// The front-most child of w.
uintptr_t Front(c_GUIB_Widget *w) {
  uintptr_t *keys = nullptr;
  uint32_t n = 0;
  if (w->ChildList(&keys, &n) != 0 || n == 0) return 0;
  const uintptr_t front = keys[0];
  SYS_Free(keys);
  return front;
}

}  // namespace

TEST_F(WidgetTest, MouseRoutingPointClipAndOrder) {
  Log log;
  new Probe(Params(150, 50, 50, 50), &log, "back");
  auto *front = new Probe(Params(150, 50, 50, 50), &log, "front");
  auto *panel = new Probe(Params(20, 10, 100, 50), &log, "panel");
  new Probe(Params(5, 5, 30, 20, panel), &log, "child");
  new Probe(Params(90, 40, 40, 40, panel), &log, "wide");  // sticks out of panel
  const struct {
    uint32_t event;
    int32_t x, y;
    const char *want;  // the only line logged, "" for none
  } cases[] = {
      // The child gets its own coordinates; its parent is not asked.
      {GM_LBUTTON_DOWN, 30, 20, "child down 5,5 clip 0,0,30,20 b1"},
      {GM_LBUTTON_UP, 100, 20, "panel up 80,10 clip 0,0,100,50 b0"},
      // A child sticking out of its parent is clipped by it.
      {GM_MOUSE_MOVE, 125, 55, ""},
      {GM_MOUSE_MOVE, 115, 55, "wide move 5,5 clip 0,0,10,10 b0"},
      // Top-most child first.
      {GM_MOUSE_MOVE, 160, 60, "front move 10,10 clip 0,0,50,50 b0"},
  };
  for (const auto &c : cases) {
    log.clear();
    desk->InputMouse(c.event, c.x, c.y);
    EXPECT_EQ(log, c.want[0] ? Log{c.want} : Log{}) << c.x << "," << c.y;
  }
  // Disabled or hidden widgets are passed over.
  for (int hide = 0; hide < 2; ++hide) {
    front->Enable(hide);
    front->Show(!hide);
    log.clear();
    desk->InputMouse(GM_MOUSE_MOVE, 161 + hide, 60);
    EXPECT_EQ(log, Log{"back move " + std::to_string(11 + hide) + ",10 clip 0,0,50,50 b0"});
  }
}

TEST_F(WidgetTest, OutsidePressIsSwallowed) {
  Log log;
  new Probe(Params(0, 0, 200, 100), &log, "behind");
  new Probe(Params(50, 20, 40, 40, nullptr, WF_WANT_OUTSIDE_PRESS), &log, "modal");
  desk->InputMouse(GM_LBUTTON_DOWN, 5, 5);
  EXPECT_EQ(log, Log{"modal outside -45,-15 clip 0,0,40,40"});
  log.clear();
  desk->InputMouse(GM_LBUTTON_UP, 5, 5);
  desk->InputMouse(GM_MOUSE_MOVE, 6, 6);
  EXPECT_TRUE(log.empty());  // swallowed without a call
  desk->InputMouse(GM_MOUSE_MOVE, 60, 30);
  EXPECT_EQ(log, Log{"modal move 10,10 clip 0,0,40,40 b0"});
}

TEST_F(WidgetTest, DisabledRootAnswersNothingButBroadcastsReachDisabledWidgets) {
  Log log;
  auto *p = new Probe(Params(0, 0, 10, 10), &log, "p");
  auto *c = new Probe(Params(0, 0, 5, 5, p), &log, "c");
  p->answer = 7;
  p->Enable(false);
  uint32_t state = 0xDEAD;
  desk->Enable(false);
  c->SendUp(GM_GET_KEY_STATE, reinterpret_cast<uintptr_t>(&state), 0);
  EXPECT_EQ(state, 0xDEADu);
  desk->Enable(true);
  c->SendUp(GM_GET_KEY_STATE, reinterpret_cast<uintptr_t>(&state), 0);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(p->Broadcast(GM_INFO, 5, 0, 0), 7u);
  EXPECT_TRUE(Has(log, "p info 5"));
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
  EXPECT_TRUE(a->GetFlags() & group->GetFlags() & WF_ACTIVE);
  EXPECT_EQ(desk->ActiveChild(), group);
  EXPECT_TRUE(Has(log, "a activate 1"));
  desk->InputMouse(GM_LBUTTON_UP, 10, 10);
  log.clear();
  desk->InputMouse(GM_RBUTTON_DOWN, 60, 10);
  EXPECT_EQ(group->ActiveChild(), b);
  EXPECT_TRUE(Has(log, "a activate 0"));
  EXPECT_TRUE(Has(log, "b activate 1"));
  EXPECT_EQ(Front(group), reinterpret_cast<uintptr_t>(b));  // brought to the front
  b->Release();
  EXPECT_EQ(group->ActiveChild(), nullptr);
}

TEST_F(WidgetTest, HandlersNewestFirstAndChangesDuringACall) {
  static std::vector<int> calls;
  static WidgetHandlerFn s_first, s_stopper;
  auto first = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(1);
    return 0;
  };
  auto stopper = [](c_GUIB_Widget *, uintptr_t, uint32_t, uintptr_t, uintptr_t) -> uint32_t {
    calls.push_back(2);
    return 1;
  };
  auto w = new c_GUIB_Widget(Params(0, 0, 10, 10));
  for (WidgetHandlerFn fn : {WidgetHandlerFn(first), WidgetHandlerFn(stopper)})
    ASSERT_EQ(w->AddHandler(fn, 0), 0u);
  EXPECT_EQ(w->CallHandlers(GN_CLICKED, 0, 0), 1u);
  EXPECT_EQ(calls, (std::vector<int>{2}));  // a non-zero answer ends the chain
  calls.clear();
  EXPECT_EQ(w->CallHandlers(GM_TOOLTIP_SHOW, 0, 0), 0u);  // ...except for tooltips
  EXPECT_EQ(calls, (std::vector<int>{2, 1}));

  // A handler that removes a later one and adds a new one: the removed one is
  // skipped, the new one waits for the next call.
  auto v = new c_GUIB_Widget(Params(0, 0, 10, 10));
  s_first = first;
  s_stopper = stopper;
  v->AddHandler(first, 0);
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
  v->CallHandlers(GN_CLICKED, 0, 0);
  EXPECT_EQ(calls, (std::vector<int>{9, 2}));
}

TEST_F(WidgetTest, CaptureRoutesEverythingToTheHolder) {
  Log log;
  auto *panel = new Probe(Params(20, 20, 100, 60), &log, "panel");
  auto *holder = new Probe(Params(10, 10, 20, 20, panel), &log, "holder");
  auto *other = new Probe(Params(150, 0, 40, 40), &log, "other");
  holder->Capture();
  EXPECT_EQ(desk->CaptureWidget(), holder);
  desk->InputMouse(GM_LBUTTON_DOWN, 160, 10);  // over "other"
  EXPECT_EQ(log, Log{"holder down 130,-20 clip 0,0,20,20 b1"});
  EXPECT_EQ(desk->MouseButtons(), GMB_LEFT);
  // Another widget ending "the" capture ends it, whoever holds it.
  desk->SendUp(GM_RELEASE_CAPTURE, reinterpret_cast<uintptr_t>(other), 0);
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
  log.clear();
  desk->InputMouse(GM_LBUTTON_UP, 160, 10);
  EXPECT_TRUE(Has(log, "other up 10,10 clip 0,0,40,40 b0"));
  // A captured widget that dies gives the capture back.
  holder->ReleaseCapture();
  holder->Capture();
  holder->Release();
  EXPECT_EQ(desk->CaptureWidget(), nullptr);
}

TEST_F(WidgetTest, HoverLeavesNothingBehind) {
  // Enter and leave notices show in the sampler's scenario log.
  auto *a = new c_GUIB_Widget(Params(0, 0, 50, 50));
  desk->InputMouse(GM_MOUSE_MOVE, 10, 10);
  EXPECT_TRUE(a->GetFlags() & WF_HOVER);
  desk->InputMouse(GM_MOUSE_MOVE, 150, 80);  // over no child
  EXPECT_FALSE(a->GetFlags() & WF_HOVER);
  desk->InputMouse(GM_MOUSE_MOVE, 10, 10);
  a->Release();  // a hovered widget that dies leaves no dangling hover
  EXPECT_EQ(desk->HoverWidget(), nullptr);
}

TEST_F(WidgetTest, FocusAndKeys) {
  Log log;
  auto *a = new Probe(Params(0, 0, 10, 10), &log, "a");
  auto *b = new Probe(Params(0, 0, 10, 10), &log, "b");
  a->SetFocus();
  b->SetFocus();
  EXPECT_EQ(desk->FocusWidget(), b);
  EXPECT_FALSE(a->GetFlags() & WF_FOCUSED);
  EXPECT_EQ(log, (Log{"a focus 1", "a focus 0", "b focus 1"}));
  a->KillFocus();  // not focused: no effect
  EXPECT_EQ(desk->FocusWidget(), b);
  b->ClearFlags(WF_FOCUSABLE);
  b->KillFocus();
  a->ClearFlags(WF_FOCUSABLE);
  a->SetFocus();  // not focusable
  EXPECT_EQ(desk->FocusWidget(), nullptr);
  b->SetFlags(WF_FOCUSABLE);
  b->SetFocus();
  log.clear();
  desk->InputKey('A', true);
  EXPECT_EQ(log, (Log{"b keydown " + std::to_string(KW_CHAR | 'a')}));
  b->Enable(false);
  desk->InputKey('A', false);  // key up ignores the state
  desk->InputKey('A', true);   // key down skips a disabled focus widget
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(log.back(), "b keyup " + std::to_string(KW_CHAR | 'a'));
}

TEST_F(WidgetTest, EnableRemembersSelfDisabledChildren) {
  auto *p = new c_GUIB_Widget(Params(0, 0, 50, 50));
  auto *c1 = new c_GUIB_Widget(Params(0, 0, 5, 5, p));
  auto *c2 = new c_GUIB_Widget(Params(0, 0, 5, 5, p));
  auto *g = new c_GUIB_Widget(Params(0, 0, 5, 5, c2));
  c1->Enable(false);
  p->Enable(false);
  EXPECT_TRUE(c1->GetFlags() & WF_SELF_DISABLED);
  EXPECT_EQ(c2->GetFlags() & (WF_DISABLED | WF_SELF_DISABLED), uint32_t(WF_DISABLED));
  EXPECT_TRUE(g->GetFlags() & WF_DISABLED);
  p->Enable(true);
  EXPECT_TRUE(c1->GetFlags() & WF_DISABLED);
  EXPECT_FALSE((c2->GetFlags() | g->GetFlags()) & WF_DISABLED);
  // Bits outside the settable ones are not taken from SetFlags.
  auto *fresh = new c_GUIB_Widget(Params(0, 0, 5, 5));
  fresh->SetFlags(WF_DIRTY | WF_CAPTURED);
  EXPECT_EQ(fresh->GetFlags() & (WF_DIRTY | WF_CAPTURED), 0u);
}

TEST_F(WidgetTest, InvalidationInDesktopCoordinatesAndZOrder) {
  auto *bg = new c_GUIB_Widget(Params(0, 0, 200, 100));
  auto *p = new c_GUIB_Widget(Params(20, 30, 100, 60));
  auto *c = new c_GUIB_Widget(Params(10, 5, 20, 20, p));
  c->Invalidate(GUIB_Rect{0, 0, 4, 4});
  EXPECT_EQ(RectsText(desk->UpdateList()), "30,35,34,39");
  bg->BringToFront();
  EXPECT_EQ(Front(desk), reinterpret_cast<uintptr_t>(bg));
}

TEST_F(WidgetTest, HidingInvalidatesTheSubtreeClippedToWhatLiesUnder) {
  new c_GUIB_Widget(Params(0, 0, 200, 100));
  auto *p = new c_GUIB_Widget(Params(10, 10, 50, 50));
  new c_GUIB_Widget(Params(60, 5, 30, 10, p));  // sticks out of p
  PumpAt(1000);
  p->Show(false);
  EXPECT_EQ(RectsText(desk->UpdateList()), "10,10,60,60 70,15,100,25");
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
  // A handler may refuse.
  gone = false;
  auto *v = new Probe(Params(0, 0, 10, 10), &log, "v");
  v->destroyed = &gone;
  v->AddHandler([](c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t,
                   uintptr_t) -> uint32_t { return msg == GM_DESTROY ? 1 : 0; },
                0);
  EXPECT_EQ(v->RequestDestroy(), 1u);
  PumpAt(1002);
  EXPECT_FALSE(gone);
  // An extra reference keeps the widget alive.
  auto *x = new Probe(Params(0, 0, 10, 10), &log, "x");
  x->destroyed = &gone;
  x->AddRef();
  x->RequestDestroy();
  PumpAt(1003);
  EXPECT_FALSE(gone);
  EXPECT_EQ(x->RefCount(), 1);
  // Its parent's death leaves a held child detached, not dangling.
  auto *y = new Probe(Params(0, 0, 5, 5, x), &log, "y");
  y->AddRef();
  x->Release();
  EXPECT_TRUE(gone);
  EXPECT_EQ(y->ParentPtr(), nullptr);
  y->Release();
}

TEST_F(WidgetTest, TooltipAfterASecondOfHover) {
  Log log;
  auto *w = new c_GUIB_Widget(Params(10, 10, 50, 50));
  auto *listener = new c_GUIB_Widget(Params(0, 0, 1, 1));
  listener->AddHandler(LogHandler, reinterpret_cast<uintptr_t>(&log));
  const std::string id = std::to_string(listener->GetId());
  w->SetTooltipText("tip");
  desk->InputMouse(GM_MOUSE_MOVE, 20, 25);
  PumpAt(1100);  // starts the clock
  PumpAt(2000);
  EXPECT_TRUE(log.empty());
  PumpAt(2101);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind(id + ":tipshow:", 0), 0u);
  log.clear();
  desk->InputMouse(GM_MOUSE_MOVE, 150, 90);  // leaving hides it
  EXPECT_EQ(log, Log{id + ":tiphide:0"});
}
