// Shared set-up of the GUI tests: a started GUI with a synthetic font of
// known metrics, a manual clock and a desktop, plus a widget that records
// what reaches it by message name.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui.h"

// Every character of the test font is kGlyphW x kGlyphH pixels, opaque black.
constexpr int32_t kGlyphW = 6;
constexpr int32_t kGlyphH = 10;
c_GUIB_Font *MakeTestFont();

// The manual clock that GuiTest installs.
extern uint32_t g_testNow;

// The name of an event or message ("down", "keydown"), or its number when
// the tests never name it.
std::string MsgName(uint32_t code);

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A child of parent (the desktop when null) built from plain parameters.
  WidgetCreateParams Params(int32_t x, int32_t y, int32_t w, int32_t h,
                            c_GUIB_Widget *parent = nullptr, uint32_t flags = 0);
  // A full pump pass at the given clock.
  void PumpAt(uint32_t now) {
    g_testNow = now;
    desk->PumpOnce();
  }
  void Click(int32_t x, int32_t y) {
    desk->InputMouse(GM_MOUSE_MOVE, x, y);
    desk->InputMouse(GM_LBUTTON_DOWN, x, y);
    desk->InputMouse(GM_LBUTTON_UP, x, y);
  }

  GuiContext *ctx = nullptr;
  c_GUIB_Font *font = nullptr;
  c_GUIB_Desktop *desk = nullptr;
};

// Records events ("name down 5,5 clip 0,0,30,20 b1") and messages
// ("name keydown 97") as text lines; hover changes go to handlers instead.
class Probe : public c_GUIB_Widget {
 public:
  Probe(const WidgetCreateParams &p, std::vector<std::string> *log, const char *name);
  ~Probe() override;
  void OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
               const GUIB_Rect *clip) override;
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;

  bool *destroyed = nullptr;

 private:
  std::vector<std::string> *m_log;
  std::string m_name;
};

// Rectangles as "left,top,right,bottom", several separated by spaces.
std::string RectsText(const std::vector<GUIB_Rect> &rects);

// 16-bit texts of the item lists: widened byte by byte, narrowed to the low
// bytes; P points at a text's characters.
std::u16string Wide(const std::string &s);
std::string Narrow(const uint16_t *s);
inline const uint16_t *P(const std::u16string &s) {
  return reinterpret_cast<const uint16_t *>(s.c_str());
}
