#include "gui_test_util.h"

#include "platform/platform.h"

uint32_t g_testNow = 1000;

c_GUIB_Font *MakeTestFont() {
  c_GUIB_Font *f = new c_GUIB_Font();
  for (uint32_t code = 32; code < 128; ++code) {
    c_GUIB_Bitmap *b = new c_GUIB_Bitmap(kGlyphW, kGlyphH);
    b->SetColor(0xFF000000);
    b->FillArea(0, 0, kGlyphW, kGlyphH);
    f->InsertGlyph(code, c_GUIB_Font::Glyph{kGlyphW, kGlyphH, 0, 0xFF000000, b});
  }
  return f;
}

std::string MsgName(uint32_t code) {
  static const struct {
    uint32_t code;
    const char *name;
  } kNames[] = {{GM_MOUSE_MOVE, "move"},  {GM_LBUTTON_DOWN, "down"}, {GM_LBUTTON_UP, "up"},
                {GM_KEY_DOWN, "keydown"}, {GM_KEY_UP, "keyup"},      {GM_FOCUS_CHANGED, "focus"}};

  for (const auto &n : kNames)
    if (n.code == code) return n.name;
  return std::to_string(code);
}

std::string RectsText(const std::vector<GUIB_Rect> &rects) {
  std::string out;
  for (const GUIB_Rect &r : rects)
    out += (out.empty() ? "" : " ") + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom);
  return out;
}

std::u16string Wide(const std::string &s) {
  std::u16string out;
  for (char c : s) out += char16_t(uint8_t(c));
  return out;
}

std::string Narrow(const uint16_t *s) {
  std::string out;
  for (; s && *s; ++s) out += char(*s & 0xFF);
  return out;
}

void GuiTest::SetUp() {
  g_testNow = 1000;
  SYS_SetTickSource([]() { return g_testNow; });
  const uint32_t no_font[1] = {0};
  ASSERT_EQ(GuiStartup(no_font, &ctx), 0u);
  font = MakeTestFont();
  ctx->SetProperty(GP_FONT, reinterpret_cast<uintptr_t>(font));
  WidgetCreateParams p = {};
  p.width = 200;
  p.height = 100;
  p.context = ctx;
  desk = new c_GUIB_Desktop(p);
}

void GuiTest::TearDown() {
  if (desk) desk->Release();
  if (font) font->Release();
  GuiShutdown();
  SYS_SetTickSource(nullptr);
}

WidgetCreateParams GuiTest::Params(int32_t x, int32_t y, int32_t w, int32_t h,
                                   c_GUIB_Widget *parent, uint32_t flags) {
  WidgetCreateParams p = GUI_ChildParams(parent ? parent : desk, x, y, w, h, nullptr, 0);
  p.flags = flags;
  return p;
}

Probe::Probe(const WidgetCreateParams &p, std::vector<std::string> *log, const char *name)
    : c_GUIB_Widget(p), m_log(log), m_name(name) {}

Probe::~Probe() {
  if (destroyed) *destroyed = true;
}

void Probe::OnEvent(uint32_t event, const GUI_Point *point, uint32_t buttons,
                    const GUIB_Rect *clip) {
  if (event == GM_MOUSE_ENTER || event == GM_MOUSE_LEAVE) return;
  std::string line = m_name + " " + MsgName(event);
  if (point) line += " " + std::to_string(point->x) + "," + std::to_string(point->y);
  if (clip) line += " clip " + RectsText({*clip});
  if (event <= GM_MBUTTON_UP) line += " b" + std::to_string(buttons);
  m_log->push_back(line);
}

uintptr_t Probe::HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) {
  switch (msg) {
    case GM_ACTIVATE:
    case GM_FOCUS_CHANGED:
    case GM_KEY_DOWN:
    case GM_KEY_UP:
    case GM_INFO:
      m_log->push_back(m_name + " " + MsgName(msg) + " " + std::to_string(a));
      return 0;
    default:
      return c_GUIB_Widget::HandleMessage(msg, a, b);
  }
}
